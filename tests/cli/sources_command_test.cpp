#include "CliRun.h"

#include "app/ActiveSourceConfig.h"
#include "sources/SourceDate.h"
#include "sources/SourceStore.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SourcesCommandTest : public ::testing::Test {
protected:
    CliRun Sources(std::vector<std::string> args)
    {
        args.insert(args.begin(), "sources");
        args.push_back("--folder");
        args.push_back(folder.path().string());
        return RunCliInMemory(args);
    }

    std::vector<SourceRecord> Rows()
    {
        SourceStore store;
        if (!store.Open(folder.path() / SourceStore::kFileName))
            return {};
        return store.ListAll();
    }

    TempFolder folder;
};

std::string Today()
{
    return GbkToUtf8(TodaySourceDate());
}

TEST_F(SourcesCommandTest, FirstListShowsTheExampleAsJson)
{
    const CliRun run = Sources({"list", "--json"});
    ASSERT_EQ(run.code, ExitOk) << run.err;
    EXPECT_EQ(run.out.find("[\n  {\"id\": \"1\", \"name\": \"演示书站\", \"search_address\": "
                           "\"http://127.0.0.1:18321/utf8/search/\", \"search_list\": \"<a class=#引号name#引号"),
              0u)
        << run.out;
    EXPECT_NE(run.out.find("\"date\": \"" + Today() + "\"}\n]\n"), std::string::npos) << run.out;
}

TEST_F(SourcesCommandTest, AddStoresTypedTextsAsTheDialogDoes)
{
    const CliRun run = Sources({"add", "--name", "O'Neil站", "--search-list", "href='(.*?)'", "--toc", " "});
    ASSERT_EQ(run.code, ExitOk) << run.err;
    EXPECT_EQ(run.out, "added source 2\n");
    const std::vector<SourceRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    const ActiveSource &added = rows[1].source;
    EXPECT_EQ(added.name, Utf8ToGbk("O'Neil站"));
    EXPECT_EQ(added.searchList, Utf8ToGbk("href=Torva替换(.*?)Torva替换"));
    EXPECT_EQ(added.searchAddress, "0");
    EXPECT_EQ(added.tableOfContents, " ");
    EXPECT_EQ(rows[1].date, TodaySourceDate());

    const CliRun listed = Sources({"list", "--json"});
    EXPECT_NE(listed.out.find("\"search_list\": \"href=Torva替换(.*?)Torva替换\""), std::string::npos);
}

TEST_F(SourcesCommandTest, ModifyChangesOnlyTheGivenFieldsWithoutEscapingTwice)
{
    ASSERT_EQ(Sources({"add", "--name", "a", "--search-list", "x'y"}).code, ExitOk);
    ASSERT_EQ(Sources({"modify", "2", "--work-data", "d'"}).code, ExitOk);
    const ActiveSource row = Rows()[1].source;
    EXPECT_EQ(row.name, "a");
    EXPECT_EQ(row.searchList, Utf8ToGbk("xTorva替换y"));
    EXPECT_EQ(row.workData, Utf8ToGbk("dTorva替换"));
    EXPECT_EQ(row.searchAddress, "0");
}

TEST_F(SourcesCommandTest, ActivateWritesApostrophesWhileTheStoreKeepsTheToken)
{
    ASSERT_EQ(Sources({"add", "--name", "n'", "--search-list", "a'b"}).code, ExitOk);
    const CliRun run = Sources({"activate", "2"});
    ASSERT_EQ(run.code, ExitOk) << run.err;
    EXPECT_EQ(run.out, "active source: n'\n");
    const ActiveSource active = LoadActiveSource(folder.path());
    EXPECT_EQ(active.name, "n'");
    EXPECT_EQ(active.searchList, "a'b");
    EXPECT_EQ(Rows()[1].source.searchList, Utf8ToGbk("aTorva替换b"));
}

TEST_F(SourcesCommandTest, DeleteRemovesTheRow)
{
    ASSERT_EQ(Sources({"add", "--name", "a"}).code, ExitOk);
    EXPECT_EQ(Sources({"delete", "1"}).code, ExitOk);
    const std::vector<SourceRecord> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, "2");
}

struct BadCase {
    std::vector<std::string> args;
    int code;
    const char *err;
};

TEST_F(SourcesCommandTest, WrongArgumentsAndMissingRows)
{
    const BadCase cases[] = {
        {{"frobnicate"}, ExitUsage, "quillora-cli sources: unknown subcommand 'frobnicate'\n"},
        {{"delete"}, ExitUsage, "quillora-cli sources: delete needs an ID\n"},
        {{"list", "--name", "x"}, ExitUsage, "quillora-cli sources: unknown option --name\n"},
        {{"add", "--json"}, ExitUsage, "quillora-cli sources: unknown option --json\n"},
        {{"delete", "9"}, ExitFailure, "quillora-cli sources: delete failed: no source has that ID\n"},
        {{"modify", "9", "--name", "x"}, ExitFailure, "quillora-cli sources: modify failed: no source has that ID\n"},
        {{"activate", "9"}, ExitFailure, "quillora-cli sources: no source has that ID\n"},
    };
    for (const BadCase &c : cases) {
        const CliRun run = Sources(c.args);
        EXPECT_EQ(run.code, c.code) << c.args[0];
        EXPECT_EQ(run.err, c.err) << c.args[0];
    }
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(SourcesCommandTest, HelpAndAMissingFolder)
{
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    CliIo io{in, out, err};
    EXPECT_EQ(RunCli({"sources", "--help"}, io), ExitOk);
    EXPECT_NE(out.str().find("import-mdb"), std::string::npos);
    EXPECT_EQ(RunCli({"sources", "list", "--folder", (folder.path() / "absent").string()}, io), ExitUsage);
}

TEST_F(SourcesCommandTest, ImportOfAFileThatIsNotAccessImportsNothing)
{
    const fs::path junk = folder.path() / "other.mdb";
    std::ofstream(junk) << "plain text";
    const CliRun run = Sources({"import-mdb", junk.string()});
    EXPECT_EQ(run.code, ExitFailure);
    EXPECT_EQ(run.err, "quillora-cli sources: other.mdb: not an Access database; nothing imported\n");
    EXPECT_EQ(Rows().size(), 1u);
}

} // namespace
