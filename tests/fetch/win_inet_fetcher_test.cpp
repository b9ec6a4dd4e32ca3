#include "fetch/WinInetFetcher.h"
#include "support/LocalServer.h"
#include "support/RawServer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace
{

using Names = std::vector<std::string>;

struct UrlCase {
    const char *url;
    const char *host;
    const char *hostWithPort;
    int port;
    const char *path;
};

TEST(WinInetUrlPartsTest, HostPortAndPathAsTheConnectionUsesThem)
{
    const UrlCase cases[] = {
        {"http://www.site.com:8080/book/1.html", "www.site.com", "www.site.com:8080", 8080, "/book/1.html"},
        {"http://www.site.com", "www.site.com", "www.site.com", 80, "/"},
        {"HTTPS://WWW.Site.COM/Pic/A.JPG?X=1", "www.site.com", "www.site.com", 443, "/Pic/A.JPG?X=1"},
        {"www.site.com/a/b.jpg", "www.site.com", "www.site.com", 80, "/a/b.jpg"},
        {"https://img.site.com:4443/c.png", "img.site.com", "img.site.com:4443", 4443, "/c.png"},
        {"http://h/a/../b", "h", "h", 80, "/a/../b"},
    };
    for (const UrlCase &c : cases) {
        EXPECT_EQ(UrlHost(c.url, false), c.host) << c.url;
        EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
        EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
        EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
    }
}

// Answers every request with a fixed response and records what came.
RawServer Answering(std::string response)
{
    return RawServer([response](const ReceivedRequest &, RawConnection &peer) { peer.Send(response); });
}

TEST(WinInetFetcherTest, TheProgramsRoadSendsAGetWithThreeHeaderLines)
{
    RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", std::string("\x89PNG\0\x01", 6)));
    ASSERT_TRUE(server.Started());
    const std::string url = server.Url("/covers/Big.jpg?v=2");

    EXPECT_EQ(WinInetFetcher::Fetch(url), std::string("\x89PNG\0\x01", 6));

    ASSERT_EQ(server.Requests().size(), 1u);
    const ReceivedRequest request = server.Requests()[0];
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/covers/Big.jpg?v=2");
    EXPECT_EQ(request.version, "HTTP/1.1");
    EXPECT_EQ(request.HeaderNames(), (Names{"Host", "User-Agent", "Accept", "Referer", "Accept-Language"}));
    EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    EXPECT_EQ(request.Header("Accept"), "*/*");
    EXPECT_EQ(request.Header("Referer"), url);
    EXPECT_EQ(request.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(request.body, "");
}

struct RequestCase {
    const char *name;
    WinInetFetchParams params;
    const char *method;
    Names headerNames;
    const char *body;
};

TEST(WinInetFetcherTest, ParametersShapeTheRequest)
{
    auto params = [](auto fill) {
        WinInetFetchParams p;
        fill(p);
        return p;
    };
    const std::vector<RequestCase> cases = {
        {"post adds a content type and sends the text",
         params([](WinInetFetchParams &p) {
             p.method = 1;
             p.bodyText = "a=1&b=2";
         }),
         "POST",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language", "Content-Type", "Content-Length"},
         "a=1&b=2"},
        {"a method out of range is a get without body",
         params([](WinInetFetchParams &p) {
             p.method = 8;
             p.bodyText = "x";
         }),
         "GET",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language"},
         ""},
        {"a negative method too",
         params([](WinInetFetchParams &p) { p.method = -1; }),
         "GET",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language"},
         ""},
        {"a lower-case accept line is kept and normalised",
         params([](WinInetFetchParams &p) { p.extraHeaders = "accept: image/png"; }),
         "GET",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language"},
         ""},
        {"a supplied cookie text becomes the last line",
         params([](WinInetFetchParams &p) { p.requestCookies = "a=1; b=2"; }),
         "GET",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language", "Cookie"},
         ""},
        {"supplied but empty cookies add no line",
         params([](WinInetFetchParams &p) { p.requestCookies = ""; }),
         "GET",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language"},
         ""},
        {"no default lines",
         params([](WinInetFetchParams &p) {
             p.addDefaultHeaders = false;
             p.extraHeaders = "X-A: 1";
         }),
         "GET",
         {"Host", "User-Agent", "X-A"},
         ""},
        {"bytes win over text",
         params([](WinInetFetchParams &p) {
             p.method = 3;
             p.bodyText = "t";
             p.bodyBytes = "bytes";
         }),
         "PUT",
         {"Host", "User-Agent", "Accept", "Referer", "Accept-Language", "Content-Length"},
         "bytes"},
    };
    for (RequestCase c : cases) {
        RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", "ok"));
        EXPECT_EQ(WinInetFetcher::Fetch(server.Url("/p"), c.params), "ok") << c.name;
        ASSERT_EQ(server.Requests().size(), 1u) << c.name;
        const ReceivedRequest request = server.Requests()[0];
        EXPECT_EQ(request.method, c.method) << c.name;
        EXPECT_EQ(request.HeaderNames(), c.headerNames) << c.name;
        EXPECT_EQ(request.body, c.body) << c.name;
    }
}

TEST(WinInetFetcherTest, HeaderValuesAndWhatComesBackInTheParameters)
{
    RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", "ok"));
    WinInetFetchParams params;
    params.method = 1;
    params.bodyText = "q=1";
    params.extraHeaders = "user-agent: Reader/2\r\naccept: image/png";
    params.requestCookies = "a=1";
    WinInetFetcher::Fetch(server.Url("/p"), params);
    const ReceivedRequest request = server.Requests().at(0);
    EXPECT_EQ(request.Header("User-Agent"), "Reader/2");
    EXPECT_EQ(request.HeaderCount("User-Agent"), 1);
    EXPECT_EQ(request.Header("Accept"), "image/png");
    EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(request.Header("Cookie"), "a=1");
    // The header text comes back as sent, the body as the bytes sent.
    EXPECT_EQ(params.extraHeaders, "User-Agent: Reader/2\r\nAccept: image/png\r\nReferer: " + server.Url("/p") +
                                       "\r\nAccept-Language: zh-cn\r\nContent-Type: "
                                       "application/x-www-form-urlencoded\r\nCookie: a=1");
    EXPECT_EQ(params.bodyBytes, "q=1");
}

TEST(WinInetFetcherTest, TheAgentIsTakenFromTheHeaderTextAndSentOnce)
{
    const std::string defaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
    struct Case {
        const char *extraHeaders;
        bool normalizeHeaders;
        std::string agent;
    } const cases[] = {
        {"user-agent:  Reader/2 ", true, "Reader/2"},
        {"X-A: 1\r\nUser-Agent: Reader/3\r\nX-B: 2", true, "Reader/3"},
        // An empty value, or a name the exact-case search misses: the default.
        {"User-Agent: ", true, defaultAgent},
        {"User-Agent:", false, defaultAgent},
        {"user-agent: Reader/4", false, defaultAgent},
    };
    for (const Case &c : cases) {
        RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", "ok"));
        WinInetFetchParams params;
        params.extraHeaders = c.extraHeaders;
        params.normalizeHeaders = c.normalizeHeaders;
        WinInetFetcher::Fetch(server.Url("/p"), params);
        const ReceivedRequest request = server.Requests().at(0);
        EXPECT_EQ(request.HeaderCount("User-Agent"), 1) << c.extraHeaders;
        EXPECT_EQ(request.Header("User-Agent"), c.agent) << c.extraHeaders;
    }
}

TEST(WinInetFetcherTest, ResponseCookiesAreCollectedAndMerged)
{
    const std::string response =
        RawServer::Response("HTTP/1.1 200 OK", "ok", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2", "set-cookie: c=3"});
    {
        RawServer server = Answering(response);
        WinInetFetchParams params;
        WinInetFetcher::Fetch(server.Url("/"), params);
        EXPECT_EQ(params.responseCookies, "a=1; b=2");
        EXPECT_NE(params.responseHeaders.find("Set-Cookie: b=2\r\n"), std::string::npos);
        EXPECT_EQ(params.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    }
    {
        RawServer server = Answering(response);
        WinInetFetchParams params;
        params.requestCookies = "";
        WinInetFetcher::Fetch(server.Url("/"), params);
        EXPECT_EQ(params.responseCookies, "a=1; b=2");
        EXPECT_EQ(*params.requestCookies, "a=1; b=2");
    }
    {
        RawServer server = Answering(response);
        WinInetFetchParams params;
        params.requestCookies = "b=0; z=9";
        WinInetFetcher::Fetch(server.Url("/"), params);
        EXPECT_EQ(params.responseCookies, "a=1; b=2; z=9");
        EXPECT_EQ(*params.requestCookies, "a=1; b=2; z=9");
    }
}

TEST(WinInetFetcherTest, TheBodyComesBackWhateverTheStatus)
{
    LocalServer server;
    server.Route("GET", "/gone", [](const httplib::Request &, httplib::Response &response) {
        response.status = 500;
        response.set_content("broken", "text/plain");
    });
    server.Route("GET", "/move", [](const httplib::Request &, httplib::Response &response) {
        response.status = 302;
        response.set_header("Location", "/there");
        response.set_content("moved", "text/plain");
    });
    server.Serve("/there", "arrived");
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(WinInetFetcher::Fetch(server.Url("/gone")), "broken");
    EXPECT_EQ(WinInetFetcher::Fetch(server.Url("/move")), "arrived");
    WinInetFetchParams params;
    params.noRedirect = true;
    EXPECT_EQ(WinInetFetcher::Fetch(server.Url("/move"), params), "moved");
}

TEST(WinInetFetcherTest, ANamedProxyCarriesTheRequest)
{
    RawServer proxy = Answering(RawServer::Response("HTTP/1.1 200 OK", "via proxy"));
    WinInetFetchParams params;
    params.proxy = "127.0.0.1:" + std::to_string(proxy.Port());
    EXPECT_EQ(WinInetFetcher::Fetch("http://covers.example/c.jpg", params), "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0].target, "http://covers.example/c.jpg");
}

TEST(WinInetFetcherTest, CookiesSetAlongARedirectAreKeptOnlyWhenTheCallerSuppliesNone)
{
    struct Case {
        std::optional<std::string> requestCookies;
        const char *body;
    } const cases[] = {
        {std::nullopt, "[sid=42]"},
        // Supplied, even empty: the stack's own cookie handling is off.
        {std::string(), ""},
        {std::string("a=1"), "[a=1]"},
    };
    for (const Case &c : cases) {
        RawServer site([](const ReceivedRequest &request, RawConnection &peer) {
            if (request.target == "/login") {
                peer.Send(
                    RawServer::Response("HTTP/1.1 302 Found", "", {"Location: /home", "Set-Cookie: sid=42; path=/"}));
                return;
            }
            std::string cookies;
            for (const auto &[name, value] : request.headers) {
                if (name == "Cookie")
                    cookies += "[" + value + "]";
            }
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", cookies));
        });
        WinInetFetchParams params;
        params.requestCookies = c.requestCookies;
        EXPECT_EQ(WinInetFetcher::Fetch(site.Url("/login"), params), c.body) << c.requestCookies.value_or("none");
    }
}

TEST(WinInetFetcherTest, SelfSignedHttpsIsAccepted)
{
    LocalServer server(LocalServer::Https);
    server.Serve("/cover.jpg", "JPEGDATA");
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(WinInetFetcher::Fetch(server.Url("/cover.jpg")), "JPEGDATA");
}

TEST(WinInetFetcherTest, FailuresGiveEmptyBytes)
{
    WinInetFetchParams untouched;
    untouched.responseHeaders = "before";
    EXPECT_EQ(WinInetFetcher::Fetch("", untouched), "");
    EXPECT_EQ(untouched.responseHeaders, "before");

    WinInetFetchParams refused;
    refused.requestCookies = "a=1";
    EXPECT_EQ(WinInetFetcher::Fetch("http://127.0.0.1:" + std::to_string(RawServer::UnusedPort()) + "/", refused), "");
    EXPECT_EQ(refused.responseHeaders, "");
    EXPECT_EQ(refused.responseCookies, "a=1");
    EXPECT_EQ(WinInetFetcher::Fetch("http://cover.invalid/x.jpg"), "");

    // Another scheme is not fetched over HTTP from the same host and port.
    RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", "page"));
    for (const std::string scheme : {"ftp", "file", "gopher"})
        EXPECT_EQ(WinInetFetcher::Fetch(scheme + "://127.0.0.1:" + std::to_string(server.Port()) + "/x.jpg"), "")
            << scheme;
    EXPECT_TRUE(server.Requests().empty());
}

} // namespace
