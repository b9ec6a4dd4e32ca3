#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// quillora-cli: thin commands over the core. Every command reads its
// arguments as UTF-8, talks to the core in the code page, and writes UTF-8.
// Output goes through the streams handed in, so tests run commands in memory.

enum ExitCode : int {
    ExitOk = 0,
    ExitFailure = 1, // the operation failed (a fetch, a store, ...)
    ExitUsage = 2,   // a wrong argument: one line on the error stream
};

struct CliIo {
    std::istream &in;
    std::ostream &out;
    std::ostream &err;
};

// A subcommand: `args` holds what follows its name.
using CliCommandFn = int (*)(const std::vector<std::string> &args, CliIo &io);

struct CliCommand {
    const char *name;
    const char *summary;
    CliCommandFn run;
};

// Runs `quillora-cli ARGS...` (args without the program name).
int RunCli(const std::vector<std::string> &args, CliIo &io);
