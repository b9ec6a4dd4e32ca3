#include "CliRun.h"

#include "support/LocalServer.h"
#include "support/RawServer.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

CliRun RunFetch(std::vector<std::string> args)
{
    args.insert(args.begin(), "fetch");
    return RunCliInMemory(args);
}

class FetchCommandTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_server.Serve("/gbk", Utf8ToGbk("<p>第一章</p>"));
        m_server.Serve("/utf8", "<p>第一章</p>");
        m_server.Serve("/pic", std::string("\x89PNG\0!", 6), "image/png");
        ASSERT_TRUE(m_server.Start());
    }
    std::string Url(const std::string &path) const { return m_server.Url(path); }

    LocalServer m_server;
};

TEST_F(FetchCommandTest, PrintsThePageAsUtf8WithEachEngine)
{
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{Url("/gbk")}, "<p>第一章</p>"},
        {{"--engine", "winhttp", "--raw", Url("/gbk")}, Utf8ToGbk("<p>第一章</p>")},
        {{"--engine", "page", Url("/utf8")}, "<p>第一章</p>"},
        {{"--engine", "page", "--mode", "3", "--transcode", "gbk", Url("/utf8")}, "<p>第一章</p>"},
        {{"--engine", "page", "--transcode", "none", Url("/gbk")}, "<p>第一章</p>"},
        {{"--engine", "page", "--mode=1", "--raw", Url("/utf8")},
         "<p>第一章</p>" + std::string(1000 - std::string("<p>第一章</p>").size(), ' ')},
        {{"--engine", "wininet", Url("/pic")}, std::string("\x89PNG\0!", 6)},
    };
    for (const auto &c : cases) {
        const CliRun run = RunFetch(c.args);
        EXPECT_EQ(run.code, 0) << c.args[0] << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[0];
    }
}

TEST_F(FetchCommandTest, VerboseShowsStatusAndHeaders)
{
    const CliRun run = RunFetch({"--verbose", Url("/gbk")});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.err.find("status: 200 OK\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("HTTP/1.1 200 OK\r\n"), std::string::npos) << run.err;
}

TEST(FetchCommandFailureTest, AFailureExitsOneWithItsMessage)
{
    const std::string refused = "http://127.0.0.1:" + std::to_string(RawServer::UnusedPort()) + "/";
    CliRun run = RunFetch({refused});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "fetch: 703 创建WinHttp连接失败!\n");
    run = RunFetch({"not an address"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "fetch: 701 解析URL地址失败!\n");
    for (const char *engine : {"page", "wininet"}) {
        run = RunFetch({"--engine", engine, refused});
        EXPECT_EQ(run.code, 1) << engine;
        EXPECT_EQ(run.err, "fetch: nothing was fetched\n") << engine;
    }
}

TEST(FetchCommandFailureTest, WrongArgumentsExitTwoWithOneLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"http://a/", "http://b/"},
        {"--engine", "curl", "http://a/"},
        {"--engine", "page", "--mode", "4", "http://a/"},
        {"--engine", "page", "--transcode", "latin1", "http://a/"},
        {"--mode", "1", "http://a/"},
        {"--unknown", "http://a/"},
        {"--engine"},
    };
    for (const auto &args : cases) {
        const CliRun run = RunFetch(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliRun help = RunFetch({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: quillora-cli fetch"), std::string::npos);
}

} // namespace
