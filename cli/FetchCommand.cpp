#include "CliArgs.h"
#include "Commands.h"

#include "fetch/WinHttpFetcher.h"
#include "fetch/WinInetFetcher.h"
#include "fetch/XmlHttpFetcher.h"
#include "text/CodePage.h"

#include <ostream>

namespace
{

constexpr const char *kUsage =
    "Usage: quillora-cli fetch [OPTIONS] URL\n\n"
    "Fetches one page the way the program does and prints its text as UTF-8.\n\n"
    "Options:\n"
    "  --engine winhttp   the chapter and table-of-contents client (default)\n"
    "  --engine page      the search and work page client, with --mode and --transcode\n"
    "  --engine wininet   the picture client; prints the body bytes as they came\n"
    "  --mode 1|2|3       page client: one 1,000-byte read, HTTP/1.0, or browser-like (default 2)\n"
    "  --transcode utf8|gbk|none\n"
    "                     page client: what is done to the bytes (default gbk)\n"
    "  --raw              print the body bytes instead of the page text\n"
    "  --verbose          status, response headers, cookies and redirect on standard error\n"
    "  --help             show this help\n\n"
    "Exit status: 0 fetched, 1 the fetch failed (with its message), 2 wrong arguments.\n";

struct FetchOptions {
    std::string engine;
    FetchMode mode = FetchMode::Http10;
    Transcoding transcoding = Transcoding::Gbk;
    bool raw = false;
    bool verbose = false;
    std::string url; // code page
};

// Reads the options; an empty result means they were valid, else the one
// line that says what is wrong.
std::string ReadOptions(const CliArgs &parsed, FetchOptions &options)
{
    options.engine = parsed.value("engine", "winhttp");
    if (options.engine != "winhttp" && options.engine != "page" && options.engine != "wininet")
        return "--engine must be page, winhttp or wininet";
    if ((parsed.has("mode") || parsed.has("transcode")) && options.engine != "page")
        return "--mode and --transcode apply to --engine page only";
    const std::string mode = parsed.value("mode", "2");
    if (mode != "1" && mode != "2" && mode != "3")
        return "--mode must be 1, 2 or 3";
    options.mode = FetchModeFromButtons(mode == "1", mode == "2", mode == "3");
    const std::string transcoding = parsed.value("transcode", "gbk");
    if (transcoding != "utf8" && transcoding != "gbk" && transcoding != "none")
        return "--transcode must be utf8, gbk or none";
    options.transcoding = TranscodingFromButtons(transcoding == "utf8", transcoding == "gbk", transcoding == "none");
    if (parsed.positional().size() != 1)
        return "expected exactly one URL";
    options.url = Utf8ToGbk(parsed.positional().front());
    options.raw = parsed.has("raw");
    options.verbose = parsed.has("verbose");
    return {};
}

int FetchPage(const FetchOptions &options, CliIo &io)
{
    const XmlHttpFetcher fetcher(options.mode);
    const std::string text =
        options.raw ? fetcher.FetchRaw(options.url) : fetcher.Fetch(options.url, options.transcoding);
    if (text.empty()) {
        io.err << "fetch: nothing was fetched\n";
        return ExitFailure;
    }
    io.out << (options.raw ? text : GbkToUtf8(text));
    return ExitOk;
}

int FetchWinHttp(const FetchOptions &options, CliIo &io)
{
    WinHttpFetchParams params;
    const std::string text = WinHttpFetcher().Fetch(options.url, params);
    if (options.verbose) {
        io.err << "status: " << GbkToUtf8(params.statusText) << '\n'
               << GbkToUtf8(params.responseHeaders) << "cookies: " << GbkToUtf8(params.responseCookies) << '\n'
               << "redirect: " << GbkToUtf8(params.redirectUrl) << '\n';
    }
    io.out << (options.raw ? params.responseBytes : GbkToUtf8(text));
    // Numbered failure messages begin with 7; a status text never does.
    if (params.statusText.empty() || params.statusText[0] == '7') {
        io.err << "fetch: " << GbkToUtf8(params.statusText) << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

int FetchWinInet(const FetchOptions &options, CliIo &io)
{
    WinInetFetchParams params;
    const ByteBuffer body = WinInetFetcher::Fetch(options.url, params);
    if (options.verbose) {
        io.err << GbkToUtf8(params.responseHeaders) << "cookies: " << GbkToUtf8(params.responseCookies) << '\n';
    }
    if (body.empty()) {
        io.err << "fetch: nothing was fetched\n";
        return ExitFailure;
    }
    io.out << body;
    return ExitOk;
}

} // namespace

int RunFetch(const std::vector<std::string> &args, CliIo &io)
{
    const CliArgs parsed(args, {"raw", "verbose"}, {"engine", "mode", "transcode"});
    if (parsed.wantsHelp()) {
        io.out << kUsage;
        return ExitOk;
    }
    FetchOptions options;
    const std::string error = parsed.ok() ? ReadOptions(parsed, options) : parsed.error();
    if (!error.empty()) {
        io.err << "fetch: " << error << '\n';
        return ExitUsage;
    }
    if (options.engine == "page")
        return FetchPage(options, io);
    if (options.engine == "wininet")
        return FetchWinInet(options, io);
    return FetchWinHttp(options, io);
}
