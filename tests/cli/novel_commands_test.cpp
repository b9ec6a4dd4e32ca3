// search, work, chapter and download on the command line, against the
// fixture novel site.

#include "CliRun.h"

#include "app/ActiveSourceConfig.h"
#include "support/FileBytes.h"
#include "support/FixtureSite.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class NovelCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(site.ok());
        ASSERT_TRUE(SaveActiveSource(program.path(), site.Source(false)));
    }

    CliRun Cli(std::vector<std::string> args)
    {
        args.push_back("--folder");
        args.push_back(program.path().string());
        return RunCliInMemory(args);
    }

    FixtureSite site;
    TempFolder program;
};

TEST_F(NovelCommandsTest, SearchListsRowsAsTextOrJson)
{
    const CliRun text = Cli({"search", "星辰"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, "星辰之海\t" + site.SiteUrl(false) + "/book/1/\t" + site.SiteUrl(false) + "/cover/1.png\n");

    const CliRun json = Cli({"search", "", "--json", "--escape", "usc2"});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_EQ(json.out.substr(0, 8), "{\"rows\":");
    EXPECT_NE(json.out.find("{\"name\":\"青云剑客&侠\",\"address\":\"/utf8/book/2/\",\"cover\":\"" + site.SiteUrl(false) +
                            "/cover/2.jpg\"}"),
              std::string::npos)
        << json.out;
}

TEST_F(NovelCommandsTest, SearchReportsTheSitesEmptyAnswers)
{
    const CliRun none = Cli({"search", "Torva"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "quillora-cli search: 暂不数据，请换其他的采集源\n");
    // UTF-8 pages rewritten as if they were GBK: rows, but garbled names.
    const CliRun garbled = Cli({"search", "星辰", "--transcode", "utf8"});
    EXPECT_EQ(garbled.code, 0);
    EXPECT_EQ(garbled.out.find("星辰之海"), std::string::npos);
}

TEST_F(NovelCommandsTest, WorkPrintsDataAndChapters)
{
    const CliRun json = Cli({"work", "/utf8/book/2/", "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const std::string base = site.SiteUrl(false);
    EXPECT_EQ(json.out.rfind("{\"name\":\"青云剑客&侠\",\"address\":\"" + base + "/book/2/\",\"data\":\"状态：连载中 & 共10章\","
                             "\"tableOfContents\":\"" + base + "/book/2/toc.html\",\"chapters\":[{\"title\":\"第一章 启程\","
                             "\"address\":\"" + base + "/book/2/1.html\"},",
                             0),
              0u)
        << json.out;

    const CliRun text = Cli({"work", base + "/book/1/"});
    ASSERT_EQ(text.code, 0);
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 2000 + 3);

    const CliRun missing = Cli({"work", "/utf8/blank/"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "quillora-cli work: 未查询到数据\n");
}

TEST_F(NovelCommandsTest, ChapterPrintsItsText)
{
    const CliRun run = Cli({"chapter", site.SiteUrl(false) + "/book/3/2.html"});
    ASSERT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "    无图之书第2章，开篇。\r\n    风声、雨声，声声入耳。\r\n    （完）\r\n");
}

TEST_F(NovelCommandsTest, DownloadWritesTheChosenChaptersWithAProgressBar)
{
    const CliRun run = Cli({"download", "/utf8/book/2/", "--chapters", "1-3,7"});
    ASSERT_EQ(run.code, 0) << run.err;
    // The bar is drawn empty before the first chapter, then after each one.
    EXPECT_EQ(run.err.rfind("\r[" + std::string(30, '.') + "] 0/4\r[", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("] 4/4\n"), std::string::npos) << run.err;
    const fs::path folder = program.path() / "星海书屋UTF8" / "青云剑客&侠";
    for (const char *name : {"第一章启程.txt", "第二章风起.txt", "第三章山水.txt", "第七章空白页.txt"})
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_EQ(ReadFileBytes(folder / "第一章启程.txt"),
              Utf8ToGbk("    青云剑客&侠第1章，开篇。\r\n    风声、雨声，声声入耳。\r\n    （完）\r\n"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
}

TEST_F(NovelCommandsTest, WrongArgumentsAreOneLineAndExitTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"search"},
        {"search", "x", "--mode", "4"},
        {"work", "x", "--transcode", "big5"},
        {"chapter", "x", "--escape", "latin1"},
        {"download", "/utf8/book/2/", "--chapters", "0-3"},
        {"download", "/utf8/book/2/", "--chapters", "3-x"},
        {"download", "/utf8/book/2/", "--chapters", "11"},
        // A malformed list is refused before any fetch, even for a work
        // page that comes back empty.
        {"download", "/utf8/book/404/", "--chapters", "1-"},
        {"download", "/utf8/book/404/", "--chapters", ","},
    };
    for (const auto &args : cases) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.code, 2) << args[0];
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    for (const char *command : {"search", "work", "chapter", "download"}) {
        const CliRun help = Cli({command, "--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_NE(help.out.find("--transcode"), std::string::npos);
    }
}

} // namespace
