#include "fetch/HttpClient.h"
#include "support/RawServer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Names = std::vector<std::string>;

RawServer Answering(std::string response)
{
    return RawServer([response](const ReceivedRequest &, RawConnection &peer) { peer.Send(response); });
}

HttpResult Get(const std::string &url, void (*adjust)(HttpRequest &) = nullptr)
{
    HttpRequest request;
    request.url = url;
    if (adjust)
        adjust(request);
    return HttpClient::Perform(request);
}

TEST(HttpClientTest, OnlyHttpAndHttpsAddressesAreFetched)
{
    for (const char *url : {"", "file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://127.0.0.1/", "127.0.0.1/x",
                            "http://", "dict://127.0.0.1:1/"}) {
        EXPECT_EQ(Get(url).failure, HttpFailure::BadAddress) << url;
        EXPECT_FALSE(HttpClient::IsHttpAddress(url)) << url;
    }
    EXPECT_EQ(Get("http://anything.invalid/").failure, HttpFailure::Resolve);
}

TEST(HttpClientTest, RedirectsAreFollowedOnlyToHttpAndOnlyWhenAsked)
{
    RawServer server([](const ReceivedRequest &request, RawConnection &peer) {
        if (request.target == "/to-file")
            peer.Send(RawServer::Response("HTTP/1.1 302 Found", "", {"Location: file:///etc/passwd"}));
        else if (request.target == "/loop")
            peer.Send(RawServer::Response("HTTP/1.1 302 Found", "", {"Location: /loop"}));
        else if (request.target == "/hop")
            peer.Send(RawServer::Response("HTTP/1.1 301 Moved", "hop body", {"Location: /end"}));
        else
            peer.Send(RawServer::Response("HTTP/1.1 200 OK", "end"));
    });
    auto follow = [](HttpRequest &r) { r.followRedirects = true; };
    EXPECT_EQ(Get(server.Url("/to-file"), follow).failure, HttpFailure::NoResponse);
    EXPECT_EQ(Get(server.Url("/loop"), follow).failure, HttpFailure::NoResponse);
    const HttpResult followed = Get(server.Url("/hop"), follow);
    EXPECT_EQ(followed.body, "end");
    EXPECT_EQ(followed.statusText, "200 OK");
    const HttpResult stayed = Get(server.Url("/hop"));
    EXPECT_EQ(stayed.body, "hop body");
    EXPECT_EQ(stayed.status, 301);
}

TEST(HttpClientTest, TheBodyLimitStopsAHugePage)
{
    RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", std::string(100000, 'p')));
    const HttpResult cut = Get(server.Url("/"), [](HttpRequest &r) { r.maxBodyBytes = 5000; });
    EXPECT_EQ(cut.failure, HttpFailure::TooLarge);
    EXPECT_EQ(cut.body, std::string(5000, 'p'));
    const HttpResult read = Get(server.Url("/"), [](HttpRequest &r) {
        r.maxBodyBytes = 1000;
        r.stopAtLimit = true;
    });
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.body, std::string(1000, 'p'));
}

TEST(HttpClientTest, ARequestCarriesOnlyTheGivenLines)
{
    RawServer server = Answering(RawServer::Response("HTTP/1.1 200 OK", "ok"));
    HttpRequest request;
    request.url = server.Url("/form");
    request.method = "POST";
    request.body = std::string(5000, 'b'); // large enough for libcurl to want "Expect: 100-continue"
    request.headers = {"X-First: 1", "bad line", "X-Injected: a\r\nEvil: b", "X-Empty:", "Referer:  ", "x-last: 2"};
    EXPECT_TRUE(HttpClient::Perform(request).ok());
    const ReceivedRequest received = server.Requests().at(0);
    // Lines with an empty value are sent too, empty.
    EXPECT_EQ(received.HeaderNames(), (Names{"Host", "X-First", "X-Empty", "Referer", "x-last", "Content-Length"}));
    EXPECT_EQ(received.Header("X-Empty"), "");
    EXPECT_EQ(received.body, request.body);
}

TEST(HttpClientTest, TheProgressCallbackCanStopATransfer)
{
    RawServer server([](const ReceivedRequest &, RawConnection &peer) { peer.Wait(3000); });
    const HttpResult result = Get(server.Url("/"), [](HttpRequest &r) { r.onProgress = [] { return false; }; });
    EXPECT_EQ(result.failure, HttpFailure::Aborted);
}

} // namespace
