#include "fetch/XmlHttpFetcher.h"

#include "app/AppState.h"
#include "fetch/HttpClient.h"
#include "text/CodePage.h"

#include <mutex>
#include <random>

namespace
{

constexpr std::size_t kSingleReadBytes = 1000;
constexpr const char *kHttp10Agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char *kBrowserAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64; Trident/7.0; rv:11.0) like Gecko";

int RandomSuffix()
{
    static std::mutex mutex;
    static std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<int> range(1, 10000);
    std::lock_guard<std::mutex> lock(mutex);
    return range(generator);
}

std::string UpToZero(const std::string &bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

// The address as the agent name and a single read into 1,000 blanks: a page
// shorter than that comes back padded with blanks, a longer one cut.
std::string FetchSingleRead(const std::string &pageAddress, const std::string &requestAddress)
{
    HttpRequest request;
    request.url = requestAddress;
    request.userAgent = pageAddress;
    request.followRedirects = true;
    request.maxBodyBytes = kSingleReadBytes;
    request.stopAtLimit = true;
    // The system's internet library keeps the cookies a redirect sets.
    request.cookieEngine = true;
    const HttpResult result = HttpClient::Perform(request);
    // A fetch that got no answer is no page of blanks.
    if (!result.ok() && result.body.empty())
        return {};
    std::string buffer(kSingleReadBytes, ' ');
    buffer.replace(0, result.body.size(), result.body);
    return UpToZero(buffer);
}

std::string FetchHttp10(const std::string &address)
{
    HttpRequest request;
    request.url = address;
    request.version = HttpVersion::Http10;
    request.userAgent = kHttp10Agent;
    request.headers = {"Accept: */*", "Pragma: no-cache"};
    request.followRedirects = true;
    request.cookieEngine = true;
    const HttpResult result = HttpClient::Perform(request);
    return result.ok() ? UpToZero(result.body) : std::string();
}

std::string FetchLikeBrowser(const std::string &address)
{
    HttpRequest request;
    // A browser's request object sends the address as UTF-8.
    request.url = GbkToUtf8(address);
    request.userAgent = kBrowserAgent;
    request.headers = {"Accept: */*", "Accept-Language: zh-CN,zh;q=0.9,en;q=0.8"};
    request.acceptEncoding = "gzip, deflate";
    request.followRedirects = true;
    request.cookieEngine = true;
    const HttpResult result = HttpClient::Perform(request);
    return result.ok() ? UpToZero(result.body) : std::string();
}

} // namespace

FetchMode FetchModeFromButtons(bool mode1, bool mode2, bool mode3)
{
    if (mode1)
        return FetchMode::SingleRead;
    if (mode2)
        return FetchMode::Http10;
    return mode3 ? FetchMode::Browser : FetchMode::Http10;
}

Transcoding TranscodingFromButtons(bool utf8, bool gbk, bool plain)
{
    (void)plain;
    if (utf8)
        return Transcoding::Utf8;
    return gbk ? Transcoding::Gbk : Transcoding::Default;
}

std::string XmlHttpFetcher::RequestAddress(const std::string &address, int number)
{
    return address + "?" + std::to_string(number);
}

std::string XmlHttpFetcher::FetchRaw(const std::string &address) const
{
    const std::string requestAddress = RequestAddress(address, RandomSuffix());
    switch (m_mode) {
    case FetchMode::SingleRead:
        return FetchSingleRead(address, requestAddress);
    case FetchMode::Browser:
        return FetchLikeBrowser(requestAddress);
    case FetchMode::Http10:
        break;
    }
    return FetchHttp10(requestAddress);
}

std::string XmlHttpFetcher::Fetch(const std::string &address, Transcoding transcoding) const
{
    const std::string text = FetchRaw(address);
    switch (transcoding) {
    case Transcoding::Utf8:
        return GbkToUtf8(text);
    case Transcoding::Gbk:
        return Utf8ToGbk(text);
    case Transcoding::Default:
        break;
    }
    return text;
}

void XmlHttpFetcher::FetchUtf8(AppState &state) const
{
    state.pageText = Fetch(state.pageAddress, Transcoding::Utf8);
}

void XmlHttpFetcher::FetchGbk(AppState &state) const
{
    state.pageText = Fetch(state.pageAddress, Transcoding::Gbk);
}

void XmlHttpFetcher::FetchDefault(AppState &state) const
{
    state.pageText = Fetch(state.pageAddress, Transcoding::Default);
}
