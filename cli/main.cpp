#include "Cli.h"

#include <iostream>

int main(int argc, char **argv)
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    CliIo io{std::cin, std::cout, std::cerr};
    const int code = RunCli(args, io);
    std::cout.flush();
    return code;
}
