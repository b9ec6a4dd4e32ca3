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

} // namespace

int RunChapter(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, NovelCliFlags(), NovelCliOptionNames());
    if (parsed.wantsHelp()) {
        io.out << kUsage << kNovelCliOptionsUsage
               << "\nExit status: 0 printed (empty when the body expression does not match), 2 wrong arguments.\n";
        return ExitOk;
    }
    if (!parsed.ok())
        return NovelUsageError(io, "chapter", parsed.error());
    if (parsed.positional().size() != 1)
        return NovelUsageError(io, "chapter", "expected exactly one URL");
    NovelCliOptions options;
    bool failure = false;
    if (const std::string error = ReadNovelCliOptions(parsed, options, failure); !error.empty())
        return failure ? (io.err << "quillora-cli chapter: " << error << '\n', ExitFailure)
                       : NovelUsageError(io, "chapter", error);

    NovelFetcher fetcher;
    const std::string text = GbkToUtf8(ReadChapter(fetcher, options.source, Utf8ToGbk(parsed.positional().front())));
    if (options.json)
        io.out << "{\"text\":" << JsonString(text) << "}\n";
    else
        io.out << text << (text.empty() || text.back() == '\n' ? "" : "\n");
    return ExitOk;
}
