#include "app/ActiveSourceConfig.h"
#include "sources/MdbImporter.h"
#include "sources/QuoteToken.h"
#include "sources/SourceDate.h"
#include "sources/SourceStoreSetup.h"
#include "support/FixtureSite.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(SourceStoreSetup, FirstStartMakesTheExampleAndActivatesIt)
{
    TempFolder folder;
    OpenedStore opened = OpenSourceStore(folder.path());
    ASSERT_TRUE(opened.store->IsOpen());
    EXPECT_TRUE(opened.created);
    EXPECT_TRUE(opened.activatedExample);
    const std::vector<SourceRecord> rows = opened.store->ListAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, "1");
    EXPECT_EQ(rows[0].source, ExampleSource().source);
    EXPECT_EQ(rows[0].date, TodaySourceDate());
    EXPECT_EQ(LoadActiveSource(folder.path()), UnescapeExpressions(ExampleSource().source));
    EXPECT_FALSE(fs::exists(folder.path() / "voldTorva.db.new"));

    // The next start opens the same store and adds nothing.
    ActiveSource mine;
    mine.name = "mine";
    opened.store->Insert(mine, TodaySourceDate());
    const OpenedStore again = OpenSourceStore(folder.path());
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.store->ListAll().size(), 2u);
}

TEST(SourceStoreSetup, AnExistingConfigurationIsKept)
{
    TempFolder folder;
    ActiveSource mine;
    mine.name = "mine";
    ASSERT_TRUE(SaveActiveSource(folder.path(), mine));
    OpenSourceStore(folder.path());
    EXPECT_EQ(LoadActiveSource(folder.path()).name, "mine");
}

TEST(SourceStoreSetup, TheExampleFitsTheDemoSite)
{
    const ActiveSource example = ExampleSource().source;
    EXPECT_EQ(example.searchAddress, "http://127.0.0.1:" + std::to_string(FixtureSite::kDefaultPort) + "/utf8" +
                                         FixtureSite::kSearchPath);
    EXPECT_EQ(example.searchList, Utf8ToGbk(FixtureSite::kSearchList));
    EXPECT_EQ(example.workData, Utf8ToGbk(FixtureSite::kWorkData));
    EXPECT_EQ(example.workPicture, Utf8ToGbk(FixtureSite::kWorkPicture));
    EXPECT_EQ(example.tableOfContents, Utf8ToGbk(FixtureSite::kTableOfContents));
    EXPECT_EQ(example.chapterLink, Utf8ToGbk(FixtureSite::kChapterLink));
    EXPECT_EQ(example.chapterContent, Utf8ToGbk(FixtureSite::kChapterContent));
}

TEST(SourceStoreSetup, AnUnreadableAccessFileIsReportedAndLeftAlone)
{
    for (const bool genuine : {false, true}) {
        TempFolder folder;
        const fs::path mdb = folder.path() / kMdbFileName;
        if (genuine)
            fs::copy_file(fs::path(__FILE__).parent_path() / "data" / "users.mdb", mdb);
        else
            std::ofstream(mdb) << "not access";
        const std::string before = ReadAll(mdb);

        const OpenedStore opened = OpenSourceStore(folder.path());
        ASSERT_EQ(opened.notes.size(), 1u);
        EXPECT_EQ(opened.notes[0].kind, SetupNoteKind::MdbUnreadable);
        EXPECT_NE(opened.notes[0].text.find("nothing imported"), std::string::npos);
        EXPECT_EQ(opened.imported, 0);
        EXPECT_EQ(opened.store->ListAll().size(), 1u) << "the example only";
        EXPECT_EQ(ReadAll(mdb), before);
    }
}

TEST(SourceStoreSetup, AStoreFileThatIsNoStoreIsLeftAlone)
{
    TempFolder folder;
    const fs::path file = folder.path() / SourceStore::kFileName;
    std::ofstream(file) << "some other program's file, long enough to look like something";
    const OpenedStore opened = OpenSourceStore(folder.path());
    EXPECT_FALSE(opened.store->IsOpen());
    ASSERT_EQ(opened.notes.size(), 1u);
    EXPECT_EQ(opened.notes[0].kind, SetupNoteKind::StoreUnusable);
    EXPECT_EQ(ReadAll(file), "some other program's file, long enough to look like something");
    EXPECT_FALSE(fs::exists(ConfigFilePath(folder.path())));
}

} // namespace
