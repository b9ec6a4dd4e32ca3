#include "NovelCliOptions.h"

#include "Cli.h"

#include "app/ActiveSourceConfig.h"
#include "novel/NovelWorkflow.h"
#include "platform/ProgramFolder.h"
#include "sources/QuoteToken.h"
#include "sources/SourceStoreSetup.h"
#include "text/CodePage.h"

#include <ostream>

const char *const kNovelCliOptionsUsage =
    "  --escape utf8|usc2       how the keyword enters the search address (default utf8)\n"
    "  --mode 1|2|3             the page client for search and work pages (default 2)\n"
    "  --transcode utf8|gbk|none\n"
    "                           what is done to a search or work page's bytes (default gbk)\n"
    "  --source NAME            use this source of the source store instead of the active one\n"
    "  --folder DIR             the program folder (configuration file, store, downloads)\n"
    "  --json                   machine-readable output\n"
    "  --help                   show this help\n";

std::set<std::string> NovelCliFlags() { return {"json"}; }

std::set<std::string> NovelCliOptionNames(std::set<std::string> extra)
{
    extra.insert({"escape", "mode", "transcode", "source", "folder"});
    return extra;
}

namespace {

bool LoadNamedSource(const std::filesystem::path &folder, const std::string &nameUtf8, ActiveSource &source)
{
    OpenedStore opened = OpenSourceStore(folder);
    if (!opened.store->IsOpen())
        return false;
    const std::string name = Utf8ToGbk(nameUtf8);
    for (const SourceRecord &row : opened.store->ListAll()) {
        if (row.source.name == name) {
            source = UnescapeExpressions(row.source);
            return true;
        }
    }
    return false;
}

} // namespace

std::string ReadNovelCliOptions(const CliArgs &parsed, NovelCliOptions &options, bool &failure)
{
    failure = false;
    const std::string escape = parsed.value("escape", "utf8");
    if (escape != "utf8" && escape != "usc2")
        return "--escape must be utf8 or usc2";
    options.choices.keywordForm = escape == "utf8" ? KeywordForm::Utf8 : KeywordForm::Escape;
    const std::string mode = parsed.value("mode", "2");
    if (mode != "1" && mode != "2" && mode != "3")
        return "--mode must be 1, 2 or 3";
    options.choices.fetchMode = FetchModeFromButtons(mode == "1", mode == "2", mode == "3");
    const std::string transcoding = parsed.value("transcode", "gbk");
    if (transcoding != "utf8" && transcoding != "gbk" && transcoding != "none")
        return "--transcode must be utf8, gbk or none";
    options.choices.transcoding =
        TranscodingFromButtons(transcoding == "utf8", transcoding == "gbk", transcoding == "none");
    options.json = parsed.has("json");

    options.folder = parsed.value("folder") ? std::filesystem::path(*parsed.value("folder")) : ResolveProgramFolder();
    std::error_code error;
    if (!std::filesystem::is_directory(options.folder, error))
        return "no such folder: " + options.folder.string();
    if (const auto name = parsed.value("source")) {
        if (!LoadNamedSource(options.folder, *name, options.source)) {
            failure = true;
            return "no source named '" + *name + "' in the source store";
        }
    } else {
        // A first start in this folder creates the store and makes its
        // example the active source, as the app does.
        OpenSourceStore(options.folder);
        options.source = LoadActiveSource(options.folder);
    }
    return {};
}

int NovelUsageError(CliIo &io, const char *command, const std::string &message)
{
    io.err << "quillora-cli " << command << ": " << message << '\n';
    return ExitUsage;
}

std::string WorkNameFromSearch(NovelFetcher &fetcher, const NovelCliOptions &options, const std::string &address)
{
    const SearchOutcome search = RunSearch(fetcher, options.source, "", options.choices);
    for (const SearchRow &row : search.rows)
        if (CompleteWorkAddress(row.address, options.source) == address)
            return row.name;
    return {};
}

std::optional<int> PrepareNovelCommand(const char *command, const char *positionalName, const std::string &help,
                                       const CliArgs &parsed, CliIo &io, NovelCliOptions &options)
{
    if (parsed.wantsHelp()) {
        io.out << help;
        return ExitOk;
    }
    if (!parsed.ok())
        return NovelUsageError(io, command, parsed.error());
    if (parsed.positional().size() != 1)
        return NovelUsageError(io, command, std::string("expected exactly one ") + positionalName);
    bool failure = false;
    if (const std::string error = ReadNovelCliOptions(parsed, options, failure); !error.empty()) {
        if (!failure)
            return NovelUsageError(io, command, error);
        io.err << "quillora-cli " << command << ": " << error << '\n';
        return ExitFailure;
    }
    return std::nullopt;
}
