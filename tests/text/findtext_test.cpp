#include "text/CodePage.h"
#include "text/FindText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace std::string_literals;

struct FindCase {
    std::string text;
    std::string subtext;
    int start;
    bool caseInsensitive;
    int expected;
};

TEST(FindTextTest, Cases)
{
    const std::string zhongWen = Utf8ToGbk("中文"); // D6 D0 CE C4
    const FindCase cases[] = {
        {"abc", "c", 1, false, 3},
        {"abc", "d", 1, false, -1},
        {"", "a", 1, false, -1},
        {"abc", "", 1, false, -1},
        {"http://", "HTTP", 1, false, -1},
        {"http://", "HTTP", 1, true, 1},
        {"HTTP://", "http", 1, true, 1},
        {"abab", "ab", 1, false, 1},
        // Start positions: 0 counts as 1; past the end and negative find nothing.
        {"abab", "ab", 0, false, 1},
        {"abab", "ab", 2, false, 3},
        {"abab", "ab", 3, false, 3},
        {"abab", "ab", 4, false, -1},
        {"abab", "b", 4, false, 4},
        {"abab", "b", 5, false, -1},
        {"abab", "ab", 100, false, -1},
        {"abab", "ab", INT_MAX, false, -1},
        {"abab", "ab", -1, false, -1},
        {"abab", "ab", INT_MIN, false, -1},
        {"abc", "abcd", 1, false, -1},
        // Bytes, not characters: a match may straddle two double-byte characters.
        {zhongWen, "\xD0\xCE", 1, false, 2},
        {zhongWen, Utf8ToGbk("文"), 1, false, 3},
        // Folding is byte by byte: the trail byte 0x41 ("A") of 丄 (81 41) folds too.
        {"\x81\x41", "\x81\x61", 1, true, 1},
        {"\x81\x41", "\x81\x61", 1, false, -1},
        // Both texts end at their first zero byte.
        {"a\0b"s, "b", 1, false, -1},
        {"ab", "b\0c"s, 1, false, 2},
        {"\0ab"s, "a", 1, false, -1},
        {"ab", "\0b"s, 1, false, -1},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(FindText(c.text, c.subtext, c.start, c.caseInsensitive), c.expected)
            << c.text << " / " << c.subtext << " / " << c.start;
}

TEST(FindTextTest, DefaultsSearchFromFirstByteExactly)
{
    EXPECT_EQ(FindText("http://x", "http"), 1);
    EXPECT_EQ(FindText("a/HTTP", "http"), -1);
}

} // namespace
