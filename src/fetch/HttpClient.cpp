#include "fetch/HttpClient.h"

#include "fetch/CurlUrl.h"
#include "text/AsciiCase.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr int kDefaultTimeoutMs = 30000;
// A header block larger than this is no page's: the peer is misbehaving.
constexpr std::size_t kMaxHeaderBytes = 1024u * 1024u;

struct CurlDeleter {
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, CurlDeleter>;

// What the callbacks of one transfer share.
struct Transfer {
    const HttpRequest &request;
    HttpResult &result;
    int idleTimeoutMs;
    Clock::time_point lastActivity = Clock::now();
    curl_off_t lastCount = 0;
    bool limitHit = false;
    bool headersTooLarge = false;
    bool timedOut = false;
    bool userAborted = false;
};

bool StartsWithNoCase(const std::string &text, const std::string &prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
}

bool EndsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Parses and percent-encodes the address. Empty when it is no http(s) address.
std::string CheckedUrl(const std::string &address, std::string &host)
{
    if (address.empty() || address.find('\0') != std::string::npos)
        return {};
    CurlUrlHandle url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(),
                             CURLU_URLENCODE | CURLU_ALLOW_SPACE | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return {};
    const std::string scheme = AsciiLower(CurlUrlPart(url.get(), CURLUPART_SCHEME));
    if (scheme != "http" && scheme != "https")
        return {};
    host = AsciiLower(CurlUrlPart(url.get(), CURLUPART_HOST));
    return CurlUrlPart(url.get(), CURLUPART_URL);
}

// Names under the reserved top-level domain "invalid" never resolve; they are
// refused without asking a resolver, which might otherwise wait on a network.
bool IsReservedInvalidHost(const std::string &host)
{
    return host == "invalid" || EndsWith(host, ".invalid") || host == "invalid." || EndsWith(host, ".invalid.");
}

size_t OnBody(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    const size_t length = size * count;
    ByteBuffer &body = transfer->result.body;
    const std::size_t room = transfer->request.maxBodyBytes - std::min(transfer->request.maxBodyBytes, body.size());
    if (length > room) {
        body.append(data, room);
        transfer->limitHit = true;
        return 0; // ends the transfer
    }
    body.append(data, length);
    return length;
}

size_t OnHeader(char *data, size_t size, size_t count, void *user)
{
    auto *transfer = static_cast<Transfer *>(user);
    HttpResult &result = transfer->result;
    const size_t length = size * count;
    std::string line(data, length);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new response begins (after a redirect or an interim 1xx answer):
        // only the final response's headers are kept.
        result.rawHeaders.clear();
        result.headersReceived = false;
    }
    if (result.rawHeaders.size() + line.size() + 2 > kMaxHeaderBytes) {
        transfer->headersTooLarge = true;
        return 0;
    }
    result.rawHeaders += line;
    result.rawHeaders += "\r\n";
    if (line.empty()) {
        const std::size_t space = result.rawHeaders.find(' ');
        const bool interim = space != std::string::npos && result.rawHeaders.compare(space + 1, 1, "1") == 0;
        if (interim)
            result.rawHeaders.clear();
        else
            result.headersReceived = true;
    }
    return length;
}

int OnProgress(void *user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal, curl_off_t ulnow)
{
    (void)dltotal;
    (void)ultotal;
    auto *transfer = static_cast<Transfer *>(user);
    const Clock::time_point now = Clock::now();
    // Any byte moved in either direction restarts the wait.
    if (dlnow + ulnow != transfer->lastCount) {
        transfer->lastCount = dlnow + ulnow;
        transfer->lastActivity = now;
    } else if (now - transfer->lastActivity > std::chrono::milliseconds(transfer->idleTimeoutMs)) {
        transfer->timedOut = true;
        return 1;
    }
    if (transfer->request.onProgress && !transfer->request.onProgress()) {
        transfer->userAborted = true;
        return 1;
    }
    return 0;
}

std::string StatusTextOf(const std::string &rawHeaders)
{
    const std::string firstLine = rawHeaders.substr(0, rawHeaders.find("\r\n"));
    const std::size_t space = firstLine.find(' ');
    return space == std::string::npos ? std::string() : firstLine.substr(space + 1);
}

bool HasHeaderNamed(const std::vector<std::string> &lines, const std::string &name)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string &line) { return StartsWithNoCase(line, name + ":"); });
}

HeaderList BuildHeaderList(const HttpRequest &request)
{
    curl_slist *list = nullptr;
    auto add = [&list](const std::string &line) {
        if (curl_slist *grown = curl_slist_append(list, line.c_str()))
            list = grown;
    };
    for (const std::string &line : request.headers) {
        if (line.find(':') == std::string::npos || line.find_first_of("\r\n") != std::string::npos ||
            line.find('\0') != std::string::npos)
            continue;
        // libcurl reads "Name:" with nothing after it as "drop this header";
        // "Name;" is how it sends a header with an empty value.
        const std::size_t colon = line.find(':');
        if (line.find_first_not_of(" \t", colon + 1) == std::string::npos)
            add(line.substr(0, colon) + ";");
        else
            add(line);
    }
    // libcurl would add these on its own; a request carries only our lines.
    for (const char *name : {"Accept", "Content-Type", "Expect"}) {
        if (!HasHeaderNamed(request.headers, name))
            add(std::string(name) + ":");
    }
    return HeaderList(list);
}

void SetMethodAndBody(CURL *curl, const HttpRequest &request)
{
    const std::string &method = request.method;
    if (method == "HEAD") {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
        return;
    }
    const bool get = method.empty() || method == "GET";
    if (get && request.body.empty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        return;
    }
    if (method != "POST")
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, get ? "GET" : method.c_str());
    if (method == "POST" || !request.body.empty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
    }
}

void SetConnection(CURL *curl, const HttpRequest &request, int timeoutMs)
{
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                     request.version == HttpVersion::Http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(request.maxRedirects));
    const long verify = request.verifyCertificates ? 1L : 0L;
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, verify);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, request.verifyCertificates ? 2L : 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYPEER, verify);
    curl_easy_setopt(curl, CURLOPT_PROXY_SSL_VERIFYHOST, request.verifyCertificates ? 2L : 0L);
    // An explicit proxy setting (also the empty one) keeps libcurl from
    // reading http_proxy and friends from the environment.
    curl_easy_setopt(curl, CURLOPT_PROXY, request.proxy.c_str());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, request.proxy.empty() ? "*" : "");
    if (!request.proxy.empty() && !request.proxyUser.empty()) {
        curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str());
        curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
        curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
    }
    if (!request.userName.empty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, request.userName.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, request.password.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    }
    if (!request.userAgent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
    if (!request.acceptEncoding.empty())
        curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, request.acceptEncoding.c_str());
    if (request.cookieEngine)
        curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
}

HttpFailure ByPhase(CURL *curl, const HttpResult &result)
{
    curl_off_t connectTime = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
    if (connectTime <= 0)
        return HttpFailure::Connect;
    return result.headersReceived ? HttpFailure::Receive : HttpFailure::NoResponse;
}

HttpFailure Classify(CURL *curl, CURLcode code, const Transfer &transfer)
{
    const HttpResult &result = transfer.result;
    switch (code) {
    case CURLE_OK:
        return HttpFailure::None;
    case CURLE_URL_MALFORMAT:
        return HttpFailure::BadAddress;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HttpFailure::Resolve;
    case CURLE_COULDNT_CONNECT:
        return HttpFailure::Connect;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_TOO_MANY_REDIRECTS:
        // A redirect to a refused scheme, or one too many: no usable answer.
        return HttpFailure::NoResponse;
    case CURLE_WRITE_ERROR:
        if (transfer.limitHit)
            return transfer.request.stopAtLimit ? HttpFailure::None : HttpFailure::TooLarge;
        return transfer.headersTooLarge ? HttpFailure::NoResponse : HttpFailure::Receive;
    case CURLE_ABORTED_BY_CALLBACK:
        return transfer.userAborted ? HttpFailure::Aborted : ByPhase(curl, result);
    case CURLE_SEND_ERROR:
        return result.headersReceived ? HttpFailure::Receive : HttpFailure::Send;
    default:
        return ByPhase(curl, result);
    }
}

} // namespace

bool HttpClient::IsHttpAddress(const std::string &url)
{
    std::string host;
    return !CheckedUrl(url, host).empty();
}

HttpResult HttpClient::Perform(const HttpRequest &request)
{
    HttpResult result;
    std::string host;
    const std::string url = CheckedUrl(request.url, host);
    if (url.empty()) {
        result.failure = HttpFailure::BadAddress;
        result.curlCode = CURLE_URL_MALFORMAT;
        return result;
    }
    if (IsReservedInvalidHost(host)) {
        result.failure = HttpFailure::Resolve;
        result.curlCode = CURLE_COULDNT_RESOLVE_HOST;
        return result;
    }
    CurlHandle curl(curl_easy_init());
    if (!curl) {
        result.failure = HttpFailure::Setup;
        result.curlCode = CURLE_FAILED_INIT;
        return result;
    }
    const int timeoutMs = request.timeoutMs > 0 ? request.timeoutMs : kDefaultTimeoutMs;
    Transfer transfer{request, result, timeoutMs};
    char errorText[CURL_ERROR_SIZE] = {};
    const HeaderList headers = BuildHeaderList(request);

    CURL *handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    SetConnection(handle, request, timeoutMs);
    SetMethodAndBody(handle, request);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(handle);
    result.curlCode = code;
    result.curlMessage = errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(code));
    if (transfer.timedOut)
        result.curlMessage = "no data within " + std::to_string(timeoutMs) + " ms";
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
    result.statusText = StatusTextOf(result.rawHeaders);
    result.failure = Classify(handle, code, transfer);
    return result;
}
