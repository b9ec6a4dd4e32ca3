#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "NovelCliOptions.h"

#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "text/CodePage.h"

#include <ostream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli search [OPTIONS] KEYWORD\n\n"
    "Searches the source for KEYWORD and lists the works found: name, address\n"
    "and cover address, one work per line separated by tabs.\n\n"
    "Options:\n";

const std::string kHelp = std::string(kUsage) + kNovelCliOptionsUsage
                          + "\nExit status: 0 works listed, 1 the site found nothing or the page was empty, 2 wrong arguments.\n";

} // namespace

int RunSearch(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, NovelCliFlags(), NovelCliOptionNames());
    NovelCliOptions options;
    if (const std::optional<int> done = PrepareNovelCommand("search", "KEYWORD", kHelp, parsed, io, options))
        return *done;

    NovelFetcher fetcher;
    const SearchOutcome outcome =
        RunSearch(fetcher, options.source, Utf8ToGbk(parsed.positional().front()), options.choices);
    if (outcome.verdict != SearchVerdict::Ok) {
        io.err << "quillora-cli search: " << GbkToUtf8(SearchVerdictMessage(outcome.verdict)) << '\n';
        return ExitFailure;
    }
    auto cover = [&outcome](size_t row) { return row < outcome.covers.size() ? GbkToUtf8(outcome.covers[row]) : ""; };
    if (options.json) {
        io.out << "{\"rows\":[";
        for (size_t i = 0; i < outcome.rows.size(); ++i)
            io.out << (i ? "," : "") << "{\"name\":" << JsonString(GbkToUtf8(outcome.rows[i].name))
                   << ",\"address\":" << JsonString(GbkToUtf8(outcome.rows[i].address))
                   << ",\"cover\":" << JsonString(cover(i)) << '}';
        io.out << "]}\n";
        return ExitOk;
    }
    for (size_t i = 0; i < outcome.rows.size(); ++i)
        io.out << GbkToUtf8(outcome.rows[i].name) << '\t' << GbkToUtf8(outcome.rows[i].address) << '\t' << cover(i)
               << '\n';
    return ExitOk;
}
