#pragma once

#include "Cli.h"

// Each subcommand lives in its own file; add it here and to the table in
// Cli.cpp.

// quillora-cli sources: list, add, modify, delete, activate, import-mdb.
int RunSources(const std::vector<std::string> &args, CliIo &io);
// quillora-cli escape: a search keyword in the utf8 or usc2 escaped form.
int RunEscape(const std::vector<std::string> &args, CliIo &io);
