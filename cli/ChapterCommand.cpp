#include "CliArgs.h"
#include "Commands.h"
#include "NovelCliOptions.h"

#include "Json.h"
#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "text/CodePage.h"

#include <ostream>

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli chapter [OPTIONS] URL\n\n"
    "Fetches one chapter and prints its plain text (what the reader shows\n"
    "below the title line).\n\n"
    "Options:\n";

const std::string kHelp = std::string(kUsage) + kNovelCliOptionsUsage
                          + "\nExit status: 0 printed (empty when the body expression does not match), 2 wrong arguments.\n";

} // namespace

int RunChapter(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, NovelCliFlags(), NovelCliOptionNames());
    NovelCliOptions options;
    if (const std::optional<int> done = PrepareNovelCommand("chapter", "URL", kHelp, parsed, io, options))
        return *done;

    NovelFetcher fetcher;
    const std::string text = GbkToUtf8(ReadChapter(fetcher, options.source, Utf8ToGbk(parsed.positional().front())));
    if (options.json)
        io.out << "{\"text\":" << JsonString(text) << "}\n";
    else
        io.out << text << (text.empty() || text.back() == '\n' ? "" : "\n");
    return ExitOk;
}
