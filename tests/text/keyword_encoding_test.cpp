#include "text/CodePage.h"
#include "text/KeywordEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// Keywords are written in UTF-8 here and handed over in the code page, as
// the search box gives them.
std::string Gbk(const std::string &utf8) { return Utf8ToGbk(utf8); }

// The two forms exactly as the search appends them.
std::string Utf8Form(const std::string &gbk) { return EncodeKeywordUtf8(GbkToUtf8(gbk)); }
std::string EscapeForm(const std::string &gbk) { return EncodeKeywordEscape(gbk); }

TEST(KeywordEncodingTest, WorkedExamples)
{
    struct Case {
        std::string keyword; // UTF-8
        const char *utf8Form;
        const char *escapeForm;
    } const cases[] = {
        {"abc", "%61%62%63", "abc"},
        {"中", "%E4%B8%AD", "%u4E2D"},
        {" ", "%20", "%20"},
        {"'", "%27", "%u2019"},
        {"", "", ""},
        {"\t", "%09", "%09"},
        {"a-b.9", "%61%2D%62%2E%39", "a-b.9"},
        {"@*_+-./", "%40%2A%5F%2B%2D%2E%2F", "@*_+-./"},
        {"é", "%C3%A9", "%E9"},
        {"斗破 苍穹", "%E6%96%97%E7%A0%B4%20%E8%8B%8D%E7%A9%B9", "%u6597%u7834%20%u82CD%u7A79"},
        // Outside GBK, still in the code page: two UTF-16 units for escape().
        {"\xF0\xA0\x80\x80", "%F0%A0%80%80", "%uD840%uDC00"},
    };
    for (const Case &c : cases) {
        const std::string gbk = Gbk(c.keyword);
        EXPECT_EQ(Utf8Form(gbk), c.utf8Form) << c.keyword;
        EXPECT_EQ(EncodeKeywordUtf8(gbk, false, true), c.utf8Form) << c.keyword;
        EXPECT_EQ(EscapeForm(gbk), c.escapeForm) << c.keyword;
    }
}

TEST(KeywordEncodingTest, Utf8FormSwitches)
{
    EXPECT_EQ(EncodeKeywordUtf8("a-Z.9/_~", true), "a-Z.9%2F%5F%7E");
    EXPECT_EQ(EncodeKeywordUtf8(Gbk("中"), true, true), "%E4%B8%AD");
    // Without the conversion the code-page bytes themselves are escaped.
    EXPECT_EQ(EncodeKeywordUtf8(Gbk("中")), "%D6%D0");
    EXPECT_EQ(EncodeKeywordUtf8("a\0b"s), "%61");
}

// How the script's string literal reads backslash sequences in the keyword,
// and which keywords make the literal fail to compile (empty result).
TEST(KeywordEncodingTest, LiteralReading)
{
    struct Case {
        std::string keyword; // UTF-8
        const char *escapeForm;
    } const cases[] = {
        {"\\n", "%0A"},
        {"\\b\\f\\r\\t", "%08%0C%0D%09"},
        {"\\\\", "%5C"},
        {"a\\\\\\\\", "a%5C%5C"},
        {"\\\"", "%22"},
        {"\\q\\8\\9", "q89"},
        {"\\v", "%0B"},
        {"\\x41\\x4e", "AN"},
        {"\\u4e2d", "%u4E2D"},
        {"\\ud840\\udc00", "%uD840%uDC00"},
        // Legacy octal: up to three digits from 0-3, two from 4-7.
        {"\\0", "%00"},
        {"\\012", "%0A"},
        {"\\08", "%008"},
        {"\\101", "A"},
        {"\\1011", "A1"},
        {"\\400", "%200"},
        {"\\777", "%3F7"},
        // The apostrophe has become "’" before the literal is read.
        {"\\'", "%u2019"},
        {"it's", "it%u2019s"},
        // Literals that would not compile.
        {"a\\", ""},
        {"a\\\\\\", ""},
        {"\\x4", ""},
        {"\\x4G", ""},
        {"\\u4e2", ""},
        {"\\uZZZZ", ""},
        {"a\nb", ""},
        {"a\rb", ""},
        {"a\\\nb", ""},
        {"a\u2028b", ""},
        {"a\u2029b", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EscapeForm(Gbk(c.keyword)), c.escapeForm) << c.keyword;
}

TEST(KeywordEncodingTest, EscapeFormEdgeBytes)
{
    EXPECT_EQ(EncodeKeywordEscape("a\0b"s), "a");
    EXPECT_EQ(EncodeKeywordEscape("a\xFF"), "a%3F");
    // A double-byte character whose second byte is a backslash is no escape.
    EXPECT_EQ(EncodeKeywordEscape("\x81\x5C"), "%u4E57");
    EXPECT_EQ(EncodeKeywordEscape("\x81\x5Cn"), "%u4E57n");
}

TEST(KeywordEncodingTest, EscapeFormSwitches)
{
    struct Case {
        std::string keyword; // UTF-8
        bool keepBrackets;
        bool keepPunctuation;
        std::string prefix; // UTF-8
        const char *expected;
    } const cases[] = {
        {"{}[]()", false, false, "", "%7B%7D%5B%5D%28%29"},
        {"{}[]()", true, false, "", "{}[]()"},
        {":,\"", false, false, "", "%3A%2C%22"},
        {":,\"", false, true, "", ":,\""},
        {"(a:b)", true, true, "", "(a:b)"},
        {"中", false, false, "\\u", "\\u4E2D"},
        {"中", false, false, "%u", "%u4E2D"},
        {"中", false, false, "   ", "%u4E2D"},
        {"中", false, false, "　", "%u4E2D"},
        {"中", false, false, " &#x", " &#x4E2D"},
        // The final replacement turns a "’" of the prefix into an apostrophe.
        {"中", false, false, "’x", "'x4E2D"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EncodeKeywordEscape(Gbk(c.keyword), c.keepBrackets, c.keepPunctuation, Gbk(c.prefix)), c.expected)
            << c.keyword << " / " << c.prefix;
}

} // namespace
