#include "CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(RegexCommandTest, PrintsMatchesAsJson)
{
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
    } const cases[] = {
        {{"regex", "<a href=#引号(.+?)#引号>(.+?)</a>"},
         "<a href=\"/1.html\">第一章</a>\n<a href=\"/2.html\">第二章 \"序\"</a>",
         R"({"ok":true,"matches":[{"value":"<a href=\"/1.html\">第一章</a>","groups":["/1.html","第一章"]},)"
         R"({"value":"<a href=\"/2.html\">第二章 \"序\"</a>","groups":["/2.html","第二章 \"序\""]}]})"
         "\n"},
        {{"regex", "(a)|(b)"}, "b", R"({"ok":true,"matches":[{"value":"b","groups":["","b"]}]})" "\n"},
        {{"regex", "abc"}, "ABC", R"({"ok":true,"matches":[]})" "\n"},
        {{"regex", "--ignore-case", "abc"}, "ABC", R"({"ok":true,"matches":[{"value":"ABC","groups":[]}]})" "\n"},
        {{"regex", "--ignore-case", "é"}, "É", R"({"ok":true,"matches":[]})" "\n"},
        {{"regex", "--no-quote-token", "#引号"}, "#引号\"",
         R"({"ok":true,"matches":[{"value":"#引号","groups":[]}]})" "\n"},
        {{"regex", "^x$"}, "x\r\nx", R"({"ok":true,"matches":[{"value":"x","groups":[]},{"value":"x","groups":[]}]})" "\n"},
        {{"regex", "(a"}, "a", "{\"ok\":false}\n"},
        {{"regex", "--", "--x"}, "a--x", R"({"ok":true,"matches":[{"value":"--x","groups":[]}]})" "\n"},
    };
    for (const Case &c : cases) {
        const CliRun run = RunCliInMemory(c.args, c.input);
        EXPECT_EQ(run.code, 0) << c.args.back();
        EXPECT_EQ(run.out, c.out) << c.args.back();
    }
}

TEST(Html2TextCommandTest, PrintsThePlainText)
{
    const CliRun run = RunCliInMemory({"html2text"}, "<p>第一段&nbsp;a</p><p>b<br>c</p><script>x</script>");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "第一段 a\r\n\r\nb\r\nc");
}

TEST(RegexCommandTest, HelpAndWrongArguments)
{
    struct Case {
        std::vector<std::string> args;
        int code;
    } const cases[] = {
        {{"regex", "--help"}, 0},       {{"html2text", "--help"}, 0},     {{"regex"}, 2},
        {{"regex", "a", "b"}, 2},       {{"regex", "--bogus", "a"}, 2},   {{"html2text", "x"}, 2},
        {{"html2text", "--bogus"}, 2},
    };
    for (const Case &c : cases) {
        const CliRun run = RunCliInMemory(c.args, "");
        EXPECT_EQ(run.code, c.code) << c.args.back();
        if (c.code == 0) {
            EXPECT_NE(run.out.find("Usage: quillora-cli " + c.args.front()), std::string::npos);
        } else {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_TRUE(run.out.empty());
        }
    }
}

} // namespace
