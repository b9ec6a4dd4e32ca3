#include "Cli.h"

#include "Commands.h"

#include <iomanip>
#include <ostream>
#include <string_view>
#include <vector>

namespace {

const std::vector<CliCommand> kCommands = {
    // {"name", "one-line summary", RunName},
    {"escape", "print a search keyword in the utf8 or usc2 escaped form", RunEscape},
    {"fetch", "fetch one page and print its text", RunFetch},
    {"html2text", "print the plain text of HTML read from standard input", RunHtml2Text},
    {"regex", "run a source expression over standard input, print the matches", RunRegex},
    {"sources", "list, add, modify, delete and activate sources", RunSources},
    {"search", "search the source for a work and list the results", RunSearch},
    {"work", "load a work: its data and its chapter list", RunWork},
    {"chapter", "fetch one chapter and print its text", RunChapter},
    {"download", "download a work's chapters into text files", RunDownload},
};

void PrintHelp(std::ostream &out)
{
    out << "Usage: quillora-cli COMMAND [OPTIONS] [ARGS]\n\n"
           "Finds, reads and saves web novels from sources you describe.\n\n"
           "Commands:\n";
    for (const CliCommand &command : kCommands)
        out << "  " << std::left << std::setw(12) << command.name << command.summary << '\n';
    out << "\nRun 'quillora-cli COMMAND --help' for a command's options.\n";
}

} // namespace

int RunCli(const std::vector<std::string> &args, CliIo &io)
{
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(io.out);
        return args.empty() ? ExitUsage : ExitOk;
    }
    for (const CliCommand &command : kCommands) {
        if (args[0] == command.name)
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), io);
    }
    io.err << "quillora-cli: unknown command '" << args[0] << "' (see quillora-cli --help)\n";
    return ExitUsage;
}
