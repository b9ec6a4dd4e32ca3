#include "CliArgs.h"
#include "Commands.h"

#include "text/CodePage.h"
#include "text/KeywordEncoding.h"

#include <ostream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli escape --form utf8|usc2 KEYWORD\n\n"
    "Prints KEYWORD escaped exactly as the search appends it to a source's\n"
    "search address.\n\n"
    "Options:\n"
    "  --form utf8   percent form of the keyword's UTF-8 bytes (\"%E4%B8%AD\")\n"
    "  --form usc2   script-escape form (\"%u4E2D\")\n"
    "  --help        show this help\n";

} // namespace

int RunEscape(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, {}, {"form"});
    if (parsed.wantsHelp()) {
        io.out << kUsage;
        return ExitOk;
    }
    if (!parsed.ok()) {
        io.err << "escape: " << parsed.error() << '\n';
        return ExitUsage;
    }
    const std::string form = parsed.value("form", "");
    if (form != "utf8" && form != "usc2") {
        io.err << "escape: --form must be utf8 or usc2\n";
        return ExitUsage;
    }
    if (parsed.positional().size() != 1) {
        io.err << "escape: expected exactly one KEYWORD\n";
        return ExitUsage;
    }
    // The keyword reaches the encoders in the code page, as the search box
    // hands it over; the utf8 form converts it back first, as the search does.
    const std::string keyword = Utf8ToGbk(parsed.positional().front());
    const std::string encoded =
        form == "utf8" ? EncodeKeywordUtf8(GbkToUtf8(keyword)) : EncodeKeywordEscape(keyword);
    io.out << GbkToUtf8(encoded) << '\n';
    return ExitOk;
}
