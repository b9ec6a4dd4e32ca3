#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"

#include "text/CodePage.h"
#include "text/RegexEngine.h"

#include <istream>
#include <iterator>
#include <ostream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli regex [--ignore-case] [--no-quote-token] [--] PATTERN\n\n"
    "Runs PATTERN over the text on standard input the way a source expression\n"
    "runs over a page (case-sensitive, multiline, every match, \"#引号\" for a\n"
    "double quote) and prints one JSON object:\n"
    "  {\"ok\":true,\"matches\":[{\"value\":\"...\",\"groups\":[\"...\",...]},...]}\n"
    "or {\"ok\":false} when the expression cannot be used.\n\n"
    "Options:\n"
    "  --ignore-case      ASCII letters match either case\n"
    "  --no-quote-token   \"#引号\" stays as written\n"
    "  --help             show this help\n";

void PrintMatches(const RegexEngine &engine, std::ostream &out)
{
    out << "{\"ok\":true,\"matches\":[";
    const int groups = engine.SubMatchCount();
    for (int i = 1; i <= engine.MatchCount(); ++i) {
        out << (i > 1 ? "," : "") << "{\"value\":" << JsonString(GbkToUtf8(engine.MatchText(i))) << ",\"groups\":[";
        for (int g = 1; g <= groups; ++g)
            out << (g > 1 ? "," : "") << JsonString(GbkToUtf8(engine.SubMatch(i, g)));
        out << "]}";
    }
    out << "]}\n";
}

} // namespace

int RunRegex(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, {"ignore-case", "no-quote-token"}, {});
    if (parsed.wantsHelp()) {
        io.out << kUsage;
        return ExitOk;
    }
    if (!parsed.ok()) {
        io.err << "regex: " << parsed.error() << '\n';
        return ExitUsage;
    }
    if (parsed.positional().size() != 1) {
        io.err << "regex: expected exactly one PATTERN\n";
        return ExitUsage;
    }
    const std::string subject(std::istreambuf_iterator<char>(io.in), {});
    RegexEngine engine;
    const bool ok = engine.Search(Utf8ToGbk(parsed.positional().front()), Utf8ToGbk(subject),
                                  !parsed.has("ignore-case"), true, true, !parsed.has("no-quote-token"));
    if (!ok) {
        io.out << "{\"ok\":false}\n";
        return ExitOk;
    }
    PrintMatches(engine, io.out);
    return ExitOk;
}
