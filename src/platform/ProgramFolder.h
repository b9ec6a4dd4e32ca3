#pragma once

#include <filesystem>

// The folder where the configuration file, the source store and the
// downloads live: the executable's own folder, or, when that folder cannot be
// written (an installation shared by all users), the user's data folder
// ($XDG_DATA_HOME/quillora, else ~/.local/share/quillora), created on demand.
std::filesystem::path ResolveProgramFolder();

// The folder holding the running executable.
std::filesystem::path ExecutableFolder();
