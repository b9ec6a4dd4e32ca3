// Every workflow end to end against the fixture novel site on 127.0.0.1:
// both character sets, the three kinds of links, 2,000 chapters, and the
// download with its files and progress.

#include "novel/ChapterDownload.h"
#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "support/FileBytes.h"
#include "support/FixtureSite.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string G(const std::string &utf8) { return Utf8ToGbk(utf8); }


class FixtureWorkflowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.ok()); }

    FixtureSite site;
    NovelFetcher fetcher;
};

struct SiteCase {
    bool gbk;
    Transcoding transcoding;
    KeywordForm form;
};

class FixtureSearchTest : public FixtureWorkflowTest, public testing::WithParamInterface<SiteCase> {};

TEST_P(FixtureSearchTest, FindsTheWorkInEitherCharacterSetAndKeywordForm)
{
    const SiteCase &c = GetParam();
    const FetchChoices choices{c.form, FetchMode::Http10, c.transcoding};
    const SearchOutcome outcome = RunSearch(fetcher, site.Source(c.gbk), G("星辰"), choices);
    ASSERT_EQ(outcome.verdict, SearchVerdict::Ok) << GbkToUtf8(outcome.pageText);
    ASSERT_EQ(outcome.rows.size(), 1u);
    EXPECT_EQ(GbkToUtf8(outcome.rows[0].name), "星辰之海");
    EXPECT_EQ(outcome.rows[0].address, site.SiteUrl(c.gbk) + "/book/1/");
    EXPECT_EQ(outcome.covers, std::vector<std::string>{site.SiteUrl(c.gbk) + "/cover/1.png"});
}

INSTANTIATE_TEST_SUITE_P(Sites, FixtureSearchTest,
                         testing::Values(SiteCase{true, Transcoding::Default, KeywordForm::Utf8},
                                         SiteCase{true, Transcoding::Default, KeywordForm::Escape},
                                         SiteCase{false, Transcoding::Gbk, KeywordForm::Utf8},
                                         SiteCase{false, Transcoding::Gbk, KeywordForm::Escape}));

TEST_F(FixtureWorkflowTest, TheWrongTranscodingGarblesTheNames)
{
    const FetchChoices choices{KeywordForm::Utf8, FetchMode::Http10, Transcoding::Default};
    const SearchOutcome outcome = RunSearch(fetcher, site.Source(false), "", choices);
    ASSERT_EQ(outcome.rows.size(), 3u);
    EXPECT_NE(GbkToUtf8(outcome.rows[0].name), "星辰之海");
}

TEST_F(FixtureWorkflowTest, AllWorksInPageOrderWithCovers)
{
    const SearchOutcome outcome = RunSearch(fetcher, site.Source(false), "", FetchChoices{});
    ASSERT_EQ(outcome.verdict, SearchVerdict::Ok);
    EXPECT_EQ(outcome.address, site.SiteUrl(false) + "/search/");
    ASSERT_EQ(outcome.rows.size(), 3u);
    for (int work = 1; work <= 3; ++work)
        EXPECT_EQ(GbkToUtf8(outcome.rows[work - 1].name), FixtureSite::WorkName(work));
    ASSERT_EQ(outcome.covers.size(), 3u);
    EXPECT_EQ(fetcher.FetchPicture(outcome.covers[0]).substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(fetcher.FetchPicture(outcome.covers[1]).substr(0, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(fetcher.FetchPicture(outcome.covers[2]), "not found"); // a 404 page's body
}

TEST_F(FixtureWorkflowTest, EmptyAnswersOfTheSite)
{
    const struct {
        std::string searchAddress;
        std::string keyword;
        SearchVerdict verdict;
        Transcoding transcoding = Transcoding::Gbk;
    } cases[] = {
        {site.SiteUrl(false) + "/nodata/", "", SearchVerdict::NoData},
        {site.SiteUrl(true) + "/nodata/", "", SearchVerdict::NoData, Transcoding::Default},
        {site.SiteUrl(true) + "/search/", "Torva", SearchVerdict::NoneFound, Transcoding::Default},
        {site.SiteUrl(false) + "/search/", "Torva", SearchVerdict::NoneFound},
        {site.SiteUrl(false) + "/blank/", "", SearchVerdict::EmptyPage},
        {"http://127.0.0.1:1/search/", "", SearchVerdict::EmptyPage},
    };
    for (const auto &c : cases) {
        ActiveSource source = site.Source(false);
        source.searchAddress = c.searchAddress;
        const FetchChoices choices{KeywordForm::Utf8, FetchMode::Http10, c.transcoding};
        const SearchOutcome outcome = RunSearch(fetcher, source, c.keyword, choices);
        EXPECT_EQ(outcome.verdict, c.verdict) << c.searchAddress;
        EXPECT_TRUE(outcome.rows.empty());
    }
}

// Work 1 is listed with an absolute address and a site-relative
// table-of-contents link, work 2 with a site-relative address and chapter
// links of all three kinds, work 3 with protocol-relative links throughout.
TEST_F(FixtureWorkflowTest, LoadsEveryWorkWhateverItsLinksLookLike)
{
    for (const bool gbk : {true, false}) {
        const FetchChoices choices{KeywordForm::Utf8, FetchMode::Http10, gbk ? Transcoding::Default : Transcoding::Gbk};
        const ActiveSource source = site.Source(gbk);
        const SearchOutcome search = RunSearch(fetcher, source, "", choices);
        ASSERT_EQ(search.rows.size(), 3u);
        for (int work = 1; work <= 3; ++work) {
            const WorkOutcome outcome = LoadWork(fetcher, source, search.rows[work - 1].address, choices);
            ASSERT_TRUE(outcome.found()) << work;
            EXPECT_EQ(outcome.address, site.SiteUrl(gbk) + "/book/" + std::to_string(work) + "/");
            EXPECT_EQ(outcome.tableOfContentsAddress, outcome.address + "toc.html");
            EXPECT_EQ(GbkToUtf8(outcome.data),
                      "状态：连载中 & 共" + std::to_string(FixtureSite::ChapterCount(work)) + "章");
            ASSERT_EQ(outcome.chapters.size(), static_cast<size_t>(FixtureSite::ChapterCount(work)));
            for (size_t i = 0; i < outcome.chapters.size(); ++i) {
                const int chapter = static_cast<int>(i) + 1;
                ASSERT_EQ(GbkToUtf8(outcome.chapters[i].title), FixtureSite::ChapterTitle(work, chapter));
                ASSERT_EQ(outcome.chapters[i].address, outcome.address + std::to_string(chapter) + ".html");
            }
        }
        EXPECT_EQ(ReadChapter(fetcher, source, site.SiteUrl(gbk) + "/book/2/1.html"), FixtureSite::ChapterFileText(2, 1));
        EXPECT_EQ(ReadChapter(fetcher, source, site.SiteUrl(gbk) + "/book/2/7.html"), "");
    }
}

TEST_F(FixtureWorkflowTest, AWorkPageThatComesBackEmpty)
{
    const WorkOutcome outcome = LoadWork(fetcher, site.Source(false), "/utf8/blank/", FetchChoices{});
    EXPECT_FALSE(outcome.found());
    EXPECT_TRUE(outcome.chapters.empty());
    EXPECT_EQ(GbkToUtf8(WorkNotFoundMessage()), "未查询到数据");
}

std::vector<MarkedChapter> MarkedOfWork2(const FixtureSite &site, std::initializer_list<int> chapters)
{
    std::vector<MarkedChapter> marked;
    for (int chapter : chapters)
        marked.push_back({G(FixtureSite::ChapterTitle(2, chapter)),
                          site.SiteUrl(false) + "/book/2/" + std::to_string(chapter) + ".html"});
    return marked;
}

TEST_F(FixtureWorkflowTest, DownloadsTheMarkedChaptersWithProgress)
{
    TempFolder program;
    const fs::path folder = ChapterDownload::PrepareFolders(program.path(), G("星海书屋UTF8"), G("青云剑客&侠"));
    EXPECT_EQ(folder, program.path() / "星海书屋UTF8" / "青云剑客&侠");
    ASSERT_TRUE(fs::is_directory(folder));

    std::vector<std::string> texts;
    ChapterDownload download(fetcher, site.Source(false).chapterContent);
    const DownloadReport report = download.Run(folder, MarkedOfWork2(site, {1, 3, 7}), [&](int selected, int done) {
        texts.push_back(GbkToUtf8(ProgressStatusText(selected, done)));
    });
    EXPECT_EQ(texts, (std::vector<std::string>{"你选中了3  当前还剩下2  已经完成下载1",
                                               "你选中了3  当前还剩下1  已经完成下载2",
                                               "你选中了3  当前还剩下0  已经完成下载3"}));
    EXPECT_EQ(report.done, 3);
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(ReadFileBytes(folder / "第一章启程.txt"), FixtureSite::ChapterFileText(2, 1));
    EXPECT_EQ(ReadFileBytes(folder / "第三章山水.txt"), FixtureSite::ChapterFileText(2, 3));
    EXPECT_TRUE(fs::exists(folder / "第七章空白页.txt"));
    EXPECT_EQ(fs::file_size(folder / "第七章空白页.txt"), 0u);
}

TEST_F(FixtureWorkflowTest, AwkwardTitlesBecomeTheirFileNames)
{
    TempFolder program;
    const fs::path folder = ChapterDownload::PrepareFolders(program.path(), "s", "w");
    ChapterDownload download(fetcher, site.Source(false).chapterContent);
    download.Run(folder, MarkedOfWork2(site, {2, 4, 5, 6, 8, 9}));
    const char *names[] = {"第二章风起.txt", "第四章何处归途终.txt", "第五章上下集.txt", "第六章嘰億.txt",
                           "第八章夜雨.txt", ".txt"};
    for (const char *name : names)
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    EXPECT_EQ(ReadFileBytes(folder / ".txt"), FixtureSite::ChapterFileText(2, 9));
}

// A fetcher that asks the download to stop while a chapter is on its way,
// as closing the window during a fetch does.
class StoppingFetcher : public NovelFetcher {
public:
    int stopAtFetch = 0;
    int fetches = 0;
    bool stop = false;

    std::string FetchChapterPage(const std::string &address) override
    {
        if (++fetches == stopAtFetch)
            stop = true;
        return NovelFetcher::FetchChapterPage(address);
    }
};

TEST_F(FixtureWorkflowTest, AStopDuringAFetchWritesNothingMore)
{
    TempFolder program;
    const fs::path folder = ChapterDownload::PrepareFolders(program.path(), "s", "w");
    StoppingFetcher stopping;
    stopping.stopAtFetch = 2;
    int progressCalls = 0;
    ChapterDownload download(stopping, site.Source(false).chapterContent);
    const DownloadReport report = download.Run(
        folder, MarkedOfWork2(site, {1, 2, 3}), [&](int, int) { ++progressCalls; }, [&] { return stopping.stop; });
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.done, 1);
    EXPECT_EQ(progressCalls, 1);
    EXPECT_EQ(stopping.fetches, 2);
    EXPECT_TRUE(fs::exists(folder / "第一章启程.txt"));
    EXPECT_FALSE(fs::exists(folder / "第二章风起.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

} // namespace
