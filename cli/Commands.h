#pragma once

#include "Cli.h"

// Each subcommand lives in its own file; add it here and to the table in
// Cli.cpp.
