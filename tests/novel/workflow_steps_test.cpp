// The workflow steps on pages already fetched: the search address, the
// judgement of a search page, result rows and covers, work data, the chapter
// rows and a chapter's text.

#include "novel/ChapterDownload.h"
#include "novel/WorkDetails.h"
#include "novel/WorkSearch.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string G(const char *utf8) { return Utf8ToGbk(utf8); }

TEST(BuildSearchAddress, AppendsTheKeywordInTheChosenForm)
{
    const std::string base = "http://example.com/s.php?q=";
    EXPECT_EQ(BuildSearchAddress(base, "abc", KeywordForm::Utf8), base + "%61%62%63");
    EXPECT_EQ(BuildSearchAddress(base, "abc", KeywordForm::Escape), base + "abc");
    EXPECT_EQ(BuildSearchAddress(base, G("星"), KeywordForm::Utf8), base + "%E6%98%9F");
    EXPECT_EQ(BuildSearchAddress(base, G("星"), KeywordForm::Escape), base + "%u661F");
    EXPECT_EQ(BuildSearchAddress(base, "", KeywordForm::Utf8), base);
    EXPECT_EQ(BuildSearchAddress(base, "", KeywordForm::Escape), base);
}

TEST(JudgeSearchPage, RecognisesTheEmptyAnswers)
{
    const struct {
        std::string page;
        SearchVerdict verdict;
    } cases[] = {
        {"", SearchVerdict::EmptyPage},
        {G("<p>暂无数据</p>"), SearchVerdict::NoData},
        {G("<li>a</li><li>b</li><p>暂无数据</p>"), SearchVerdict::NoData},
        {G("共搜索到0部"), SearchVerdict::NoneFound},
        {G("共搜索到10部"), SearchVerdict::Ok},
        {std::string(1000, ' '), SearchVerdict::Ok},
        {G("暂无"), SearchVerdict::Ok},
    };
    for (const auto &c : cases)
        EXPECT_EQ(JudgeSearchPage(c.page), c.verdict) << GbkToUtf8(c.page);
    EXPECT_EQ(GbkToUtf8(SearchVerdictMessage(SearchVerdict::EmptyPage)), "请检查取名码模式或编码模式是否正确");
    EXPECT_EQ(GbkToUtf8(SearchVerdictMessage(SearchVerdict::NoData)), "暂不数据，请换其他的采集源");
    EXPECT_EQ(GbkToUtf8(SearchVerdictMessage(SearchVerdict::NoneFound)), "暂不数据，请换其他的采集源");
    EXPECT_EQ(SearchVerdictMessage(SearchVerdict::Ok), "");
}

const std::string kSearchPage = G(R"(<ul>
<li><img class="cover" src="http://x/1.png"><a class="name" href="http://x/book/1/">星辰<em>之海</em></a></li>
<li><img class="cover" src="/2.jpg"><a class="name" href="/book/2/"><b>青云剑客</b>&amp;侠</a></li>
<li><a class="name" href="//x/book/3/">无图之书</a></li>
</ul><img class="cover" src="http://x/extra.png">)");

TEST(MakeResultRows, OneRowPerMatchInPageOrderWithPlainNames)
{
    const auto rows = MakeResultRows(kSearchPage, G("<a class=#引号name#引号 href=#引号(.*?)#引号>(.*?)</a>"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(GbkToUtf8(rows[0].name), "星辰之海");
    EXPECT_EQ(GbkToUtf8(rows[1].name), "青云剑客&侠");
    EXPECT_EQ(GbkToUtf8(rows[2].name), "无图之书");
    EXPECT_EQ(rows[0].address, "http://x/book/1/");
    EXPECT_EQ(rows[1].address, "/book/2/");
    EXPECT_EQ(rows[2].address, "//x/book/3/");
}

TEST(MakeResultRows, BrokenOrOneGroupExpressions)
{
    EXPECT_TRUE(MakeResultRows(kSearchPage, "(unclosed").empty());
    EXPECT_TRUE(MakeResultRows(kSearchPage, "nothing like this").empty());
    const auto rows = MakeResultRows(kSearchPage, "href=\"(.*?)\"");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "");
    EXPECT_EQ(rows[0].address, "http://x/book/1/");
}

TEST(MakeCoverAddresses, EveryMatchByPositionUnchanged)
{
    const auto covers = MakeCoverAddresses(kSearchPage, G("<img class=#引号cover#引号 src=#引号(.*?)#引号"));
    EXPECT_EQ(covers, (std::vector<std::string>{"http://x/1.png", "/2.jpg", "http://x/extra.png"}));
    EXPECT_TRUE(MakeCoverAddresses(kSearchPage, "[").empty());
}

TEST(WorkDetails, DataIsTheLastMatchAsPlainText)
{
    const std::string page = G(R"(<p class="data">作者：Torva</p><p class="data">点击：1</p>)"
                               R"(<p class="data"><b>状态</b>：连载中 &amp; 共10章</p>)");
    EXPECT_EQ(GbkToUtf8(PickWorkData(page, G("<p class=#引号data#引号>(.*?)</p>"))), "状态：连载中 & 共10章");
    EXPECT_EQ(PickWorkData(page, G("<p class=#引号none#引号>(.*?)</p>")), "");
    EXPECT_EQ(PickWorkData(page, ""), "");
}

TEST(WorkDetails, TableOfContentsAddressIsCompletedAgainstTheWorkPage)
{
    const std::string page = R"(<a class="toc" href="/old.html"></a><a class="toc" href="/gbk/book/1/toc.html">)";
    const std::string expression = "<a class=\"toc\" href=\"(.*?)\"";
    EXPECT_EQ(PickTableOfContentsAddress(page, expression, "http://h:81/gbk/book/1/"), "http://h:81/gbk/book/1/toc.html");
    EXPECT_EQ(PickTableOfContentsAddress(page, "nomatch(x)", "http://h:81/gbk/book/1/"), "http://");
}

TEST(WorkDetails, ChapterRowsKeepTitlesAndCompleteAddresses)
{
    std::string toc;
    for (int i = 1; i <= 2000; ++i)
        toc += "<dd><a href=\"/b/" + std::to_string(i) + ".html\">" + G("第") + std::to_string(i) + G("章 星海") +
               "</a></dd>\n";
    toc += G("<dd><a href=\"//h/x.html\">  第2001章,&amp;</a></dd>");
    const auto rows = MakeChapterRows(toc, G("<dd><a href=#引号(.*?)#引号>(.*?)</a></dd>"), "https://h:9/toc.html");
    ASSERT_EQ(rows.size(), 2001u);
    EXPECT_EQ(rows[0].address, "https://h:9/b/1.html");
    EXPECT_EQ(GbkToUtf8(rows[0].title), "第1章 星海");
    EXPECT_EQ(rows[1999].address, "https://h:9/b/2000.html");
    EXPECT_EQ(rows[2000].address, "https://h/x.html");
    EXPECT_EQ(GbkToUtf8(rows[2000].title), "  第2001章,&amp;"); // as the page gives it
}

TEST(ChapterText, LastBodyMatchAsPlainText)
{
    const std::string expression = G("<div id=#引号content#引号>([\\s\\S]*?)</div>");
    const std::string page = G("<div id=\"content\">first</div><div id=\"content\">"
                               "&nbsp;&nbsp;&nbsp;&nbsp;一段。<br>\n&nbsp;&nbsp;&nbsp;&nbsp;二段。<br /></div>");
    const std::string text = GbkToUtf8(PickChapterText(page, expression));
    EXPECT_EQ(text.rfind("    一段。\r\n    二段。", 0), 0u) << text;
    EXPECT_EQ(PickChapterText("<p>no body</p>", expression), "");
}

TEST(Reader, TitleAndTextLines)
{
    EXPECT_EQ(GbkToUtf8(ReaderTitle(G("星辰之海"), G("第1章 星海1"))), "《星辰之海》  第1章 星海1");
    EXPECT_EQ(GbkToUtf8(ReaderText(G("作品"), G("章"), G("\r\n正文"))), "《作品》  章\r\n\r\n正文");
    EXPECT_EQ(GbkToUtf8(ReaderText(G("作品"), "", "")), "《作品》  \r\n");
}

TEST(DownloadStatus, TextsOfTheLabel)
{
    EXPECT_EQ(GbkToUtf8(SelectedStatusText(0)), "你选中了0");
    EXPECT_EQ(GbkToUtf8(ProgressStatusText(3, 1)), "你选中了3  当前还剩下2  已经完成下载1");
    EXPECT_EQ(GbkToUtf8(ProgressStatusText(12, 12)), "你选中了12  当前还剩下0  已经完成下载12");
}

} // namespace
