#pragma once

#include <string>

struct AppState;

// The three HTTP clients the user chooses between ("模1", "模2", "模3"):
// sites differ in what they answer to which client.
enum class FetchMode {
    SingleRead = 1, // one read of at most 1,000 bytes, the address as the agent name
    Http10 = 2,     // the whole body over HTTP/1.0 with a fixed old browser agent
    Browser = 3,    // like a browser's request object: HTTP/1.1, redirects, gzip
};

// What is done to the page's bytes afterwards ("UTF8", "GBK", "默认").
enum class Transcoding {
    Utf8,    // taken as code-page text and rewritten as UTF-8
    Gbk,     // taken as UTF-8 and rewritten in the code page
    Default, // left as they came
};

// The first checked button wins, in the order mode 1, 2, 3; none: mode 2.
FetchMode FetchModeFromButtons(bool mode1, bool mode2, bool mode3);
// The first checked button wins, in the order UTF8, GBK, 默认; none: 默认.
Transcoding TranscodingFromButtons(bool utf8, bool gbk, bool plain);

// Fetches the page the user works with (a search result page, a work's page)
// and turns it into text. "?" and a random number from 1 to 10,000 are
// appended to the address in every mode, so that no cache answers. The text
// is cut before the first zero byte. Status codes are not looked at: an
// error page's body is taken like any page. A failed fetch gives empty text.
// Never lets pending window events run.
class XmlHttpFetcher
{
  public:
    explicit XmlHttpFetcher(FetchMode mode) : m_mode(mode) {}

    // Read state.pageAddress, replace state.pageText with the fetched text.
    void FetchUtf8(AppState &state) const;
    void FetchGbk(AppState &state) const;
    void FetchDefault(AppState &state) const;

    // The same, on plain texts: the page text for `address`.
    std::string Fetch(const std::string &address, Transcoding transcoding) const;
    // The fetched bytes before any transcoding.
    std::string FetchRaw(const std::string &address) const;

    // `address` + "?" + `number`.
    static std::string RequestAddress(const std::string &address, int number);

  private:
    FetchMode m_mode;
};
