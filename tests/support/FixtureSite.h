#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sources/SourceRecord.h"

namespace httplib {
class Server;
}

// A small novel site served on 127.0.0.1 by an in-process HTTP server, for the
// tests and as an offline demo (`quillora-demo-site [--port N]`).
//
// The same catalogue is served twice, so that the transcoding choices matter:
// under "/gbk" every page is sent in GBK (declared with <meta charset="gbk">),
// under "/utf8" in UTF-8 (<meta charset="utf-8">). For a site prefix P:
//
//   P/search/KEYWORD      search page; KEYWORD in either keyword form
//                         ("%E6%98%9F" or "%u661F"); the "?NNNN" that the
//                         page fetch appends is the query and is ignored.
//                         Lists every work whose name holds the keyword (all
//                         works for an empty keyword), or says "共搜索到0部"
//                         when none does. (The keyword sits in the path, not
//                         in a "?q=" parameter: cpp-httplib refuses a request
//                         target holding a second "?".)
//   P/nodata/...          a page holding "暂无数据" beside a normal listing
//   P/blank/...           an empty page (status 200, no body)
//   P/book/ID/            work page: name, cover, three "data" paragraphs,
//                         the table-of-contents link
//   P/book/ID/toc.html    table of contents
//   P/book/ID/N.html      chapter N (1-based)
//   P/cover/ID.png|.jpg   cover picture (work 3's cover answers 404)
//   /                     a short index page for people
//
// Works (ids 1..3, names as a reader sees them):
//   1 "星辰之海"    2,000 chapters "第N章 星海N", PNG cover. Listed with
//                   an absolute address; table-of-contents and chapter links
//                   are site-relative ("/gbk/book/1/toc.html").
//   2 "青云剑客&侠" 10 chapters with awkward titles (ChapterTitle(2, n)), JPEG
//                   cover. Listed with a site-relative address, its name
//                   wrapped in tags and written with "&amp;"; chapter links
//                   absolute, protocol-relative and site-relative in turn.
//                   Chapter 7's page has no body (the body expression does
//                   not match).
//   3 "无图之书"    5 chapters, its cover missing (404). Listed with a
//                   protocol-relative address ("//127.0.0.1:PORT/...").
//
// A chapter body is written the way such sites write it: every paragraph
// indented with four "&nbsp;" and ended with "<br>" (the last with "<br />").
struct FixtureSiteOptions {
    int port = 0;           // 0: any free port
    int latencyMs = 0;      // added before every response
};

class FixtureSite {
public:
    static constexpr int kDefaultPort = 18321;
    static constexpr int kWorkCount = 3;

    explicit FixtureSite(FixtureSiteOptions options = {});
    ~FixtureSite();
    FixtureSite(const FixtureSite &) = delete;
    FixtureSite &operator=(const FixtureSite &) = delete;

    // False when the port could not be bound.
    bool ok() const { return m_port > 0; }
    int port() const { return m_port; }

    // "http://127.0.0.1:PORT"
    std::string BaseUrl() const;
    // "http://127.0.0.1:PORT/gbk" or ".../utf8"
    std::string SiteUrl(bool gbk) const;

    void SetLatency(int milliseconds) { m_latencyMs = milliseconds; }
    // Requests answered so far (all paths).
    int RequestCount() const { return m_requests; }

    // A source that works against SiteUrl(gbk), in the program's code page,
    // expressions written with the "#引号" quote token.
    ActiveSource Source(bool gbk) const;

    // --- The catalogue, in UTF-8, for assertions. ---
    static std::string WorkName(int work);            // plain name
    static int ChapterCount(int work);
    static std::string ChapterTitle(int work, int chapter);
    // The paragraphs of a chapter, plain; empty for a chapter without body.
    static std::vector<std::string> ChapterParagraphs(int work, int chapter);
    // What a downloaded chapter file holds, in the code page: each paragraph
    // indented by the four non-breaking spaces (now plain) and ended by CR LF.
    static std::string ChapterFileText(int work, int chapter);

    // The expressions of Source(), in UTF-8 (the search address is
    // SiteUrl(gbk) + kSearchPath).
    static constexpr const char *kSearchPath = "/search/";
    static constexpr const char *kSearchList = "<a class=#引号name#引号 href=#引号(.*?)#引号>(.*?)</a>";
    static constexpr const char *kWorkData = "<p class=#引号data#引号>(.*?)</p>";
    static constexpr const char *kWorkPicture = "<img class=#引号cover#引号 src=#引号(.*?)#引号";
    static constexpr const char *kTableOfContents = "<a class=#引号toc#引号 href=#引号(.*?)#引号";
    static constexpr const char *kChapterLink = "<dd><a href=#引号(.*?)#引号>(.*?)</a></dd>";
    static constexpr const char *kChapterContent = "<div id=#引号content#引号>([\\s\\S]*?)</div>";

private:
    void Serve();

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<int> m_latencyMs{0};
    std::atomic<int> m_requests{0};
};
