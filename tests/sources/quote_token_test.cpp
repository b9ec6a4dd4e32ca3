#include "sources/QuoteToken.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string G(const char *utf8)
{
    return Utf8ToGbk(utf8);
}

struct TokenCase {
    const char *label;
    std::string typed;  // as the user typed it (code page)
    std::string stored; // as the store keeps it
};

class QuoteTokenRoundTrip : public ::testing::TestWithParam<TokenCase> {};

TEST_P(QuoteTokenRoundTrip, EscapesAndComesBack)
{
    const TokenCase &c = GetParam();
    EXPECT_EQ(EscapeQuotes(c.typed), c.stored);
    EXPECT_EQ(UnescapeQuotes(c.stored), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QuoteTokenRoundTrip,
    ::testing::Values(TokenCase{"none", "abc", "abc"}, TokenCase{"empty", "", ""},
                      TokenCase{"one", "href='(.*?)'", G("href=Torva替换(.*?)Torva替换")},
                      TokenCase{"adjacent", "''", G("Torva替换Torva替换")},
                      TokenCase{"chinese", G("书'名"), G("书Torva替换名")}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(QuoteToken, UnescapeIgnoresTheLetterCaseOfTheToken)
{
    EXPECT_EQ(UnescapeQuotes(G("a tORVA替换 b TORVA替换")), "a ' b '");
}

TEST(QuoteToken, TypedTokenComesBackAsApostrophe)
{
    // A user who typed the token itself gets an apostrophe on choosing.
    EXPECT_EQ(UnescapeQuotes(EscapeQuotes(G("x Torva替换 y"))), "x ' y");
}

TEST(QuoteToken, NoMatchStartsOnTheSecondByteOfACharacter)
{
    // 0x81 0x54 is one two-byte character whose second byte is 'T'.
    const std::string text = std::string("\x81\x54", 2) + G("orva替换");
    EXPECT_EQ(UnescapeQuotes(text), text);
    // Same bytes after an ASCII byte: now the token starts on a boundary.
    EXPECT_EQ(UnescapeQuotes("x" + G("Torva替换")), "x'");
}

TEST(QuoteToken, OnlyTheSevenExpressionsAreEscaped)
{
    ActiveSource source{"a'b", "1'", "2'", "3'", "4'", "5'", "6'", "7'"};
    const ActiveSource escaped = EscapeExpressions(source);
    EXPECT_EQ(escaped.name, "a'b");
    EXPECT_EQ(escaped.chapterContent, G("7Torva替换"));
    EXPECT_EQ(UnescapeExpressions(escaped), source);
}

TEST(ReplaceEach, OptionsAndPairs)
{
    EXPECT_EQ(ReplaceEach("aAaA", {{"a", "b"}}), "bbbb");
    EXPECT_EQ(ReplaceEach("aAaA", {{"a", "b"}}, {.caseSensitive = true}), "bAbA");
    EXPECT_EQ(ReplaceEach("aaaa", {{"a", "b"}}, {.start = 3}), "aabb");
    EXPECT_EQ(ReplaceEach("aaaa", {{"a", "b"}}, {.count = 1}), "baaa");
    EXPECT_EQ(ReplaceEach("abc", {{"", "x"}}), "abc");
    EXPECT_EQ(ReplaceEach("abc", {{"a", "b"}, {"b", "c"}}), "ccc");
}

} // namespace
