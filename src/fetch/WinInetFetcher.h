#pragma once

#include "text/ByteBuffer.h"

#include <optional>
#include <string>

// Everything WinInetFetcher::Fetch takes besides the address, with the
// defaults that the program's own callers rely on. Texts are in the code page.
struct WinInetFetchParams {
    // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT;
    // anything else is GET.
    int method = 0;
    std::string bodyText; // sent when bodyBytes is empty
    // in/out. Not supplied (nullopt): the fetch keeps cookies that the server
    // sets along redirects by itself. Supplied, even empty: only these cookies
    // are sent, and the response's cookies are merged into them.
    std::optional<std::string> requestCookies;
    std::string responseCookies; // out: the response's cookies, or the merged ones
    std::string extraHeaders;    // in/out: CR LF separated lines; comes back as sent
    std::string responseHeaders; // out: status line and header lines, CR LF separated
    bool noRedirect = false;
    ByteBuffer bodyBytes; // in/out: for methods other than GET, filled from bodyText when empty
    std::string proxy;    // "host:port"; empty: a direct connection
    bool mergeCookies = true;
    bool addDefaultHeaders = true;
    bool normalizeHeaders = true;
};

// Fetches one address and hands back the response body as raw bytes,
// whatever the status code: the fetch path of pictures (work covers). It sets
// the headers "Accept: */*", "Referer: " + the address and
// "Accept-Language: zh-cn", ignores certificate errors, follows redirects and
// never lets pending window events run. An address without a scheme counts
// as http://; one with another scheme (ftp, file, ...) is not fetched.
// Failures never throw: the result is then empty bytes (or the bytes read
// before a transfer broke off).
class WinInetFetcher
{
  public:
    static ByteBuffer Fetch(const std::string &url);
    static ByteBuffer Fetch(const std::string &url, WinInetFetchParams &params);
};

// Parts of an address; one without a scheme counts as "http://".
// The host in lower case, with ":port" when keepPort and the address names a port.
std::string UrlHost(const std::string &url, bool keepPort = false);
// The port the address names, else 443 for https and 80 otherwise.
int UrlPort(const std::string &url);
// Path and query in the address's own spelling; "/" when there is none.
std::string UrlPath(const std::string &url);
