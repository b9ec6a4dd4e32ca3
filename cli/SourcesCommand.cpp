#include "CliArgs.h"
#include "Commands.h"
#include "Json.h"

#include "app/ActiveSourceConfig.h"
#include "platform/ProgramFolder.h"
#include "sources/MdbImporter.h"
#include "sources/QuoteToken.h"
#include "sources/SourceDate.h"
#include "sources/SourceStoreSetup.h"
#include "text/CodePage.h"

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr const char *kUsage =
    "Usage: quillora-cli sources SUBCOMMAND [OPTIONS]\n"
    "\n"
    "Manages the sources kept in the source store of the program folder.\n"
    "\n"
    "Subcommands:\n"
    "  list [--json]          every source, in the order they were added\n"
    "  add [FIELDS]           adds a source; a field left out is stored as \"0\"\n"
    "  modify ID [FIELDS]     changes the given fields of source ID\n"
    "  delete ID              deletes source ID\n"
    "  activate ID            makes source ID the active one (configuration file)\n"
    "  import-mdb [FILE]      adds the sources of an Access file of the Windows\n"
    "                         program (default: voldTorva.mdb in the program folder)\n"
    "\n"
    "FIELDS, typed as in the add dialog (an apostrophe is stored as the quote token):\n"
    "  --name TEXT  --search-address TEXT  --search-list TEXT  --work-data TEXT\n"
    "  --work-picture TEXT  --toc TEXT  --chapter-link TEXT  --chapter-content TEXT\n"
    "\n"
    "Every subcommand takes --folder DIR: the program folder to work in.\n";

// The field options in the order of the store's columns.
const std::vector<std::pair<std::string, std::string ActiveSource::*>> &FieldOptions()
{
    static const std::vector<std::pair<std::string, std::string ActiveSource::*>> options = {
        {"name", &ActiveSource::name},
        {"search-address", &ActiveSource::searchAddress},
        {"search-list", &ActiveSource::searchList},
        {"work-data", &ActiveSource::workData},
        {"work-picture", &ActiveSource::workPicture},
        {"toc", &ActiveSource::tableOfContents},
        {"chapter-link", &ActiveSource::chapterLink},
        {"chapter-content", &ActiveSource::chapterContent},
    };
    return options;
}

struct Subcommand {
    std::set<std::string> flags;
    bool fields = false;
    size_t minPositional = 0;
    size_t maxPositional = 0;
};

const std::map<std::string, Subcommand> &Subcommands()
{
    static const std::map<std::string, Subcommand> subcommands = {
        {"list", {{"json"}, false, 0, 0}},     {"add", {{}, true, 0, 0}},
        {"modify", {{}, true, 1, 1}},          {"delete", {{}, false, 1, 1}},
        {"activate", {{}, false, 1, 1}},       {"import-mdb", {{}, false, 0, 1}},
    };
    return subcommands;
}

int Usage(CliIo &io, const std::string &message)
{
    io.err << "quillora-cli sources: " << message << '\n';
    return ExitUsage;
}

int Failure(CliIo &io, const std::string &message)
{
    io.err << "quillora-cli sources: " << message << '\n';
    return ExitFailure;
}

// The context every subcommand works in: the parsed options and the store.
struct Session {
    const CliArgs &args;
    CliIo &io;
    fs::path folder;
    SourceStore &store;
};

std::optional<SourceRecord> FindRow(const SourceStore &store, const std::string &id)
{
    for (SourceRecord &row : store.ListAll()) {
        if (row.id == id)
            return row;
    }
    return std::nullopt;
}

// Replaces the fields given on the command line, as typing into the boxes
// would, and escapes the expressions as saving does.
ActiveSource TypedFields(const CliArgs &args, ActiveSource shown)
{
    for (const auto &[option, field] : FieldOptions()) {
        if (std::optional<std::string> typed = args.value(option))
            shown.*field = Utf8ToGbk(*typed);
    }
    return EscapeExpressions(shown);
}

void PrintJson(const std::vector<SourceRecord> &rows, std::ostream &out)
{
    out << '[';
    for (size_t i = 0; i < rows.size(); ++i) {
        const SourceRecord &row = rows[i];
        const ActiveSource &s = row.source;
        const std::pair<const char *, const std::string *> fields[] = {
            {"id", &row.id},
            {"name", &s.name},
            {"search_address", &s.searchAddress},
            {"search_list", &s.searchList},
            {"work_data", &s.workData},
            {"work_picture", &s.workPicture},
            {"toc", &s.tableOfContents},
            {"chapter_link", &s.chapterLink},
            {"chapter_content", &s.chapterContent},
            {"date", &row.date},
        };
        out << (i == 0 ? "\n  {" : ",\n  {");
        for (size_t f = 0; f < std::size(fields); ++f)
            out << (f == 0 ? "" : ", ") << JsonString(fields[f].first) << ": " << JsonString(GbkToUtf8(*fields[f].second));
        out << '}';
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}

int RunList(Session &s)
{
    StoreResult listed;
    const std::vector<SourceRecord> rows = s.store.ListAll(&listed);
    if (!listed)
        return Failure(s.io, StoreStatusText(listed.status));
    if (s.args.has("json")) {
        PrintJson(rows, s.io.out);
        return ExitOk;
    }
    for (const SourceRecord &row : rows)
        s.io.out << row.id << '\t' << GbkToUtf8(row.source.name) << '\t' << GbkToUtf8(row.source.searchAddress)
                 << '\t' << GbkToUtf8(row.date) << '\n';
    return ExitOk;
}

int RunAdd(Session &s)
{
    const StoreResult added = s.store.Insert(TypedFields(s.args, {}), TodaySourceDate());
    if (!added)
        return Failure(s.io, std::string("add failed: ") + StoreStatusText(added.status));
    const std::optional<SourceRecord> last = s.store.ReadLast();
    s.io.out << "added source " << (last ? last->id : std::string("?")) << '\n';
    return ExitOk;
}

int RunModify(Session &s, const std::string &id)
{
    const std::optional<SourceRecord> row = FindRow(s.store, id);
    if (!row)
        return Failure(s.io, "modify failed: " + std::string(StoreStatusText(StoreStatus::NoSuchRow)));
    const StoreResult changed = s.store.Update(id, TypedFields(s.args, row->source), TodaySourceDate());
    if (!changed)
        return Failure(s.io, std::string("modify failed: ") + StoreStatusText(changed.status));
    s.io.out << "modified source " << id << '\n';
    return ExitOk;
}

int RunDelete(Session &s, const std::string &id)
{
    const StoreResult deleted = s.store.Delete(id);
    if (!deleted)
        return Failure(s.io, std::string("delete failed: ") + StoreStatusText(deleted.status));
    s.io.out << "deleted source " << id << '\n';
    return ExitOk;
}

int RunActivate(Session &s, const std::string &id)
{
    const std::optional<SourceRecord> row = FindRow(s.store, id);
    if (!row)
        return Failure(s.io, StoreStatusText(StoreStatus::NoSuchRow));
    if (!SaveActiveSource(s.folder, row->source))
        return Failure(s.io, "cannot write " + ConfigFilePath(s.folder).string());
    s.io.out << "active source: " << GbkToUtf8(row->source.name) << '\n';
    return ExitOk;
}

int RunImportMdb(Session &s, const fs::path &file)
{
    const MdbImport import = ReadMdbSources(file);
    if (!import.readable)
        return Failure(s.io, import.problem);
    const StoreResult added = s.store.InsertAll(import.rows);
    if (!added)
        return Failure(s.io, std::string("import failed: ") + StoreStatusText(added.status));
    s.io.out << "imported " << import.rows.size() << " sources from " << file.string() << '\n';
    return ExitOk;
}

int Dispatch(const std::string &name, Session &s, const OpenedStore &opened)
{
    const std::vector<std::string> &positional = s.args.positional();
    const std::string id = positional.empty() ? std::string() : positional[0];
    if (name == "list")
        return RunList(s);
    if (name == "add")
        return RunAdd(s);
    if (name == "modify")
        return RunModify(s, id);
    if (name == "delete")
        return RunDelete(s, id);
    if (name == "activate")
        return RunActivate(s, id);
    // A new store has already taken the folder's own Access file.
    const fs::path file = positional.empty() ? s.folder / kMdbFileName : fs::path(positional[0]);
    if (opened.imported > 0 && positional.empty()) {
        s.io.out << "imported " << opened.imported << " sources from " << file.string() << '\n';
        return ExitOk;
    }
    return RunImportMdb(s, file);
}

} // namespace

int RunSources(const std::vector<std::string> &args, CliIo &io)
{
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        io.out << kUsage;
        return ExitOk;
    }
    if (args.empty())
        return Usage(io, "missing subcommand (see quillora-cli sources --help)");
    const auto found = Subcommands().find(args[0]);
    if (found == Subcommands().end())
        return Usage(io, "unknown subcommand '" + args[0] + "'");
    const Subcommand &sub = found->second;

    std::set<std::string> options = {"folder"};
    if (sub.fields) {
        for (const auto &field : FieldOptions())
            options.insert(field.first);
    }
    const CliArgs parsed(std::vector<std::string>(args.begin() + 1, args.end()), sub.flags, options);
    if (parsed.wantsHelp()) {
        io.out << kUsage;
        return ExitOk;
    }
    if (!parsed.ok())
        return Usage(io, parsed.error());
    if (parsed.positional().size() < sub.minPositional || parsed.positional().size() > sub.maxPositional)
        return Usage(io, sub.maxPositional == 0 ? args[0] + " takes no arguments"
                                                : args[0] + (sub.minPositional ? " needs an ID" : " takes one FILE"));

    const fs::path folder = parsed.value("folder") ? fs::path(*parsed.value("folder")) : ResolveProgramFolder();
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return Usage(io, "no such folder: " + folder.string());

    OpenedStore opened = OpenSourceStore(folder);
    for (const SetupNote &note : opened.notes)
        io.err << "quillora-cli sources: " << note.text << '\n';
    if (!opened.store->IsOpen())
        return Failure(io, StoreStatusText(StoreStatus::NotOpen));
    Session session{parsed, io, folder, *opened.store};
    return Dispatch(args[0], session, opened);
}
