#pragma once

#include "CliArgs.h"

#include "novel/NovelChoices.h"
#include "sources/SourceRecord.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>

struct CliIo;

// What the novel commands (search, work, chapter, download) share: the three
// choices of the main window's radio groups as flags, and the source to use:
// the active source of the configuration file in the program folder, or a
// named source of the source store.
struct NovelCliOptions {
    FetchChoices choices;
    ActiveSource source;
    std::filesystem::path folder;
    bool json = false;
};

// Flags and options every novel command takes.
std::set<std::string> NovelCliFlags();
std::set<std::string> NovelCliOptionNames(std::set<std::string> extra = {});

// Usage text of the shared options.
extern const char *const kNovelCliOptionsUsage;

// Reads the shared options and loads the source. Empty on success, else the
// one line that says what is wrong; `failure` tells a usage error (false)
// from a source that could not be loaded (true).
std::string ReadNovelCliOptions(const CliArgs &parsed, NovelCliOptions &options, bool &failure);

class NovelFetcher;

// The name the source's search (with an empty keyword) gives the work at the
// completed address `address`; empty when no result row leads there.
std::string WorkNameFromSearch(NovelFetcher &fetcher, const NovelCliOptions &options, const std::string &address);

// The common start of a novel command: prints `help` for --help, reports a
// usage error for wrong options or a positional count other than one (naming
// `positionalName`), then reads the shared options and loads the source.
// Returns the exit code when the command ends here, nullopt when it goes on.
std::optional<int> PrepareNovelCommand(const char *command, const char *positionalName, const std::string &help,
                                       const CliArgs &parsed, CliIo &io, NovelCliOptions &options);

// Prints the one line of a usage error and returns ExitUsage.
int NovelUsageError(CliIo &io, const char *command, const std::string &message);
