#pragma once

#include "Cli.h"

#include <sstream>
#include <string>
#include <vector>

// What one run of quillora-cli gave, run in memory.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Runs `quillora-cli ARGS...` with `input` on its standard input.
inline CliRun RunCliInMemory(const std::vector<std::string> &args, const std::string &input = {})
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliIo io{in, out, err};
    const int code = RunCli(args, io);
    return {code, out.str(), err.str()};
}
