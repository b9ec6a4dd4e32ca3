#include "CliArgs.h"
#include "Commands.h"

#include "text/CodePage.h"
#include "text/HtmlToText.h"

#include <istream>
#include <iterator>
#include <ostream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli html2text\n\n"
    "Reads HTML (UTF-8) on standard input and prints the plain text the reader\n"
    "shows and the download saves for it: block elements and <br> as line\n"
    "breaks (CR LF), entities decoded, scripts, styles and comments dropped.\n\n"
    "Options:\n"
    "  --help   show this help\n";

} // namespace

int RunHtml2Text(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, {}, {});
    if (parsed.wantsHelp()) {
        io.out << kUsage;
        return ExitOk;
    }
    if (!parsed.ok()) {
        io.err << "html2text: " << parsed.error() << '\n';
        return ExitUsage;
    }
    if (!parsed.positional().empty()) {
        io.err << "html2text: takes no arguments (the HTML comes on standard input)\n";
        return ExitUsage;
    }
    const std::string html(std::istreambuf_iterator<char>(io.in), {});
    io.out << GbkToUtf8(HtmlToText(Utf8ToGbk(html)));
    return ExitOk;
}
