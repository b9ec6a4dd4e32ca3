#include "fetch/WinHttpFetcher.h"

#include "fetch/CookieUtils.h"
#include "fetch/HeaderUtils.h"
#include "fetch/HttpClient.h"
#include "platform/PlatformHooks.h"
#include "text/CodePage.h"
#include "text/GbkText.h"
#include "text/RegexEngine.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace
{

// How many preparation steps had succeeded when a fetch ended: each of them
// is followed by one round of pending events on the way out.
enum StepsDone : int {
    kNoneDone = 0, // the HTTP stack is missing
    kBadAddress = 1,
    kNoSession = 2,
    kNoConnection = 4,
    kHeadersRefused = 6,
    kSendFailed = 7,
    kNoAnswer = 8,
    kAllDone = 9,
};

const std::string &Message(int number)
{
    static const std::string m700 = Utf8ToGbk("700 当前系统不支持WinHttp服务!");
    static const std::string m701 = Utf8ToGbk("701 解析URL地址失败!");
    static const std::string m702 = Utf8ToGbk("702 创建WinHttp会话失败!");
    static const std::string m703 = Utf8ToGbk("703 创建WinHttp连接失败!");
    static const std::string m710 = Utf8ToGbk("710 设置协议头失败!");
    static const std::string m711 = Utf8ToGbk("711 发送请求失败!");
    static const std::string m712 = Utf8ToGbk("712 服务器未响应!");
    static const std::string m713 = Utf8ToGbk("713 读取数据失败!");
    switch (number) {
    case 700:
        return m700;
    case 701:
        return m701;
    case 702:
        return m702;
    case 703:
        return m703;
    case 710:
        return m710;
    case 711:
        return m711;
    case 712:
        return m712;
    default:
        return m713;
    }
}

const char *Verb(int method)
{
    static const char *const verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
    return (method >= 0 && method <= 7) ? verbs[method] : "GET";
}

bool HttpAvailable()
{
    const curl_version_info_data *info = curl_version_info(CURLVERSION_NOW);
    for (const char *const *protocol = info ? info->protocols : nullptr; protocol && *protocol; ++protocol) {
        if (std::strcmp(*protocol, "http") == 0)
            return true;
    }
    return false;
}

bool ContainsNoCase(const std::string &text, const std::string &marker)
{
    return FindGbk(text, marker, 0, true) != std::string::npos;
}

// The header text handed to the request: the caller's lines, the default
// lines they lack, names normalised, the keep-alive rule, the cookie line.
std::string WorkingHeaders(const WinHttpFetchParams &params)
{
    struct DefaultHeader {
        const char *key;
        const char *line;
        bool postOnly;
    };
    static const DefaultHeader defaults[] = {
        {"User-Agent: ", "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n",
         false},
        {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n", false},
        {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n", false},
        {"Accept-Language: ", "Accept-Language: zh-cn\r\n", false},
        {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
        {"Cache-Control: ", "Cache-Control: no-cache\r\n", false},
    };
    std::string text = params.extraHeaders.empty() ? std::string() : params.extraHeaders + "\r\n";
    if (params.addDefaultHeaders) {
        for (const DefaultHeader &header : defaults) {
            if ((!header.postOnly || params.method == 1) && !ContainsNoCase(text, header.key))
                text += header.line;
        }
    }
    if (params.normalizeHeaders)
        text = NormalizeHeaderNames(text);
    // Connections are never kept, so a keep-alive wish is dropped (only where
    // a CR LF follows it, as the stack's own header parser would see a line).
    if (text.find("Connection") != std::string::npos && HeaderValue(text, "Connection") == "keep-alive")
        text = ReplaceAllGbk(text, "Connection: keep-alive\r\n", "");
    if (!ContainsNoCase(text, "Cookie:") && !params.requestCookies.empty()) {
        if (ContainsNoCase(params.requestCookies, "Cookie:"))
            text += "\r\n" + params.requestCookies + "\r\n";
        else
            text += "\r\nCookie: " + params.requestCookies + "\r\n";
    }
    return text;
}

// Splits the header text into lines; false when a line is no header line
// (no name before a ":", or a control character inside).
bool HeaderLines(const std::string &text, std::vector<std::string> &lines)
{
    for (const std::string &line : SplitGbk(text, "\r\n")) {
        if (line.empty())
            continue;
        const bool control = std::any_of(line.begin(), line.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 && byte != '\t';
        });
        const std::size_t colon = line.find(':');
        if (control || colon == std::string::npos || colon == 0)
            return false;
        lines.push_back(line);
    }
    return true;
}

std::string RemoveAllNoCase(std::string text, const std::string &marker)
{
    for (std::size_t at = FindGbk(text, marker, 0, true); at != std::string::npos; at = FindGbk(text, marker, at, true))
        text.erase(at, marker.size());
    return text;
}

bool StartsWithNoCase(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && FindGbk(text.substr(0, prefix.size()), prefix, 0, true) == 0;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A page decoded again reads like a text stream: a leading byte-order mark
// (U+FEFF, which GB18030 writes as 84 31 95 33) is no character of the page.
void DropByteOrderMark(std::string &text)
{
    static const std::string mark("\x84\x31\x95\x33", 4);
    if (text.compare(0, mark.size(), mark) == 0)
        text.erase(0, mark.size());
}

// Everything of the request but its header lines.
HttpRequest RequestFor(const std::string &url, const WinHttpFetchParams &params)
{
    HttpRequest request;
    request.url = GbkToUtf8(url);
    request.method = Verb(params.method);
    request.body = params.bodyBytes.empty() ? params.bodyText : params.bodyBytes;
    request.followRedirects = !params.noRedirect;
    const long long timeoutMs = params.timeoutSeconds > 0 ? params.timeoutSeconds * 1000LL : 30000LL;
    request.timeoutMs = static_cast<int>(std::min<long long>(timeoutMs, INT_MAX));
    request.proxy = params.proxy;
    if (!params.userName.empty() && !params.password.empty()) {
        request.userName = params.userName;
        request.password = params.password;
    }
    if (!params.proxyUser.empty() && !params.proxyPassword.empty()) {
        request.proxyUser = params.proxyUser;
        request.proxyPassword = params.proxyPassword;
    }
    // Cookies that the server sets along a redirect go with the next request
    // only when the caller keeps cookies itself.
    request.cookieEngine = !params.requestCookies.empty();
    return request;
}

} // namespace

std::string WinHttpFetcher::Fetch(const std::string &url)
{
    WinHttpFetchParams params;
    return Fetch(url, params);
}

void WinHttpFetcher::ProcessPendingEvents(int times)
{
    for (int i = 0; i < times && m_hooks != nullptr; ++i)
        m_hooks->ProcessPendingEvents();
}

std::string WinHttpFetcher::Fetch(const std::string &url, WinHttpFetchParams &params)
{
    auto fail = [&](int number, int stepsDone) {
        params.statusText = Message(number);
        ProcessPendingEvents(stepsDone);
        return std::string();
    };
    if (!HttpAvailable())
        return fail(700, kNoneDone);

    HttpRequest request = RequestFor(url, params);
    if (!HttpClient::IsHttpAddress(request.url))
        return fail(701, kBadAddress);
    if (!HeaderLines(WorkingHeaders(params), request.headers))
        return fail(710, kHeadersRefused);

    const HttpResult result = HttpClient::Perform(request);
    switch (result.failure) {
    case HttpFailure::None:
        break;
    case HttpFailure::BadAddress:
        return fail(701, kBadAddress);
    case HttpFailure::Setup:
        return fail(702, kNoSession);
    case HttpFailure::Resolve:
    case HttpFailure::Connect:
        return fail(703, kNoConnection);
    case HttpFailure::Send:
        return fail(711, kSendFailed);
    case HttpFailure::NoResponse:
    case HttpFailure::Aborted:
        return fail(712, kNoAnswer);
    case HttpFailure::Receive:
    case HttpFailure::TooLarge:
        // The read broke off: go on with the bytes that arrived.
        params.statusText = Message(713);
        break;
    }
    std::string pageText;
    if (!result.rawHeaders.empty()) {
        params.responseHeaders = result.rawHeaders;
        // A broken read stays reported as such instead of showing "200 OK".
        if (result.ok()) {
            const std::string firstLine = result.rawHeaders.substr(0, result.rawHeaders.find("\r\n"));
            params.statusText = firstLine.size() > 9 ? firstLine.substr(9) : std::string();
        }
        ReadHeaderLines(result.rawHeaders, params);
        if (params.mergeCookies && !params.requestCookies.empty())
            params.responseCookies = MergeCookies(params.requestCookies, params.responseCookies);
        params.responseBytes = result.body;
        pageText = PageText(result.body);
    }
    ProcessPendingEvents(kAllDone);
    return pageText;
}

void WinHttpFetcher::ReadHeaderLines(const std::string &rawHeaders, WinHttpFetchParams &params)
{
    std::string collected;
    for (const std::string &line : SplitGbk(rawHeaders, "\r\n")) {
        // Only the name=value part of a cookie is kept; its attributes go.
        if (TextBefore(line, ": ") == "Set-Cookie") {
            const std::string value = line.find(';') != std::string::npos ? TextBetween(line, "Set-Cookie:", ";")
                                                                          : RemoveAllNoCase(line, "Set-Cookie:");
            collected += TrimBlanks(value) + "; ";
        }
        if (StartsWithNoCase(line, "Location: "))
            params.redirectUrl = line.substr(10);
        ProcessPendingEvents();
    }
    // The caller's own cookie text and the new items stay separate items.
    std::string &cookies = params.responseCookies;
    if (!collected.empty() && !cookies.empty() && !EndsWith(cookies, "; "))
        cookies += EndsWith(cookies, ";") ? " " : "; ";
    cookies += collected;
    if (EndsWith(cookies, "; "))
        cookies.resize(cookies.size() - 2);
}

std::string WinHttpFetcher::PageText(const ByteBuffer &body)
{
    std::string text = body.substr(0, body.find('\0'));
    // Only the head of the page is searched, so a long page costs nothing.
    RegexEngine regex;
    if (regex.Search("<meta.+?charset=[^\\w]?([-\\w]+)", std::string_view(text).substr(0, 1024))) {
        const std::string charset = regex.SubMatch(1, 1);
        if (!charset.empty() && charset != "gbk" && charset != "gb2312" && CharsetToGbk(body, charset, text))
            DropByteOrderMark(text); // an unknown set keeps the bytes as they are
        ProcessPendingEvents();
    }
    return text;
}
