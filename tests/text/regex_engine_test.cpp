#include "text/CodePage.h"
#include "text/HtmlToText.h"
#include "text/RegexEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Test texts are written in UTF-8 and handed to the engine in the code page.
std::string G(const std::string &utf8)
{
    return Utf8ToGbk(utf8);
}

struct Options {
    bool caseSensitive = true;
    bool multiline = true;
    bool global = true;
    bool quoteToken = false;
};

struct MatchCase {
    const char *name;
    std::string pattern; // UTF-8
    std::string subject; // UTF-8
    Options options;
    // Per match: the whole match, then each group (UTF-8).
    std::vector<std::vector<std::string>> expected;
};

void PrintTo(const MatchCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<std::vector<std::string>> AllMatches(const RegexEngine &engine)
{
    std::vector<std::vector<std::string>> all;
    for (int i = 1; i <= engine.MatchCount(); ++i) {
        std::vector<std::string> match{GbkToUtf8(engine.MatchText(i))};
        for (int g = 1; g <= engine.SubMatchCount(); ++g)
            match.push_back(GbkToUtf8(engine.SubMatch(i, g)));
        all.push_back(match);
    }
    return all;
}

class RegexMeaningTest : public testing::TestWithParam<MatchCase> {};

TEST_P(RegexMeaningTest, FindsTheMatchesTheExpressionMeans)
{
    const MatchCase &c = GetParam();
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(G(c.pattern), G(c.subject), c.options.caseSensitive, c.options.multiline,
                              c.options.global, c.options.quoteToken));
    EXPECT_EQ(AllMatches(engine), c.expected);
}

const Options kSingleLine{true, false, true, false};
const Options kIgnoreCase{false, true, true, false};
const Options kFirstOnly{true, true, false, false};
const Options kQuoteToken{true, true, true, true};

INSTANTIATE_TEST_SUITE_P(
    Meanings, RegexMeaningTest,
    testing::Values(
        MatchCase{"WordIsAsciiOnly", R"(\w+)", "abc中文_9ａ", {}, {{"abc"}, {"_9"}}},
        MatchCase{"DigitIsAsciiOnly", R"(\d+)", "12３4", {}, {{"12"}, {"4"}}},
        MatchCase{"BoundaryIsAscii", R"(\bx|y\b)", "中x y中 yz", {}, {{"x"}, {"y"}}},
        MatchCase{"SpaceIsAsciiWhiteSpace", R"(a\sb)", "a\tb a\x0b" "b a\fb a\u3000b a\u00a0b a\r\nb", {},
                  {{"a\tb"}, {"a\x0b" "b"}, {"a\fb"}}},
        MatchCase{"VerticalTabEscapeIsOneCharacter", R"(a\vb)", "a\nb a\x0b" "b", {}, {{"a\x0b" "b"}}},
        MatchCase{"DotMatchesNoLineBreak", "a.b", "a\nb a\rb a中b", {}, {{"a中b"}}},
        MatchCase{"ChineseCharacterIsOneDot", "^(..)$", "中文\n中文字", {}, {{"中文", "中文"}}},
        MatchCase{"MultilineAnchorsAtEveryLine", R"(^\w+$)", "ab\ncd\r\nef\rgh", {},
                  {{"ab"}, {"cd"}, {"ef"}, {"gh"}}},
        MatchCase{"SingleLineAnchorsAtTheEnds", R"(^\w+$)", "ab\ncd", kSingleLine, {}},
        MatchCase{"SingleLineDollarOnlyAtTheVeryEnd", "b$", "ab\n", kSingleLine, {}},
        MatchCase{"GreedyDotStopsAtCarriageReturn", "^(.+)$", "ab\r\ncd\re", {},
                  {{"ab", "ab"}, {"cd", "cd"}, {"e", "e"}}},
        MatchCase{"CaseSensitive", "abc", "ABC abc", {}, {{"abc"}}},
        MatchCase{"IgnoreCase", "abc", "ABC abc", kIgnoreCase, {{"ABC"}, {"abc"}}},
        // Only ASCII letters have a second case: not "é", full-width letters
        // or the Kelvin sign.
        MatchCase{"IgnoreCaseIsAsciiOnly", "(é|ａ|k)", "É Ａ K \u212a", kIgnoreCase, {{"K", "K"}}},
        MatchCase{"IgnoreCaseInSets", "[A-C][x-z][^a-m]+", "bYQN cxM", kIgnoreCase, {{"bYQN "}}},
        MatchCase{"IgnoreCaseRangeIntoLetters", "[0-Z]+", "a_5", kIgnoreCase, {{"a"}, {"5"}}},
        MatchCase{"IgnoreCaseNegatedSet", "[^A-Z]+", "abC1", kIgnoreCase, {{"1"}}},
        MatchCase{"IgnoreCaseKeepsClassEscapes", R"(\x41\u0042[\x43-\x44]\W\D)", "abd!x", kIgnoreCase, {{"abd!x"}}},
        MatchCase{"IgnoreCaseBackreference", R"((a)\1)", "aA Aa", kIgnoreCase, {{"aA", "a"}, {"Aa", "A"}}},
        MatchCase{"NotGlobalGivesTheFirst", R"(\d)", "1 2 3", kFirstOnly, {{"1"}}},
        MatchCase{"LazyQuantifier", "<b>(.+?)</b>", "<b>x</b><b>y</b>", {}, {{"<b>x</b>", "x"}, {"<b>y</b>", "y"}}},
        MatchCase{"GreedyQuantifier", "<b>(.+)</b>", "<b>x</b><b>y</b>", {}, {{"<b>x</b><b>y</b>", "x</b><b>y"}}},
        MatchCase{"NegatedSetTakesLineBreaks", "a[^x]b|[^<a]+", "a\nb<cd", {}, {{"a\nb"}, {"cd"}}},
        MatchCase{"AlternationAndUnusedGroup", "(cat)|(dog)", "dog cat", {}, {{"dog", "", "dog"}, {"cat", "cat", ""}}},
        MatchCase{"Lookahead", R"(\w+(?=;)|x(?!y))", "ab; xy xz", {}, {{"ab"}, {"x"}}},
        MatchCase{"Backreference", R"((['"])(.*?)\1)", R"('x' "y")", {}, {{"'x'", "'", "x"}, {"\"y\"", "\"", "y"}}},
        MatchCase{"BackreferenceToUnusedGroupIsEmpty", R"((a)?\1b)", "b", {}, {{"b", ""}}},
        MatchCase{"UnknownEscapesAreLetters", R"(\A\z\h\Q)", "Azh\\Q AzhQ", {}, {{"AzhQ"}}},
        MatchCase{"UnicodeAndHexEscapes", R"(\u4E2D\x41)", "中A", {}, {{"中A"}}},
        MatchCase{"BracketInsideSet", "[[]x", "a[x", {}, {{"[x"}}},
        MatchCase{"EmptyMatchesStepByCharacter", "x*", "中文", {}, {{""}, {""}, {""}}},
        MatchCase{"EmptyMatchAfterMatch", "a*", "baa", {}, {{""}, {"aa"}, {""}}},
        MatchCase{"CaretAfterEveryLineBreakCharacter", "^", "a\r\nb", {}, {{""}, {""}, {""}}},
        MatchCase{"QuoteTokenIsDoubleQuote", "href=#引号(.+?)#引号", "<a href=\"x\">", kQuoteToken,
                  {{"href=\"x\"", "x"}}},
        MatchCase{"QuoteTokenOffIsLiteral", "href=#引号", "href=#引号 href=\"", {}, {{"href=#引号"}}},
        MatchCase{"QuoteTokenAfterChinese", "书#引号", "书\"", kQuoteToken, {{"书\""}}}),
    [](const testing::TestParamInfo<MatchCase> &info) { return std::string(info.param.name); });

TEST(RegexEngineTest, QuoteTokenScanStepsOverDoubleByteCharacters)
{
    // 0x81 is a lead byte: it takes the "#" after it as its second byte, so
    // no token starts there.
    const std::string token = G("#引号");
    RegexEngine engine;
    engine.Search("\x81" + token + token, "x", true, true, true, true);
    EXPECT_EQ(engine.PatternText(), "\x81" + token + "\"");
}

TEST(RegexEngineTest, IndexesAreOneBasedAndOutOfRangeGivesEmptyText)
{
    RegexEngine engine;
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_EQ(engine.SubMatch(1, 1), "");
    EXPECT_EQ(engine.PatternText(), "");
    EXPECT_EQ(engine.Replace("x"), "");

    ASSERT_TRUE(engine.Search("(a)(b)?", "a ab", true));
    EXPECT_EQ(engine.MatchCount(), 2);
    EXPECT_EQ(engine.SubMatchCount(), 2);
    EXPECT_EQ(engine.SubMatch(2, 1), "a");
    EXPECT_EQ(engine.SubMatch(2, 2), "b");
    EXPECT_EQ(engine.MatchText(2), "ab");
    for (const auto &[match, group] : std::vector<std::pair<int, int>>{{0, 1}, {1, 0}, {3, 1}, {1, 3}, {-1, -1}, {1, 2}})
        EXPECT_EQ(engine.SubMatch(match, group), "") << match << "," << group;
    EXPECT_EQ(engine.MatchText(0), "");
    EXPECT_EQ(engine.MatchText(3), "");
    EXPECT_EQ(engine.PatternText(), "(a)(b)?");
}

TEST(RegexEngineTest, NoMatchLeavesAnEmptyCollection)
{
    RegexEngine engine;
    ASSERT_TRUE(engine.Search("(x)(y)", "abc", true));
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_EQ(engine.SubMatchCount(), 0);
    EXPECT_EQ(engine.SubMatch(1, 1), "");
    EXPECT_EQ(engine.Replace("z"), "abc");
}

TEST(RegexEngineTest, NewSearchReplacesTheOldOne)
{
    RegexEngine engine;
    ASSERT_TRUE(engine.Search("(a)", "aaa", true));
    ASSERT_FALSE(engine.Search("(", "aaa", true));
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_EQ(engine.SubMatch(1, 1), "");
    EXPECT_EQ(engine.PatternText(), "(");
}

TEST(RegexEngineTest, CharsetTestWithDefaultOptionsIgnoresCase)
{
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(R"(<meta.+?charset=[^\w]?([-\w]+))",
                              "<HEAD><META http-equiv=\"Content-Type\" CONTENT=\"text/html; CHARSET=GBK\">"));
    EXPECT_EQ(engine.SubMatch(1, 1), "GBK");
}

struct ReplaceCase {
    const char *name;
    std::string pattern;
    std::string subject;
    bool global;
    std::string replacement;
    std::string expected;
};

class RegexReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(RegexReplaceTest, ReplacesWithTheReplacementSyntax)
{
    const ReplaceCase &c = GetParam();
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(G(c.pattern), G(c.subject), true, true, c.global));
    EXPECT_EQ(GbkToUtf8(engine.Replace(G(c.replacement))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, RegexReplaceTest,
    testing::Values(ReplaceCase{"Groups", R"((\w+)@(\w+))", "a@b c@d", true, "$2@$1", "b@a d@c"},
                    ReplaceCase{"FirstOnly", R"((\w+)@(\w+))", "a@b c@d", false, "$2@$1", "b@a c@d"},
                    ReplaceCase{"WholeBeforeAfterDollar", "b", "abc", true, "[$&|$`|$'|$$]", "a[b|a|c|$]c"},
                    ReplaceCase{"MissingGroupIsLiteral", "(a)", "a", true, "$2$0$", "$2$0$"},
                    ReplaceCase{"TwoDigitsOnlyWhenTheGroupExists", "(a)", "a", true, "$10", "a0"},
                    ReplaceCase{"UnusedGroupIsEmpty", "(x)?a", "a", true, "[$1]", "[]"},
                    ReplaceCase{"Chinese", "(.)", "中文", true, "[$1]", "[中][文]"},
                    ReplaceCase{"EmptyMatches", "x*", "ab", true, "-", "-a-b-"}),
    [](const testing::TestParamInfo<ReplaceCase> &info) { return std::string(info.param.name); });

struct BadInputCase {
    const char *name;
    std::string pattern; // code page bytes
    std::string subject; // code page bytes
    bool searched;       // what Search returns
    int matches;
};

void PrintTo(const BadInputCase &c, std::ostream *os)
{
    *os << c.name;
}

std::string Repeat(const std::string &unit, size_t count)
{
    std::string out;
    out.reserve(unit.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += unit;
    return out;
}

class RegexBadInputTest : public testing::TestWithParam<BadInputCase> {};

TEST_P(RegexBadInputTest, EndsCalmly)
{
    const BadInputCase &c = GetParam();
    RegexEngine engine;
    EXPECT_EQ(engine.Search(c.pattern, c.subject, true), c.searched);
    EXPECT_EQ(engine.MatchCount(), c.matches);
    if (!c.searched) {
        EXPECT_EQ(engine.SubMatch(1, 1), "");
    }
}

const std::string kMegabyteOfA = std::string(1 << 20, 'a') + "cb";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegexBadInputTest,
    testing::Values(
        BadInputCase{"InvalidExpression", "(a", "aaa", false, 0},
        BadInputCase{"UnbalancedParenthesis", "a)(b", "a)(b", false, 0},
        // An empty expression would match before every character.
        BadInputCase{"EmptyPattern", "", "abc", false, 0},
        BadInputCase{"TrailingBackslash", "a\\", "a\\", false, 0},
        BadInputCase{"NestedRepeatOverAMegabyte", "(a+)+b", kMegabyteOfA, false, 0},
        BadInputCase{"AlternationRepeatOverAMegabyte", "(a|aa)+$", kMegabyteOfA, false, 0},
        // Costly at each of 50,000 short runs: ends on the search's time budget.
        BadInputCase{"CostlyAtEveryRun", "(a+)+b", Repeat("aaaaaaaaaaaaaaaaa ", 50000) + "b", false, 0},
        BadInputCase{"InvalidCodePageBytesInSubject", "abc", "\x81\x20" "abc\xFF\x80", true, 1},
        // Bytes that are no character become "?", here a quantifier with nothing
        // to repeat.
        BadInputCase{"InvalidCodePageBytesInPattern", "\xFF\x80", "a", false, 0},
        BadInputCase{"Utf8BytesInSubject", "\\(", "\xC3\x28\xE4\xB8", true, 1},
        BadInputCase{"ZeroByteEndsTheSubject", "b", std::string("a\0b", 3), true, 0}),
    [](const testing::TestParamInfo<BadInputCase> &info) { return std::string(info.param.name); });

// A table of contents of 2,000 chapters in the code page, as a site serves it.
std::string TableOfContents(int chapters)
{
    std::string page = "<html><head><title>" + G("目录") + "</title></head><body><dl>\n";
    for (int i = 1; i <= chapters; ++i)
        page += "<dd><a href=\"/book/1/" + std::to_string(100000 + i) + ".html\">" +
                G("第" + std::to_string(i) + "章 风起云涌") + "</a></dd>\n";
    return page + "</dl></body></html>";
}

TEST(RegexEngineTest, ChapterLinksOfALongTableOfContentsComeInPageOrder)
{
    const int chapters = 2000;
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(G(R"(<dd><a href=#引号(/book/1/(?:\d+)\.html)#引号>(.+?)</a></dd>)"),
                              TableOfContents(chapters), true, true, true, true));
    ASSERT_EQ(engine.MatchCount(), chapters);
    for (int i = 1; i <= chapters; ++i) {
        ASSERT_EQ(engine.SubMatch(i, 1), "/book/1/" + std::to_string(100000 + i) + ".html");
        ASSERT_EQ(GbkToUtf8(engine.SubMatch(i, 2)), "第" + std::to_string(i) + "章 风起云涌");
    }
}

struct LastGroupCase {
    const char *name;
    std::string subject;
    std::string pattern;
    std::string expected;
};

class LastMatchGroupTest : public testing::TestWithParam<LastGroupCase> {};

TEST_P(LastMatchGroupTest, GivesGroupOneOfTheLastMatch)
{
    const LastGroupCase &c = GetParam();
    EXPECT_EQ(GbkToUtf8(LastMatchGroup(G(c.subject), G(c.pattern))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LastMatchGroupTest,
    testing::Values(LastGroupCase{"SecondOfTwo", "<div id=\"c\">一</div><div id=\"c\">二</div>",
                                  "<div id=#引号c#引号>(.+?)</div>", "二"},
                    LastGroupCase{"NoMatch", "abc", "(x)", ""},
                    LastGroupCase{"NoGroup", "abc", "b", ""},
                    LastGroupCase{"InvalidPattern", "abc", "(b", ""},
                    LastGroupCase{"CaseSensitive", "ABC", "(b)", ""}),
    [](const testing::TestParamInfo<LastGroupCase> &info) { return std::string(info.param.name); });

} // namespace
