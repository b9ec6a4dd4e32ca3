#include "text/GbkText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

TEST(GbkTextTest, CharLength)
{
    struct Case {
        std::string text;
        size_t pos;
        size_t expected;
    } const cases[] = {
        {"a", 0, 1},
        {"\xD6\xD0", 0, 2},
        {"\x95\x32\x82\x36", 0, 4},
        {"\xD6", 0, 1},          // lead byte at the end
        {"\xD6\"", 0, 1},        // a stray lead byte does not swallow the quote
        {"\x95\x32\x82", 0, 1},  // truncated four-byte form
        {"\x81\x7F", 0, 1},      // 7F is no trail byte
        {"a\xD6\xD0", 1, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GbkCharLength(c.text, c.pos), c.expected) << c.text;
}

TEST(GbkTextTest, FindRespectsCharacterBoundaries)
{
    const std::string text = "\xD6\xD0\xCE\xC4\xD0\xCE"; // 中文 then D0 CE as its own pair
    EXPECT_EQ(FindGbk(text, "\xD0\xCE"), 4u);
    EXPECT_EQ(FindLastGbk(text, "\xD0\xCE", text.size()), 4u);
    EXPECT_EQ(FindLastGbk(text, "\xD0\xCE", 5), std::string::npos);
    EXPECT_EQ(FindGbk("aXb", "x", 0, true), 1u);
    EXPECT_EQ(FindGbk("abc", ""), std::string::npos);
    EXPECT_EQ(FindGbk("abc", "c", 5), std::string::npos);
}

TEST(GbkTextTest, Split)
{
    struct Case {
        std::string text;
        std::string separator;
        std::vector<std::string> expected;
    } const cases[] = {
        {"a; b", "; ", {"a", "b"}},
        {"a; ; b", "; ", {"a", "", "b"}},
        {"a; b; ", "; ", {"a", "b"}},
        {"; a", "; ", {"", "a"}},
        {"", "; ", {}},
        {"; ", "; ", {""}},
        {"aaa", "aa", {"", "a"}},
        {"abc", "", {"abc"}},
        {"\xD6\xD0\xCE\xC4", "\xD0\xCE", {"\xD6\xD0\xCE\xC4"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SplitGbk(c.text, c.separator), c.expected) << c.text;
}

TEST(GbkTextTest, TrimAndReplace)
{
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\xA1\xA1 a\xA1\xA1"), "a");
    EXPECT_EQ(TrimBlanks("\tA\r\n"), "\tA\r\n");
    EXPECT_EQ(TrimBlanks("   "), "");
    // B0 A1 is one character: its trail byte and the next byte are no full-width space.
    EXPECT_EQ(TrimBlanks("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
    EXPECT_EQ(ReplaceAllGbk("a#b#", "#", "\""), "a\"b\"");
    EXPECT_EQ(ReplaceAllGbk("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAllGbk("abc", "", "x"), "abc");
}

} // namespace
