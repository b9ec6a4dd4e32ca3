#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "NovelCliOptions.h"

#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "text/CodePage.h"

#include <ostream>
#include <sstream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli work [OPTIONS] URL\n\n"
    "Loads a work's page (URL as a search result gives it) and prints its data,\n"
    "its table-of-contents address and its chapters, one per line: title, tab,\n"
    "address.\n\n"
    "Options:\n";

void PrintJson(std::ostream &out, const WorkOutcome &work)
{
    out << "{\"address\":" << JsonString(GbkToUtf8(work.address)) << ",\"data\":" << JsonString(GbkToUtf8(work.data))
        << ",\"tableOfContents\":" << JsonString(GbkToUtf8(work.tableOfContentsAddress)) << ",\"chapters\":[";
    for (size_t i = 0; i < work.chapters.size(); ++i)
        out << (i ? "," : "") << "{\"title\":" << JsonString(GbkToUtf8(work.chapters[i].title))
            << ",\"address\":" << JsonString(GbkToUtf8(work.chapters[i].address)) << '}';
    out << "]}\n";
}

const std::string kHelp = std::string(kUsage) + "  --name NAME              the work's name (default: found by the source's search)\n"
                          + kNovelCliOptionsUsage + "\nExit status: 0 loaded, 1 the work page was empty, 2 wrong arguments.\n";

} // namespace

int RunWork(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, NovelCliFlags(), NovelCliOptionNames({"name"}));
    NovelCliOptions options;
    if (const std::optional<int> done = PrepareNovelCommand("work", "URL", kHelp, parsed, io, options))
        return *done;

    NovelFetcher fetcher;
    const WorkOutcome work = LoadWork(fetcher, options.source, Utf8ToGbk(parsed.positional().front()), options.choices);
    if (!work.found()) {
        io.err << "quillora-cli work: " << GbkToUtf8(WorkNotFoundMessage()) << '\n';
        return ExitFailure;
    }
    const std::string name = parsed.value("name") ? *parsed.value("name")
                                                  : GbkToUtf8(WorkNameFromSearch(fetcher, options, work.address));
    if (options.json) {
        io.out << "{\"name\":" << JsonString(name) << ',';
        std::ostringstream rest;
        PrintJson(rest, work);
        io.out << rest.str().substr(1);
        return ExitOk;
    }
    if (!name.empty())
        io.out << name << '\n';
    io.out << GbkToUtf8(work.data) << '\n' << GbkToUtf8(work.tableOfContentsAddress) << '\n';
    for (const ChapterRow &chapter : work.chapters)
        io.out << GbkToUtf8(chapter.title) << '\t' << GbkToUtf8(chapter.address) << '\n';
    return ExitOk;
}
