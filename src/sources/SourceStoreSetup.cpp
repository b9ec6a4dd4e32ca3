#include "SourceStoreSetup.h"

#include "app/ActiveSourceConfig.h"
#include "sources/MdbImporter.h"
#include "sources/QuoteToken.h"
#include "sources/SourceDate.h"
#include "text/CodePage.h"

namespace fs = std::filesystem;

namespace {

// Rows for a new store: the old program's sources, or the example.
std::vector<SourceRecord> FirstRows(const fs::path &folder, OpenedStore &opened, bool &exampleOnly)
{
    exampleOnly = false;
    std::error_code ec;
    const fs::path mdb = folder / kMdbFileName;
    if (fs::exists(mdb, ec)) {
        MdbImport import = ReadMdbSources(mdb);
        if (!import.readable) {
            opened.notes.push_back({SetupNoteKind::MdbUnreadable, import.problem});
        } else if (!import.rows.empty()) {
            opened.imported = static_cast<int>(import.rows.size());
            opened.notes.push_back({SetupNoteKind::Imported, "imported " + std::to_string(opened.imported) +
                                                                  " sources from " + kMdbFileName});
            return std::move(import.rows);
        }
    }
    exampleOnly = true;
    SourceRecord example = ExampleSource();
    example.date = TodaySourceDate();
    return {example};
}

// Builds the new store under a side name and links it into place only when
// complete; a store that another process made meanwhile wins.
bool BuildStore(const fs::path &folder, const std::vector<SourceRecord> &rows, OpenedStore &opened)
{
    const fs::path file = folder / SourceStore::kFileName;
    const fs::path partial = folder / (std::string(SourceStore::kFileName) + ".new");
    std::error_code ec;
    fs::remove(partial, ec);
    fs::remove(fs::path(partial.string() + "-journal"), ec);

    SourceStore building;
    if (!building.Create(partial)) {
        opened.notes.push_back({SetupNoteKind::StoreNotMade,
                                std::string("cannot create ") + SourceStore::kFileName + " in " + folder.string()});
        return false;
    }
    const StoreResult filled = building.InsertAll(rows);
    building.Close();
    if (filled)
        fs::create_hard_link(partial, file, ec);
    fs::remove(partial, ec);
    if (!filled)
        opened.notes.push_back({SetupNoteKind::StoreNotMade, std::string("cannot write ") + SourceStore::kFileName +
                                                                 ": " + StoreStatusText(filled.status)});
    return filled.status == StoreStatus::Ok;
}

// A first start without a configuration file works with the example at once.
bool ActivateExampleIfUnset(const fs::path &folder)
{
    std::error_code ec;
    return !fs::exists(ConfigFilePath(folder), ec) && SaveActiveSource(folder, ExampleSource().source);
}

} // namespace

SourceRecord ExampleSource()
{
    // Every expression picks group 1 (and 2) out of the demo site's pages;
    // "#引号" stands for a double quote inside an expression.
    SourceRecord example;
    ActiveSource &s = example.source;
    s.name = Utf8ToGbk("演示书站");
    s.searchAddress = "http://127.0.0.1:18321/utf8/search/";
    s.searchList = Utf8ToGbk("<a class=#引号name#引号 href=#引号(.*?)#引号>(.*?)</a>");
    s.workData = Utf8ToGbk("<p class=#引号data#引号>(.*?)</p>");
    s.workPicture = Utf8ToGbk("<img class=#引号cover#引号 src=#引号(.*?)#引号");
    s.tableOfContents = Utf8ToGbk("<a class=#引号toc#引号 href=#引号(.*?)#引号");
    s.chapterLink = Utf8ToGbk("<dd><a href=#引号(.*?)#引号>(.*?)</a></dd>");
    s.chapterContent = Utf8ToGbk("<div id=#引号content#引号>([\\s\\S]*?)</div>");
    return example;
}

OpenedStore OpenSourceStore(const fs::path &programFolder)
{
    OpenedStore opened;
    opened.store = std::make_unique<SourceStore>();
    const fs::path file = programFolder / SourceStore::kFileName;
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        bool exampleOnly = false;
        const std::vector<SourceRecord> rows = FirstRows(programFolder, opened, exampleOnly);
        opened.created = BuildStore(programFolder, rows, opened);
        if (opened.created && exampleOnly)
            opened.activatedExample = ActivateExampleIfUnset(programFolder);
    }
    if (fs::exists(file, ec) && !opened.store->Open(file))
        opened.notes.push_back({SetupNoteKind::StoreUnusable, std::string(SourceStore::kFileName) +
                                                                  " is not a source store; it was left as it is"});
    return opened;
}
