#include "fetch/CookieUtils.h"
#include "fetch/HeaderUtils.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

struct TextCase {
    const char *input;
    const char *expected;
};

TEST(HeaderUtilsTest, NormalizeHeaderNames)
{
    const TextCase cases[] = {
        {"user-agent: a\r\nx-requested-with: b\r\nno colon here\r\n", "User-Agent: a\r\nX-Requested-With: b"},
        {"cONTENT-tYPE: text/html", "CONTENT-TYPE: text/html"},
        {"x-FOO: bar\r\n", "X-FOO: bar"},
        {"content-type: text/html; charset=gbk", "Content-Type: text/html; charset=gbk"},
        {"host:  x:y-z\r\n\r\naccept: */*", "Host:  x:y-z\r\nAccept: */*"},
        {"-x-: v", "-X-: v"},
        {"no colon\r\n", ""},
        {"", ""},
        // A lone line feed does not end a line.
        {"a: 1\nb: 2", "A: 1\nb: 2"},
    };
    for (const TextCase &c : cases)
        EXPECT_EQ(NormalizeHeaderNames(c.input), c.expected) << c.input;
}

TEST(HeaderUtilsTest, CapitalizeFirst)
{
    const std::string zhong = Utf8ToGbk("中a");
    const TextCase cases[] = {
        {"abc", "Abc"}, {"Abc", "Abc"}, {"1ab", "1ab"}, {"", ""}, {"z", "Z"}, {zhong.c_str(), zhong.c_str()},
    };
    for (const TextCase &c : cases)
        EXPECT_EQ(CapitalizeFirst(c.input), c.expected) << c.input;
}

TEST(HeaderUtilsTest, HeaderValue)
{
    struct Case {
        const char *headers;
        const char *name;
        const char *expected;
    } const cases[] = {
        {"Connection: keep-alive", "Connection", "keep-alive"},
        {"connection: keep-alive", "Connection", ""},
        {"Connection:keep-alive", "Connection", ""},
        {"Host: a\r\nConnection: close\r\n", "Connection", "close"},
        // The first line that begins with the name decides, value or not.
        {"Connection-Extra: 1\r\nConnection: close", "Connection", ""},
        {"Host: a", "Connection", ""},
        {"", "Connection", ""},
        {"Host: a", "", "a"},
        {"Host: a\r\nX: b", "", "a"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HeaderValue(c.headers, c.name), c.expected) << c.headers << " / " << c.name;
}

struct MarkerCase {
    std::string text;
    std::string marker;
    int startPos;
    bool caseInsensitive;
    std::string before;
    std::string after;
};

TEST(HeaderUtilsTest, TextBeforeAndAfter)
{
    const std::string zhongWen = Utf8ToGbk("中文"); // D6 D0 CE C4
    const std::string gbkAt = "\x81\x40@x";          // a double-byte character whose trail byte is "@"
    const MarkerCase cases[] = {
        {"a: b: c", ": ", 0, false, "a", "c"},
        {"a: b: c", "; ", 0, false, "", ""},
        {"a: b: c", "", 0, false, "", ""},
        {"", ": ", 0, false, "", ""},
        // Forward from byte 3 / the last occurrence within the first 7 - 3 bytes.
        {"a: b: c", ": ", 3, false, "a: b", "b: c"},
        {"a: b: c", ": ", 1, false, "a", "c"},
        // -1: the whole text / forward from byte 1.
        {"a: b: c", ": ", -1, false, "a: b", "b: c"},
        // -2: within the first 5 bytes / forward from byte 2.
        {"a: b: c", ": ", -2, false, "a", "b: c"},
        {"a: b: c", ": ", -3, false, "a", "c"},
        {"a: b: c", ": ", -6, false, "", ""},
        {"abc", "c", 10, false, "", ""},
        {"abc", "c", -10, false, "", ""},
        {"abc", "c", INT_MIN, false, "", ""},
        {"abc", "c", INT_MAX, false, "", ""},
        {"abcXYZdef", "xyz", 0, true, "abc", "def"},
        {"abcXYZdef", "xyz", 0, false, "", ""},
        // Never a match that starts at the second byte of a character.
        {zhongWen, "\xD0\xCE", 0, false, "", ""},
        {gbkAt, "@", 0, false, "\x81\x40", "x"},
        {zhongWen + ":" + zhongWen, ":", 0, false, zhongWen, zhongWen},
    };
    for (const MarkerCase &c : cases) {
        EXPECT_EQ(TextBefore(c.text, c.marker, c.startPos, c.caseInsensitive), c.before)
            << c.text << " / " << c.marker << " / " << c.startPos;
        EXPECT_EQ(TextAfter(c.text, c.marker, c.startPos, c.caseInsensitive), c.after)
            << c.text << " / " << c.marker << " / " << c.startPos;
    }
}

TEST(HeaderUtilsTest, TextBetween)
{
    const std::string quote = Utf8ToGbk("#引号");
    struct Case {
        std::string text;
        std::string left;
        std::string right;
        int startPos;
        bool caseInsensitive;
        std::string expected;
    } const cases[] = {
        {"Set-Cookie: sid=1; path=/", "Set-Cookie:", ";", 0, false, " sid=1"},
        {"<a href=\"x.html\">", "href=" + quote, quote, 0, false, "x.html"},
        {"<a href=\"x.html\">", quote + "x" + quote + quote, ">", 0, false, ""},
        {"ab", "a", "b", 0, false, ""},
        {"b a", "a", "b", 0, false, ""},
        {"abc", "x", "c", 0, false, ""},
        {"abc", "a", "x", 0, false, ""},
        {"x=1; x=2;", "x=", ";", 4, false, "2"},
        {"x=1; x=2;", "x=", ";", -5, false, "1"},
        {"x=1;", "x=", ";", 50, false, ""},
        {"SET-COOKIE: a;", "set-cookie:", ";", 0, true, " a"},
        {"SET-COOKIE: a;", "set-cookie:", ";", 0, false, ""},
        {"", "a", "b", 0, false, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.startPos, c.caseInsensitive), c.expected)
            << c.text << " / " << c.left << " / " << c.right;
}

TEST(CookieUtilsTest, MergeCookies)
{
    const std::string fullWidthSpace = "\xA1\xA1";
    struct Case {
        std::string oldCookies;
        std::string newCookies;
        std::string merged;
        std::string newAfter;
    } const cases[] = {
        {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3; c=4"},
        {"a=1; b=2;", "b=deleted", "a=1", "b=deleted"},
        {"a=1", "", "a=1", ""},
        {"A=1", "a=2", "a=2; A=1", "a=2"},
        {"", "x=1; x=1", "x=1", "x=1; x=1"},
        {"", "x=1; x=2", "x=1; x=2", "x=1; x=2"},
        {"  a=1 ", " b=2; ", "b=2; a=1", "b=2; "},
        {fullWidthSpace + "a=1" + fullWidthSpace, "", "a=1", ""},
        // Of several old items with one name only the first survives.
        {"a=1; a=9", "", "a=1", ""},
        {"a=deleted; b=1", "", "b=1", ""},
        {" a =1", "a=2", "a=2", "a=2"},
        {"", "", "", ""},
    };
    for (const Case &c : cases) {
        std::string oldCookies = c.oldCookies;
        std::string newCookies = c.newCookies;
        EXPECT_EQ(MergeCookies(oldCookies, newCookies), c.merged) << c.oldCookies << " + " << c.newCookies;
        EXPECT_EQ(oldCookies, c.merged);
        EXPECT_EQ(newCookies, c.newAfter);
    }
}

TEST(CookieUtilsTest, CookieNameAndHasCookieNamed)
{
    const TextCase names[] = {{" a =1", "a"}, {"flag", "flag"}, {" flag ", "flag"}, {"=x", ""}, {"a=b=c", "a"}, {"", ""}};
    for (const TextCase &c : names)
        EXPECT_EQ(CookieName(c.input), c.expected) << c.input;

    const std::vector<std::string> items = {"x=1", " a=1", "flag"};
    EXPECT_TRUE(HasCookieNamed(items, "a"));
    EXPECT_TRUE(HasCookieNamed(items, "flag"));
    EXPECT_FALSE(HasCookieNamed(items, "A"));
    EXPECT_FALSE(HasCookieNamed(items, "x=1"));
    EXPECT_FALSE(HasCookieNamed({}, "a"));
}

TEST(CookieUtilsTest, RemoveDuplicateItems)
{
    struct Case {
        const char *text;
        const char *separator;
        const char *expected;
    } const cases[] = {
        {"a; b; a", "; ", "a; b"},
        {"a; b; a; ", "; ", "a; b"},
        {"b; a; b; a", "; ", "b; a"},
        {"a,,a,", ",", "a,"},
        {"a=1; A=1", "; ", "a=1; A=1"},
        {"", "; ", ""},
        {"abc", "", "abc"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RemoveDuplicateItems(c.text, c.separator), c.expected) << c.text;
}

TEST(CookieUtilsTest, FindItem)
{
    const std::vector<std::string> items = {"a", "b", "a"};
    EXPECT_EQ(FindItem({}, "a"), -1);
    EXPECT_EQ(FindItem(items, "a"), 1);
    EXPECT_EQ(FindItem(items, "b"), 2);
    EXPECT_EQ(FindItem(items, "A"), -1);
    EXPECT_EQ(FindItem(items, ""), -1);
}

} // namespace
