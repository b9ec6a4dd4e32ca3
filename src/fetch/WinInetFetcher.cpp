#include "fetch/WinInetFetcher.h"

#include "fetch/CookieUtils.h"
#include "fetch/HeaderUtils.h"
#include "fetch/CurlUrl.h"
#include "fetch/HttpClient.h"
#include "text/AsciiCase.h"
#include "text/GbkText.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace
{

constexpr const char *kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

struct UrlParts {
    bool valid = false;
    bool secure = false;
    std::string host; // lower case
    std::string port; // as the address names it; empty when it names none
    std::string pathAndQuery = "/";
};

UrlParts Crack(const std::string &url)
{
    UrlParts parts;
    std::string address = url;
    if (address.find("://") == std::string::npos)
        address = "http://" + address;
    CurlUrlHandle handle(curl_url());
    // Keep the path exactly as spelled: no dot-segment folding, no escaping.
    if (!handle || address.find('\0') != std::string::npos ||
        curl_url_set(handle.get(), CURLUPART_URL, address.c_str(),
                     CURLU_PATH_AS_IS | CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK)
        return parts;
    // Another scheme (ftp, file, ...) names no HTTP server: asking the host
    // for the path over HTTP would fetch something else.
    const std::string scheme = AsciiLower(CurlUrlPart(handle.get(), CURLUPART_SCHEME));
    parts.valid = scheme == "http" || scheme == "https";
    parts.secure = scheme == "https";
    parts.host = AsciiLower(CurlUrlPart(handle.get(), CURLUPART_HOST));
    parts.port = CurlUrlPart(handle.get(), CURLUPART_PORT);
    const std::string path = CurlUrlPart(handle.get(), CURLUPART_PATH);
    const std::string query = CurlUrlPart(handle.get(), CURLUPART_QUERY);
    parts.pathAndQuery = (path.empty() ? "/" : path) + (query.empty() ? "" : "?" + query);
    return parts;
}

const char *Verb(int method)
{
    static const char *const verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    return (method >= 0 && method <= 7) ? verbs[method] : "GET";
}

bool ContainsNoCase(const std::string &text, const std::string &marker)
{
    return FindGbk(text, marker, 0, true) != std::string::npos;
}

bool StartsWithNoCase(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

std::string TrimSpaces(const std::string &text)
{
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The agent a User-Agent line names; the default one when there is no such
// line or its value is empty.
std::string AgentOf(const std::string &headers)
{
    if (!ContainsNoCase(headers, "User-Agent:"))
        return kDefaultAgent;
    const std::string agent = TrimSpaces(TextBetween(headers + "\r\n", "User-Agent:", "\r\n"));
    return agent.empty() ? std::string(kDefaultAgent) : agent;
}

void AddDefaultHeaders(std::string &headers, const std::string &url, int method)
{
    if (headers.empty())
        headers = "Accept: */*";
    if (!ContainsNoCase(headers, "Accept:"))
        headers += "\r\nAccept: */*";
    if (!ContainsNoCase(headers, "Referer:"))
        headers += "\r\nReferer: " + url;
    if (!ContainsNoCase(headers, "Accept-Language:"))
        headers += "\r\nAccept-Language: zh-cn";
    if (method == 1 && !ContainsNoCase(headers, "Content-Type:"))
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
}

std::string RemoveAllNoCase(std::string text, const std::string &marker)
{
    for (std::size_t at = FindGbk(text, marker, 0, true); at != std::string::npos; at = FindGbk(text, marker, at, true))
        text.erase(at, marker.size());
    return text;
}

std::string CollectCookies(const std::string &rawHeaders)
{
    std::string cookies;
    for (const std::string &line : SplitGbk(rawHeaders, "\r\n")) {
        if (TextBefore(line, ": ") != "Set-Cookie")
            continue;
        const std::string value = line.find(';') != std::string::npos ? TextBetween(line, "Set-Cookie:", ";")
                                                                      : RemoveAllNoCase(line, "Set-Cookie:");
        cookies += TrimSpaces(value) + "; ";
    }
    if (cookies.size() >= 2)
        cookies.resize(cookies.size() - 2);
    return cookies;
}

} // namespace

std::string UrlHost(const std::string &url, bool keepPort)
{
    const UrlParts parts = Crack(url);
    return keepPort && !parts.port.empty() ? parts.host + ":" + parts.port : parts.host;
}

int UrlPort(const std::string &url)
{
    const UrlParts parts = Crack(url);
    if (!parts.port.empty())
        return std::atoi(parts.port.c_str());
    return parts.secure ? 443 : 80;
}

std::string UrlPath(const std::string &url)
{
    return Crack(url).pathAndQuery;
}

ByteBuffer WinInetFetcher::Fetch(const std::string &url)
{
    WinInetFetchParams params;
    return Fetch(url, params);
}

ByteBuffer WinInetFetcher::Fetch(const std::string &url, WinInetFetchParams &params)
{
    if (params.normalizeHeaders)
        params.extraHeaders = NormalizeHeaderNames(params.extraHeaders);
    const int method = (params.method >= 0 && params.method <= 7) ? params.method : 0;
    const UrlParts parts = Crack(url);
    if (!parts.valid || parts.host.empty())
        return {};

    HttpRequest request;
    request.url = std::string(parts.secure ? "https://" : "http://") + parts.host + ":" + std::to_string(UrlPort(url)) +
                  parts.pathAndQuery;
    request.method = Verb(method);
    request.userAgent = AgentOf(params.extraHeaders);
    request.proxy = params.proxy;
    request.followRedirects = !params.noRedirect;
    // Without cookies of the caller's own, the fetch keeps what the server
    // sets along its redirects, as a browser would.
    request.cookieEngine = !params.requestCookies.has_value();

    if (params.addDefaultHeaders)
        AddDefaultHeaders(params.extraHeaders, url, method);
    if (params.requestCookies && !params.requestCookies->empty()) {
        const std::string &cookies = *params.requestCookies;
        params.extraHeaders +=
            cookies.find("Cookie:") != std::string::npos ? "\r\n" + cookies : "\r\nCookie: " + cookies;
    }
    // The agent goes out as the session's own User-Agent line, once.
    for (const std::string &line : SplitGbk(params.extraHeaders, "\r\n")) {
        if (!StartsWithNoCase(line, "User-Agent:"))
            request.headers.push_back(line);
    }
    if (method != 0) {
        if (params.bodyBytes.empty())
            params.bodyBytes = params.bodyText;
        request.body = params.bodyBytes;
    }

    HttpResult result = HttpClient::Perform(request);
    if (result.failure == HttpFailure::BadAddress || result.failure == HttpFailure::Setup)
        return {};
    params.responseHeaders = result.rawHeaders;
    params.responseCookies = CollectCookies(result.rawHeaders);
    if (params.mergeCookies && params.requestCookies)
        params.responseCookies = MergeCookies(*params.requestCookies, params.responseCookies);
    return std::move(result.body);
}
