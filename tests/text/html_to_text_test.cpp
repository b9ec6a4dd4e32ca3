#include "text/CodePage.h"
#include "text/HtmlDepthLimit.h"
#include "text/HtmlToText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct HtmlCase {
    const char *name;
    std::string html;     // UTF-8
    std::string expected; // UTF-8
};

class HtmlToTextTest : public testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlToTextTest, GivesTheRenderedText)
{
    EXPECT_EQ(GbkToUtf8(HtmlToText(Utf8ToGbk(GetParam().html))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlToTextTest,
    testing::Values(
        HtmlCase{"Empty", "", ""},
        HtmlCase{"PlainText", "plain text", "plain text"},
        HtmlCase{"OnlyTags", "<div><span></span><p></p></div><img src=x>", ""},
        HtmlCase{"LineBreak", "a<br>b<br/>c", "a\r\nb\r\nc"},
        HtmlCase{"LineBreaksAddUp", "a<br><br>b", "a\r\n\r\nb"},
        HtmlCase{"ParagraphsAreSetApart", "<p>a</p><p>b</p>", "a\r\n\r\nb"},
        HtmlCase{"BlocksBreakOnce", "a<div>b</div><div>c</div>d", "a\r\nb\r\nc\r\nd"},
        HtmlCase{"RequiredBreaksTakeTheLargest", "<div><p>a</p></div><div>b</div>", "a\r\n\r\nb"},
        HtmlCase{"UnclosedParagraphs", "<p>a<p>b", "a\r\n\r\nb"},
        HtmlCase{"BreaksAtTheEndsVanish", "<div><p>a</p></div>", "a"},
        HtmlCase{"ListItems", "<ul>\n  <li>a</li>\n  <li>b</li>\n</ul>", "a\r\nb"},
        HtmlCase{"TableCellsAndRows", "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>",
                 "a\tb\r\nc"},
        HtmlCase{"NamedEntities", "&lt;a&gt; &amp; &quot;b&quot; &copy;", "<a> & \"b\" ©"},
        HtmlCase{"NumericEntities", "&#20013;&#x6587;&#X41;", "中文A"},
        HtmlCase{"ScriptStyleAndComments", "a<script>var x = '<b>';</script><style>p{}</style><!-- c -->b", "ab"},
        HtmlCase{"HiddenElements", "a<span hidden>x</span><div style=\"DISPLAY: none\">y</div>b", "ab"},
        HtmlCase{"WhiteSpaceCollapses", "  a \n\t b  ", "a b"},
        HtmlCase{"WhiteSpaceAcrossInlineElements", "a <b> b </b> c", "a b c"},
        HtmlCase{"WhiteSpaceAroundLineBreaks", "a <br> b", "a\r\nb"},
        HtmlCase{"PreKeepsWhiteSpace", "<pre>  a\n   b</pre>", "  a\r\n   b"},
        HtmlCase{"NoBreakSpaceIsAPlainSpaceThatStays", "&nbsp;&nbsp;a&nbsp; b", "  a  b"},
        HtmlCase{"ChapterBody",
                 "\r\n&nbsp;&nbsp;&nbsp;&nbsp;第一段。<br />\r\n<br />\r\n&nbsp;&nbsp;&nbsp;&nbsp;第二段！",
                 "    第一段。\r\n\r\n    第二段！"},
        HtmlCase{"HeadElementsInAFragment", "<title>t</title><meta charset=gbk>正文", "正文"},
        HtmlCase{"StrayEndTags", "</div>a</p>b</span>", "a\r\n\r\nb"}),
    [](const testing::TestParamInfo<HtmlCase> &info) { return std::string(info.param.name); });

std::string Repeat(const std::string &unit, size_t count)
{
    std::string out;
    out.reserve(unit.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += unit;
    return out;
}

struct BadHtmlCase {
    const char *name;
    std::string html;     // code page bytes
    std::string contains; // UTF-8 text the result holds
};

void PrintTo(const BadHtmlCase &c, std::ostream *os)
{
    *os << c.name;
}

class HtmlToTextBadInputTest : public testing::TestWithParam<BadHtmlCase> {};

TEST_P(HtmlToTextBadInputTest, EndsPromptlyWithTheText)
{
    const std::string text = GbkToUtf8(HtmlToText(GetParam().html));
    EXPECT_NE(text.find(GetParam().contains), std::string::npos);
}

constexpr size_t kFiveMegabytes = 5 * 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlToTextBadInputTest,
    testing::Values(BadHtmlCase{"DeeplyNestedDivs", Repeat("<div>", kFiveMegabytes / 5) + "end", "end"},
                    BadHtmlCase{"NestedDivsWithText", Repeat("<div>x", kFiveMegabytes / 6) + "end", "xend"},
                    BadHtmlCase{"UnclosedDistinctFormatting",
                                Repeat("<b class=a><i class=b><font color=red>", kFiveMegabytes / 37) + "end",
                                "end"},
                    BadHtmlCase{"NestedTables", Repeat("<table><tr><td>", 70000) + "end", "end"},
                    BadHtmlCase{"UnclosedParagraphs", Repeat("<p>x", 250000) + "end", "x\r\n\r\nx"},
                    BadHtmlCase{"UnclosedComment", "a<!--" + Repeat("<div>", 100000), "a"},
                    BadHtmlCase{"UnclosedTag", "a<div class=\"" + Repeat("x", 100000), "a"},
                    BadHtmlCase{"LoneAngles", Repeat("<<>>", 250000) + "end", "end"},
                    BadHtmlCase{"InvalidCodePageBytes", "a\x81\x20\xFF<br>b", "b"}),
    [](const testing::TestParamInfo<BadHtmlCase> &info) { return std::string(info.param.name); });

struct NestingCase {
    const char *name;
    std::string html;
    std::string expected;
};

class HtmlDepthLimitTest : public testing::TestWithParam<NestingCase> {};

TEST_P(HtmlDepthLimitTest, LeavesOutOnlyTheTooDeepTags)
{
    EXPECT_EQ(LimitHtmlNesting(GetParam().html, 2), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlDepthLimitTest,
    testing::Values(
        NestingCase{"TooDeep", "<div><DIV a='>'><span>x</span><b>y</b></DIV></div>",
                    "<div><DIV a='>'>xy</DIV></div>"},
        NestingCase{"ThirdLevelAfterTheSecondClosed", "<div><div></div><div>x</div></div>",
                    "<div><div></div><div>x</div></div>"},
        NestingCase{"VoidAndSelfClosingSiblings", "<div><div><p>a<p>b<br><img src=x><li>c</div></div>",
                    "<div><div><p>a<p>b<br><img src=x><li>c</div></div>"},
        NestingCase{"RawTextIsNotMarkup", "<div><div><script>'<div>'</script><!--<div>--></div></div>",
                    "<div><div><script>'<div>'</script><!--<div>--></div></div>"},
        NestingCase{"StrayEndTags", "</div></div><div><div><div>x", "</div></div><div><div>x"}),
    [](const testing::TestParamInfo<NestingCase> &info) { return std::string(info.param.name); });

} // namespace
