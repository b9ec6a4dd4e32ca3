#include "app/AppState.h"
#include "fetch/XmlHttpFetcher.h"
#include "support/LocalServer.h"
#include "support/RawServer.h"
#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

constexpr char kGzipPage[] = "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xb3\xc9\x28\xc9\xcd\xb1\x4b\xce\xcf\x2d\x28"
                             "\x4a\x2d\x2e\x4e\x4d\x51\x28\x48\x4c\x4f\xb5\xd1\x07\x8b\x02\x00\xfd\x11\x4f\x78\x1c"
                             "\x00\x00\x00";
constexpr char kDeflatePage[] = "\x78\x9c\xb3\xc9\x28\xc9\xcd\xb1\x4b\xce\xcf\x2d\x28\x4a\x2d\x2e\x4e\x4d\x51\x28"
                                "\x48\x4c\x4f\xb5\xd1\x07\x8b\x02\x00\x9b\x48\x0a\x80";
constexpr char kPlainPage[] = "<html>compressed page</html>";

// The "?" and number appended to every request: the number is 1 to 10,000
// without leading zeros.
void ExpectRandomSuffix(const std::string &target, const std::string &prefix)
{
    ASSERT_EQ(target.compare(0, prefix.size(), prefix), 0) << target;
    const std::string number = target.substr(prefix.size());
    ASSERT_FALSE(number.empty());
    EXPECT_NE(number[0], '0') << target;
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << target;
    const long value = std::strtol(number.c_str(), nullptr, 10);
    EXPECT_GE(value, 1);
    EXPECT_LE(value, 10000);
}

struct ModeCase {
    FetchMode mode;
    const char *version;
    const char *agent;  // nullptr: the page address
    const char *accept; // nullptr: not looked at
    bool browserHeaders;
};

class XmlHttpModeTest : public ::testing::TestWithParam<ModeCase>
{
};

TEST_P(XmlHttpModeTest, SendsTheClientsRequestAndReturnsTheBody)
{
    const ModeCase &c = GetParam();
    // cpp-httplib refuses a second "?" in a query, so a raw server answers.
    RawServer server([](const ReceivedRequest &, RawConnection &peer) {
        peer.Send(RawServer::Response("HTTP/1.1 200 OK", "<p>found</p>"));
    });
    ASSERT_TRUE(server.Started());
    const std::string address = server.Url("/search?kw=abc");

    // One read fills a buffer of 1,000 blanks; the others return the body.
    const std::string body = "<p>found</p>";
    const std::string expected = c.mode == FetchMode::SingleRead ? body + std::string(1000 - body.size(), ' ') : body;
    EXPECT_EQ(XmlHttpFetcher(c.mode).Fetch(address, Transcoding::Default), expected);

    ASSERT_EQ(server.Requests().size(), 1u);
    const ReceivedRequest request = server.Requests()[0];
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.version, c.version);
    // The suffix follows the caller's query directly, also after a "?".
    ExpectRandomSuffix(request.target, "/search?kw=abc?");
    EXPECT_EQ(request.Header("User-Agent"), c.agent ? std::string(c.agent) : address);
    if (c.accept) {
        EXPECT_EQ(request.Header("Accept"), c.accept);
    }
    if (c.browserHeaders) {
        EXPECT_NE(request.Header("Accept-Language").find("zh-CN"), std::string::npos);
        EXPECT_NE(request.Header("Accept-Encoding").find("gzip"), std::string::npos);
        EXPECT_NE(request.Header("Accept-Encoding").find("deflate"), std::string::npos);
    } else {
        EXPECT_EQ(request.HeaderCount("Accept-Encoding"), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, XmlHttpModeTest,
    ::testing::Values(ModeCase{FetchMode::SingleRead, "HTTP/1.1", nullptr, nullptr, false},
                      ModeCase{FetchMode::Http10, "HTTP/1.0", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
                               "*/*", false},
                      ModeCase{FetchMode::Browser, "HTTP/1.1",
                               "Mozilla/5.0 (Windows NT 10.0; Win64; x64; Trident/7.0; rv:11.0) like Gecko", "*/*",
                               true}));

TEST(XmlHttpFetcherTest, EveryModeCutsAtTheFirstZeroByteAndTakesErrorPages)
{
    LocalServer server;
    server.Serve("/zero", std::string("abc\0def", 7));
    server.Route("GET", "/missing", [](const httplib::Request &, httplib::Response &response) {
        response.status = 404;
        response.set_content("not here", "text/html");
    });
    ASSERT_TRUE(server.Start());
    for (FetchMode mode : {FetchMode::Http10, FetchMode::Browser}) {
        XmlHttpFetcher fetcher(mode);
        EXPECT_EQ(fetcher.FetchRaw(server.Url("/zero")), "abc");
        EXPECT_EQ(fetcher.FetchRaw(server.Url("/missing")), "not here");
    }
    XmlHttpFetcher singleRead(FetchMode::SingleRead);
    EXPECT_EQ(singleRead.FetchRaw(server.Url("/zero")), "abc");
    EXPECT_EQ(singleRead.FetchRaw(server.Url("/missing")), "not here" + std::string(992, ' '));
}

TEST(XmlHttpFetcherTest, SingleReadYieldsAtMostAThousandBytesPaddedWithBlanks)
{
    std::string longPage;
    for (int i = 0; longPage.size() < 30000; ++i)
        longPage += std::to_string(i) + ",";
    LocalServer server;
    server.Serve("/long", longPage);
    server.Serve("/short", std::string(200, 'x'));
    ASSERT_TRUE(server.Start());
    XmlHttpFetcher fetcher(FetchMode::SingleRead);
    EXPECT_EQ(fetcher.FetchRaw(server.Url("/long")), longPage.substr(0, 1000));
    EXPECT_EQ(fetcher.FetchRaw(server.Url("/short")), std::string(200, 'x') + std::string(800, ' '));
}

TEST(XmlHttpFetcherTest, AFailedFetchIsEmptyTextInEveryMode)
{
    const std::string refused = "http://127.0.0.1:" + std::to_string(RawServer::UnusedPort()) + "/page";
    for (FetchMode mode : {FetchMode::SingleRead, FetchMode::Http10, FetchMode::Browser}) {
        XmlHttpFetcher fetcher(mode);
        EXPECT_EQ(fetcher.FetchRaw(refused), "") << static_cast<int>(mode);
        EXPECT_EQ(fetcher.FetchRaw("http://nowhere.invalid/page"), "") << static_cast<int>(mode);
        EXPECT_EQ(fetcher.FetchRaw(""), "") << static_cast<int>(mode);
    }
}

TEST(XmlHttpFetcherTest, EveryModeSendsTheCookiesThatARedirectSets)
{
    RawServer server([](const ReceivedRequest &request, RawConnection &peer) {
        if (request.target.rfind("/login", 0) == 0)
            peer.Send(RawServer::Response("HTTP/1.1 302 Found", "", {"Location: /home", "Set-Cookie: sid=42; path=/"}));
        else
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", "cookie=" + request.Header("Cookie")));
    });
    ASSERT_TRUE(server.Started());
    for (FetchMode mode : {FetchMode::SingleRead, FetchMode::Http10, FetchMode::Browser}) {
        const std::string page = XmlHttpFetcher(mode).FetchRaw(server.Url("/login"));
        EXPECT_EQ(page.substr(0, page.find(' ')), "cookie=sid=42") << static_cast<int>(mode);
    }
}

TEST(XmlHttpFetcherTest, BrowserModeDecodesCompressedBodiesAndKeepsRedirectCookies)
{
    RawServer server([](const ReceivedRequest &request, RawConnection &peer) {
        if (request.target.rfind("/gzip", 0) == 0)
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", std::string(kGzipPage, sizeof kGzipPage - 1),
                                          {"Content-Encoding: gzip"}));
        else if (request.target.rfind("/deflate", 0) == 0)
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", std::string(kDeflatePage, sizeof kDeflatePage - 1),
                                          {"Content-Encoding: deflate"}));
        else if (request.target.rfind("/login", 0) == 0)
            peer.Send(RawServer::Response("HTTP/1.1 302 Found", "", {"Location: /home", "Set-Cookie: sid=42; path=/"}));
        else
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", "cookie=" + request.Header("Cookie")));
    });
    ASSERT_TRUE(server.Started());
    XmlHttpFetcher browser(FetchMode::Browser);
    EXPECT_EQ(browser.FetchRaw(server.Url("/gzip")), kPlainPage);
    EXPECT_EQ(browser.FetchRaw(server.Url("/deflate")), kPlainPage);
    EXPECT_EQ(browser.FetchRaw(server.Url("/login")), "cookie=sid=42");
}

TEST(XmlHttpFetcherTest, TranscodingsTurnTheBytesAsChosen)
{
    const std::string utf8 = "<p>小说</p>";
    const std::string gbk = Utf8ToGbk(utf8);
    LocalServer server;
    server.Serve("/utf8", utf8);
    server.Serve("/gbk", gbk);
    ASSERT_TRUE(server.Start());
    XmlHttpFetcher fetcher(FetchMode::Http10);

    AppState state;
    state.pageAddress = server.Url("/utf8");
    fetcher.FetchGbk(state);
    EXPECT_EQ(state.pageText, gbk);
    fetcher.FetchDefault(state);
    EXPECT_EQ(state.pageText, utf8);
    state.pageAddress = server.Url("/gbk");
    fetcher.FetchUtf8(state);
    EXPECT_EQ(state.pageText, utf8);

    // A failed fetch replaces the text too.
    state.pageAddress = "http://nowhere.invalid/";
    fetcher.FetchGbk(state);
    EXPECT_EQ(state.pageText, "");
}

TEST(XmlHttpFetcherTest, TheFirstCheckedButtonWins)
{
    EXPECT_EQ(FetchModeFromButtons(true, true, true), FetchMode::SingleRead);
    EXPECT_EQ(FetchModeFromButtons(false, true, true), FetchMode::Http10);
    EXPECT_EQ(FetchModeFromButtons(false, false, true), FetchMode::Browser);
    EXPECT_EQ(TranscodingFromButtons(true, true, true), Transcoding::Utf8);
    EXPECT_EQ(TranscodingFromButtons(false, true, true), Transcoding::Gbk);
    EXPECT_EQ(TranscodingFromButtons(false, false, true), Transcoding::Default);
}

} // namespace
