#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"
#include "NovelCliOptions.h"

#include "novel/ChapterDownload.h"
#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "text/CodePage.h"

#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <utility>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli download [OPTIONS] WORK_URL\n\n"
    "Loads the work and writes each chosen chapter to a text file of its own\n"
    "(in the code page, named after the chapter) in the folder\n"
    "PROGRAM_FOLDER/SOURCE/WORK. Progress goes to standard error.\n\n"
    "Options:\n"
    "  --chapters LIST          chapters by number, e.g. 1-3,7 (default: all)\n"
    "  --name NAME              the work's name, the folder's name (default: the\n"
    "                           name of the search result whose address is WORK_URL)\n";

// "1-3,7" -> {{1, 3}, {7, 7}}; nullopt for anything else. Checked before the
// work page is fetched, so a malformed list is a usage error whatever the site
// answers.
std::optional<std::vector<std::pair<int, int>>> ParseChapterList(const std::string &list)
{
    std::vector<std::pair<int, int>> ranges;
    std::stringstream stream(list);
    std::string piece;
    while (std::getline(stream, piece, ',')) {
        const size_t dash = piece.find('-');
        int first = 0;
        int last = 0;
        try {
            size_t used = 0;
            first = std::stoi(piece.substr(0, dash), &used);
            if (used != piece.substr(0, dash).size())
                return std::nullopt;
            last = first;
            if (dash != std::string::npos) {
                last = std::stoi(piece.substr(dash + 1), &used);
                if (used != piece.size() - dash - 1)
                    return std::nullopt;
            }
        } catch (...) {
            return std::nullopt;
        }
        if (first < 1 || last < first)
            return std::nullopt;
        ranges.emplace_back(first, last);
    }
    if (ranges.empty())
        return std::nullopt;
    return ranges;
}

// The chapter numbers the ranges name; false when one lies past `count`.
bool ChooseChapters(const std::vector<std::pair<int, int>> &ranges, int count, std::set<int> &chosen)
{
    for (const auto &[first, last] : ranges) {
        if (last > count)
            return false;
        for (int n = first; n <= last; ++n)
            chosen.insert(n);
    }
    return true;
}

void DrawProgress(std::ostream &err, int selected, int done)
{
    constexpr int kWidth = 30;
    const int filled = selected ? done * kWidth / selected : kWidth;
    err << "\r[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(kWidth - filled), '.')
        << "] " << done << '/' << selected << std::flush;
}

const std::string kHelp = std::string(kUsage) + kNovelCliOptionsUsage
                          + "\nExit status: 0 downloaded, 1 the work page was empty, 2 wrong arguments.\n";

} // namespace

int RunDownload(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, NovelCliFlags(), NovelCliOptionNames({"chapters", "name"}));
    NovelCliOptions options;
    if (const std::optional<int> done = PrepareNovelCommand("download", "WORK_URL", kHelp, parsed, io, options))
        return *done;

    std::optional<std::vector<std::pair<int, int>>> ranges;
    if (const auto list = parsed.value("chapters")) {
        ranges = ParseChapterList(*list);
        if (!ranges)
            return NovelUsageError(io, "download", "--chapters takes chapter numbers, e.g. 1-3,7");
    }

    NovelFetcher fetcher;
    const std::string link = Utf8ToGbk(parsed.positional().front());
    const WorkOutcome work = LoadWork(fetcher, options.source, link, options.choices);
    if (!work.found()) {
        io.err << "quillora-cli download: " << GbkToUtf8(WorkNotFoundMessage()) << '\n';
        return ExitFailure;
    }
    const int count = static_cast<int>(work.chapters.size());
    std::set<int> chosen;
    if (ranges) {
        if (!ChooseChapters(*ranges, count, chosen))
            return NovelUsageError(io, "download",
                                   "--chapters must list chapters 1-" + std::to_string(count) + ", e.g. 1-3,7");
    } else {
        for (int n = 1; n <= count; ++n)
            chosen.insert(n);
    }
    std::vector<MarkedChapter> marked;
    for (int n : chosen)
        marked.push_back({work.chapters[static_cast<size_t>(n - 1)].title, work.chapters[static_cast<size_t>(n - 1)].address});

    std::string name = parsed.value("name") ? Utf8ToGbk(*parsed.value("name")) : WorkNameFromSearch(fetcher, options, work.address);
    const auto folder = ChapterDownload::PrepareFolders(options.folder, options.source.name, name);
    ChapterDownload download(fetcher, options.source.chapterContent);
    // The empty bar shows at once: the first chapter may take a while.
    if (!marked.empty())
        DrawProgress(io.err, static_cast<int>(marked.size()), 0);
    const DownloadReport report = download.Run(folder, marked, [&io](int selected, int done) {
        DrawProgress(io.err, selected, done);
    });
    if (report.selected > 0)
        io.err << '\n';
    const std::u8string where = folder.u8string();
    if (options.json) {
        io.out << "{\"folder\":" << JsonString(std::string(where.begin(), where.end()))
               << ",\"selected\":" << report.selected << ",\"written\":" << report.written << "}\n";
    } else {
        io.out << report.written << " of " << report.selected << " chapters written to "
               << std::string(where.begin(), where.end()) << '\n';
    }
    return ExitOk;
}
