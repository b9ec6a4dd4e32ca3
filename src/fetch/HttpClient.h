#pragma once

#include "text/ByteBuffer.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The one shape of every HTTP call in Quillora: a request value goes in, a
// result value comes out. The three fetch engines are thin layers that fill
// an HttpRequest the way their clients behave and read what they need from
// the HttpResult. The rules that guard every request live here, once:
//   - only http:// and https:// addresses, also for redirects;
//   - a size limit on the body, so that a huge or endless page cannot
//     exhaust memory (applied to the decoded bytes, so a gzip bomb is cut too);
//   - time-outs on connecting and on every wait for data;
//   - a bounded number of redirects, followed only when asked;
//   - no proxy unless one is named (the http_proxy/https_proxy/no_proxy
//     environment variables are never consulted);
//   - each call uses its own connection and keeps nothing afterwards.
// Errors come back as values; Perform never throws.

enum class HttpVersion { Http10, Http11 };

// Where a request that failed stopped. Engines map these onto their own
// failure reports.
enum class HttpFailure {
    None,
    BadAddress, // not an address, or a scheme other than http/https
    Setup,      // the transfer could not be set up
    Resolve,    // the host name did not resolve
    Connect,    // no connection (refused, unreachable, TLS handshake, time-out)
    Send,       // the request could not be sent
    NoResponse, // connected, but no response headers arrived (time-out, closed)
    Receive,    // the body broke off after the headers; the bytes so far are kept
    TooLarge,   // the body passed maxBodyBytes; the first maxBodyBytes are kept
    Aborted,    // the progress callback asked to stop
};

inline constexpr std::size_t kDefaultMaxBodyBytes = 64u * 1024u * 1024u;

struct HttpRequest {
    // Spaces and bytes from 0x80 on are percent-encoded before sending, so a
    // caller passes the address as its page spelled it.
    std::string url;
    std::string method = "GET"; // any verb; "HEAD" asks for no body
    // "Name: value" lines, sent in this order (after the Host line). Lines
    // without ":" or holding CR or LF are dropped. libcurl's own Accept,
    // Content-Type and Expect lines are never added: a request carries only
    // the lines given here.
    std::vector<std::string> headers;
    ByteBuffer body; // sent when not empty (never with HEAD); POST always sends its length
    HttpVersion version = HttpVersion::Http11;
    bool followRedirects = false;
    int maxRedirects = 10;
    // Connecting (resolve, TCP, TLS) may take this long, and so may every
    // wait for the next bytes afterwards. A page that keeps arriving is never
    // cut by time. 0 or less means 30 seconds.
    int timeoutMs = 30000;
    std::string proxy; // "host:port"; empty: a direct connection
    std::string proxyUser;
    std::string proxyPassword;
    std::string userName; // basic authentication, sent with the request
    std::string password;
    std::string userAgent;      // empty: only a User-Agent line of `headers`
    std::string acceptEncoding; // e.g. "gzip, deflate": sent and decoded; empty: none
    bool cookieEngine = false;  // cookies set during the call go along on its redirects
    bool verifyCertificates = false;
    std::size_t maxBodyBytes = kDefaultMaxBodyBytes;
    // true: reaching maxBodyBytes ends the transfer as a success holding the
    // first maxBodyBytes (a single bounded read); false: it is TooLarge.
    bool stopAtLimit = false;
    // Called now and then while the transfer runs (also while it waits for
    // the peer). Return false to abort the request (HttpFailure::Aborted).
    std::function<bool()> onProgress;
};

struct HttpResult {
    HttpFailure failure = HttpFailure::None;
    int curlCode = 0;        // CURLcode of the transfer
    std::string curlMessage; // libcurl's explanation, for diagnostics
    long status = 0;         // status code of the final response, 0 without one
    std::string statusText;  // code and reason of the final status line: "200 OK"
    // The final response's header block as received: status line and header
    // lines each ended by CR LF, then the empty line. Empty without a response.
    std::string rawHeaders;
    ByteBuffer body;
    bool headersReceived = false; // a complete response header block arrived

    bool ok() const { return failure == HttpFailure::None; }
};

class HttpClient
{
  public:
    static HttpResult Perform(const HttpRequest &request);
    // True when Perform would accept the address (an http or https URL).
    static bool IsHttpAddress(const std::string &url);
};
