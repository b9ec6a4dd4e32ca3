#pragma once

#include <filesystem>

struct OpenedStore;

// The start and stop sequence: sets up the toolkit, makes the program folder
// the current directory (files named without a folder are looked for there),
// opens the main window and runs the event loop until the main window has
// closed. Returns the process's exit code, 0.
int StartProgram(int argc, char **argv);

// Steps after the toolkit is up: owns the application state, shows the main
// window for `programFolder` and runs the loop until it closes. Returns 0.
// `storeSetup`, when given, is what opening the source store at start found
// worth telling (an imported or unreadable Access file); it is shown once the
// window is up.
int RunMainWindow(const std::filesystem::path &programFolder, const OpenedStore *storeSetup = nullptr);
