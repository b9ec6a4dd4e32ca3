#pragma once

#include "text/ByteBuffer.h"

#include <string>

class PlatformHooks;

// Everything WinHttpFetcher::Fetch takes besides the address, with the
// defaults that the program's own callers rely on. Texts are in the code
// page. Fields marked in/out or out are written back only on the paths that
// reach them; otherwise they keep what the caller put there.
struct WinHttpFetchParams {
    // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT;
    // anything else is GET.
    int method = 0;
    std::string bodyText;        // sent when bodyBytes is empty
    std::string requestCookies;  // in/out: "a=1; b=2"; comes back merged
    std::string responseCookies; // in/out: the response's cookies are appended
    std::string extraHeaders;    // "Name: value" lines separated by CR LF
    std::string responseHeaders; // out: status line and header lines, CR LF separated
    bool noRedirect = false;
    std::string userName; // basic authentication at the server
    std::string password;
    std::string proxy; // "host:port"; empty: no proxy
    std::string proxyUser;
    std::string proxyPassword;
    int timeoutSeconds = 0;   // for every phase; 0 or less means 30 seconds
    std::string redirectUrl;  // out: value of the last "Location: " line
    std::string statusText;   // out: "200 OK", or the numbered failure message
    ByteBuffer responseBytes; // out: the whole body as received
    bool mergeCookies = true;
    bool addDefaultHeaders = true;
    ByteBuffer bodyBytes; // when not empty, sent instead of bodyText
    bool normalizeHeaders = true;
};

// Fetches one address and hands back the page as code-page text: the body
// bytes as they came, or decoded again from the character set that a meta tag
// in the first 1,024 bytes declares (when that is neither "gbk" nor
// "gb2312"). The fetch path of work pages, tables of contents and chapters.
//
// Every call stands alone: its own connection, no cookie store, nothing kept.
// Failures never throw: the result is empty text and params.statusText holds
// a numbered message ("701 解析URL地址失败!" ... "713 读取数据失败!", in the
// code page). A broken read (713) still returns the bytes read so far.
//
// The hooks' ProcessPendingEvents runs at fixed points after the transfer,
// never during it: once per response header line, once after the
// character-set check when the meta expression could be searched, and then
// once for each preparation step that succeeded (session checks, address,
// session, time-outs, connection, request, headers, send, response: nine
// after a complete fetch, one after a bad address, none when the request was
// refused at the credential, certificate, cookie or redirect settings).
class WinHttpFetcher
{
  public:
    explicit WinHttpFetcher(PlatformHooks *hooks = nullptr) : m_hooks(hooks) {}

    // The road the program uses: a GET with the default headers.
    std::string Fetch(const std::string &url);
    std::string Fetch(const std::string &url, WinHttpFetchParams &params);

  private:
    void ProcessPendingEvents(int times = 1);
    // Status-independent reading of the response header lines: cookies,
    // redirect address, one round of pending events per line.
    void ReadHeaderLines(const std::string &rawHeaders, WinHttpFetchParams &params);
    // The body as code-page text, decoded again when its meta tag says so.
    std::string PageText(const ByteBuffer &body);

    PlatformHooks *m_hooks;
};
