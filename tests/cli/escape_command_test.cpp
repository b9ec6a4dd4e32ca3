#include "CliRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(EscapeCommandTest, PrintsBothForms)
{
    struct Case {
        std::vector<std::string> args;
        const char *out;
    } const cases[] = {
        {{"escape", "--form", "utf8", "中"}, "%E4%B8%AD\n"},
        {{"escape", "--form", "usc2", "中"}, "%u4E2D\n"},
        {{"escape", "--form=usc2", "it's"}, "it%u2019s\n"},
        {{"escape", "--form", "utf8", "abc"}, "%61%62%63\n"},
        {{"escape", "--form", "usc2", ""}, "\n"},
        // A keyword whose literal would not compile gives an empty line.
        {{"escape", "--form", "usc2", "a\\"}, "\n"},
    };
    for (const Case &c : cases) {
        const CliRun run = RunCliInMemory(c.args);
        EXPECT_EQ(run.code, ExitOk) << c.args.back();
        EXPECT_EQ(run.out, c.out) << c.args.back();
        EXPECT_EQ(run.err, "");
    }
}

TEST(EscapeCommandTest, WrongArgumentsExitWithOneLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"escape", "abc"},
        {"escape", "--form", "ucs2", "abc"},
        {"escape", "--form", "utf8"},
        {"escape", "--form", "utf8", "a", "b"},
        {"escape", "--bogus", "abc"},
        {"escape", "abc", "--form"},
    };
    for (const auto &args : cases) {
        const CliRun run = RunCliInMemory(args);
        EXPECT_EQ(run.code, ExitUsage);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

TEST(EscapeCommandTest, Help)
{
    const CliRun run = RunCliInMemory({"escape", "--help"});
    EXPECT_EQ(run.code, ExitOk);
    EXPECT_NE(run.out.find("--form utf8|usc2"), std::string::npos);
}

} // namespace
