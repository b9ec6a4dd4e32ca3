#include "FixtureSite.h"

#include "FixtureCovers.h"
#include "text/CodePage.h"

#include <httplib.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::array<const char *, 10> kWork2Titles = {
    "第一章 启程",             // an ASCII space
    "第二章\u3000风起",        // a full-width space
    "第三章 山,水",            // a comma
    "第四章 何处?归途:<终>",   // removed characters
    "第五章/上\\下|集*",       // path separators
    "第六章 \"嘰\"億",         // a double quote; GBK trail bytes 0x5C and 0x7C
    "第七章 空白页",           // its page has no body
    "第八章 夜 雨",
    " ,?* ",                   // nothing left for a file name
    "第十章 终章",
};

constexpr int kChapterCounts[FixtureSite::kWorkCount] = {2000, 10, 5};

bool ValidWork(int work) { return work >= 1 && work <= FixtureSite::kWorkCount; }

bool ValidChapter(int work, int chapter)
{
    return ValidWork(work) && chapter >= 1 && chapter <= kChapterCounts[work - 1];
}

// The name as the search page writes it: tags and an entity around the text.
std::string NameHtml(int work)
{
    switch (work) {
    case 1: return "星辰<em>之海</em>";
    case 2: return "<b>青云剑客</b>&amp;侠";
    default: return "无图之书";
    }
}

std::string CoverPath(int work) { return "/cover/" + std::to_string(work) + (work == 2 ? ".jpg" : ".png"); }

struct Site {
    std::string host;   // "127.0.0.1:PORT"
    std::string prefix; // "/gbk" or "/utf8"
    bool gbk = false;

    std::string Absolute(const std::string &path) const { return "http://" + host + prefix + path; }
    std::string ProtocolRelative(const std::string &path) const { return "//" + host + prefix + path; }
    std::string SiteRelative(const std::string &path) const { return prefix + path; }

    // A page in the site's character set, from UTF-8 source text.
    void Send(httplib::Response &res, const std::string &utf8) const
    {
        const char *type = gbk ? "text/html; charset=gbk" : "text/html; charset=utf-8";
        res.set_content(gbk ? Utf8ToGbk(utf8) : utf8, type);
    }

    std::string Head(const std::string &title) const
    {
        return std::string("<!DOCTYPE html>\n<html><head><meta charset=\"") + (gbk ? "gbk" : "utf-8") +
               "\"><title>" + title + " - 星海书屋</title></head>\n<body>\n";
    }
};

// Decodes a keyword sent in the percent form of UTF-8 bytes or in the
// script-escape form (%uXXXX).
std::string DecodeKeyword(std::string_view raw)
{
    auto hex = [](std::string_view s, size_t at, size_t n, uint32_t &out) {
        if (at + n > s.size())
            return false;
        out = 0;
        for (size_t i = at; i < at + n; ++i) {
            const char c = s[i];
            const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (v < 0)
                return false;
            out = out * 16 + static_cast<uint32_t>(v);
        }
        return true;
    };
    auto appendUtf8 = [](std::string &out, uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    };
    std::string bytes;
    bool escapeForm = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        uint32_t v = 0;
        if (raw[i] == '%' && i + 1 < raw.size() && (raw[i + 1] == 'u' || raw[i + 1] == 'U') && hex(raw, i + 2, 4, v)) {
            uint32_t low = 0;
            if (v >= 0xD800 && v < 0xDC00 && raw.substr(i + 6, 2) == "%u" && hex(raw, i + 8, 4, low)) {
                v = 0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00);
                i += 6;
            }
            appendUtf8(bytes, v);
            escapeForm = true;
            i += 5;
        } else if (raw[i] == '%' && hex(raw, i + 1, 2, v)) {
            bytes += static_cast<char>(v);
            i += 2;
        } else if (raw[i] == '+') {
            bytes += ' ';
        } else {
            bytes += raw[i];
        }
    }
    if (escapeForm)
        return bytes;
    // Percent bytes that are not UTF-8 are taken as the GBK form.
    const std::string roundTrip = GbkToUtf8(Utf8ToGbk(bytes));
    return roundTrip == bytes ? bytes : GbkToUtf8(bytes);
}

// The raw path text after `route` (before any query), undecoded.
std::string PathTail(const httplib::Request &req, const std::string &route)
{
    const std::string &target = req.target;
    const size_t at = target.find(route);
    if (at == std::string::npos)
        return {};
    const size_t begin = at + route.size();
    const size_t end = target.find('?', begin);
    return target.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string WorkAddressInListing(const Site &site, int work)
{
    const std::string path = "/book/" + std::to_string(work) + "/";
    switch (work) {
    case 1: return site.Absolute(path);
    case 2: return site.SiteRelative(path);
    default: return site.ProtocolRelative(path);
    }
}

std::string Listing(const Site &site, const std::string &keyword)
{
    std::string items;
    int found = 0;
    for (int work = 1; work <= FixtureSite::kWorkCount; ++work) {
        if (!keyword.empty() && FixtureSite::WorkName(work).find(keyword) == std::string::npos)
            continue;
        ++found;
        items += "<li><img class=\"cover\" src=\"" + site.Absolute(CoverPath(work)) + "\" alt=\"\">" +
                 "<a class=\"name\" href=\"" + WorkAddressInListing(site, work) + "\">" + NameHtml(work) +
                 "</a><span class=\"author\">作者：Torva</span></li>\n";
    }
    return "<p class=\"count\">共搜索到" + std::to_string(found) + "部</p>\n<ul class=\"results\">\n" + items + "</ul>\n";
}

std::string WorkPage(const Site &site, int work)
{
    const std::string toc = "/book/" + std::to_string(work) + "/toc.html";
    const std::string tocLink = work == 1 ? site.SiteRelative(toc) : work == 2 ? site.Absolute(toc) : site.ProtocolRelative(toc);
    return site.Head(FixtureSite::WorkName(work)) + "<h1>" + NameHtml(work) + "</h1>\n" +
           "<img class=\"bookcover\" src=\"" + site.Absolute(CoverPath(work)) + "\">\n<div class=\"info\">\n" +
           "<p class=\"data\">作者：Torva</p>\n<p class=\"data\">点击：12,345</p>\n" +
           "<p class=\"data\"><b>状态</b>：连载中 &amp; 共" + std::to_string(FixtureSite::ChapterCount(work)) +
           "章</p>\n</div>\n<a class=\"toc\" href=\"" + tocLink + "\">查看目录</a>\n</body></html>\n";
}

std::string ChapterAddressInToc(const Site &site, int work, int chapter)
{
    const std::string path = "/book/" + std::to_string(work) + "/" + std::to_string(chapter) + ".html";
    if (work != 2)
        return site.SiteRelative(path);
    switch (chapter % 3) {
    case 0: return site.Absolute(path);
    case 1: return site.ProtocolRelative(path);
    default: return site.SiteRelative(path);
    }
}

std::string TocPage(const Site &site, int work)
{
    std::string page = site.Head(FixtureSite::WorkName(work)) + "<dl class=\"chapters\">\n<dt>正文</dt>\n";
    const int count = FixtureSite::ChapterCount(work);
    page.reserve(page.size() + static_cast<size_t>(count) * 64);
    for (int chapter = 1; chapter <= count; ++chapter)
        page += "<dd><a href=\"" + ChapterAddressInToc(site, work, chapter) + "\">" +
                FixtureSite::ChapterTitle(work, chapter) + "</a></dd>\n";
    return page + "</dl>\n</body></html>\n";
}

std::string ChapterPage(const Site &site, int work, int chapter)
{
    std::string page = site.Head(FixtureSite::ChapterTitle(work, chapter)) + "<h2>" +
                       FixtureSite::ChapterTitle(work, chapter) + "</h2>\n";
    const auto paragraphs = FixtureSite::ChapterParagraphs(work, chapter);
    if (paragraphs.empty())
        return page + "<div class=\"missing\">本章内容缺失</div>\n</body></html>\n";
    page += "<div id=\"content\">";
    for (size_t i = 0; i < paragraphs.size(); ++i)
        page += "&nbsp;&nbsp;&nbsp;&nbsp;" + paragraphs[i] + (i + 1 < paragraphs.size() ? "<br>\n" : "<br />");
    return page + "</div>\n</body></html>\n";
}

// "12" out of "12.html" / "12.png"; 0 when the text is not a number.
int Number(const std::string &text)
{
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 100000)
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

FixtureSite::FixtureSite(FixtureSiteOptions options)
    : m_server(std::make_unique<httplib::Server>()), m_latencyMs(options.latencyMs)
{
    Serve();
    if (options.port > 0)
        m_port = m_server->bind_to_port("127.0.0.1", options.port) ? options.port : 0;
    else
        m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0) {
        m_port = 0;
        return;
    }
    // The socket listens already: connections made before the thread accepts
    // wait in the backlog.
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
}

FixtureSite::~FixtureSite()
{
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

std::string FixtureSite::BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

std::string FixtureSite::SiteUrl(bool gbk) const { return BaseUrl() + (gbk ? "/gbk" : "/utf8"); }

ActiveSource FixtureSite::Source(bool gbk) const
{
    ActiveSource source;
    source.name = Utf8ToGbk(gbk ? "星海书屋GBK" : "星海书屋UTF8");
    source.searchAddress = SiteUrl(gbk) + kSearchPath;
    source.searchList = Utf8ToGbk(kSearchList);
    source.workData = Utf8ToGbk(kWorkData);
    source.workPicture = Utf8ToGbk(kWorkPicture);
    source.tableOfContents = Utf8ToGbk(kTableOfContents);
    source.chapterLink = Utf8ToGbk(kChapterLink);
    source.chapterContent = Utf8ToGbk(kChapterContent);
    return source;
}

std::string FixtureSite::WorkName(int work)
{
    switch (work) {
    case 1: return "星辰之海";
    case 2: return "青云剑客&侠";
    case 3: return "无图之书";
    default: return {};
    }
}

int FixtureSite::ChapterCount(int work) { return ValidWork(work) ? kChapterCounts[work - 1] : 0; }

std::string FixtureSite::ChapterTitle(int work, int chapter)
{
    if (!ValidChapter(work, chapter))
        return {};
    if (work == 2)
        return kWork2Titles[static_cast<size_t>(chapter - 1)];
    const std::string n = std::to_string(chapter);
    return work == 1 ? "第" + n + "章 星海" + n : "第" + n + "章 无图" + n;
}

std::vector<std::string> FixtureSite::ChapterParagraphs(int work, int chapter)
{
    if (!ValidChapter(work, chapter) || (work == 2 && chapter == 7))
        return {};
    const std::string n = std::to_string(chapter);
    return {WorkName(work) + "第" + n + "章，开篇。", "风声、雨声，声声入耳。", "（完）"};
}

void FixtureSite::Serve()
{
    httplib::Server &server = *m_server;
    server.set_pre_routing_handler([this](const httplib::Request &, httplib::Response &) {
        ++m_requests;
        if (const int ms = m_latencyMs.load(); ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server.Get("/", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>星海书屋</title></head><body>"
                        "<h1>星海书屋</h1><ul><li><a href=\"/gbk/search/\">GBK</a> (" + SiteUrl(true) +
                            kSearchPath + ")</li><li><a href=\"/utf8/search/\">UTF-8</a> (" + SiteUrl(false) +
                            kSearchPath + ")</li></ul></body></html>",
                        "text/html; charset=utf-8");
    });

    for (const bool gbk : {true, false}) {
        const std::string prefix = gbk ? "/gbk" : "/utf8";
        auto site = [this, prefix, gbk](const httplib::Request &req) {
            std::string host = req.get_header_value("Host");
            if (host.empty())
                host = "127.0.0.1:" + std::to_string(m_port);
            return Site{host, prefix, gbk};
        };

        const std::string searchRoute = prefix + "/search/";
        server.Get(searchRoute + ".*", [site, searchRoute](const httplib::Request &req, httplib::Response &res) {
            const Site s = site(req);
            s.Send(res, s.Head("搜索") + Listing(s, DecodeKeyword(PathTail(req, searchRoute))) + "</body></html>\n");
        });
        server.Get(prefix + "/nodata/.*", [site](const httplib::Request &req, httplib::Response &res) {
            const Site s = site(req);
            s.Send(res, s.Head("搜索") + Listing(s, {}) + "<p class=\"tip\">暂无数据</p>\n</body></html>\n");
        });
        server.Get(prefix + "/blank/.*", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(), "text/html");
        });
        server.Get(prefix + R"(/book/(\d+)/)", [site](const httplib::Request &req, httplib::Response &res) {
            const int work = Number(req.matches[1]);
            if (!ValidWork(work)) {
                res.status = 404;
                return;
            }
            site(req).Send(res, WorkPage(site(req), work));
        });
        server.Get(prefix + R"(/book/(\d+)/toc\.html)", [site](const httplib::Request &req, httplib::Response &res) {
            const int work = Number(req.matches[1]);
            if (!ValidWork(work)) {
                res.status = 404;
                return;
            }
            site(req).Send(res, TocPage(site(req), work));
        });
        server.Get(prefix + R"(/book/(\d+)/(\d+)\.html)", [site](const httplib::Request &req, httplib::Response &res) {
            const int work = Number(req.matches[1]);
            const int chapter = Number(req.matches[2]);
            if (!ValidChapter(work, chapter)) {
                res.status = 404;
                return;
            }
            site(req).Send(res, ChapterPage(site(req), work, chapter));
        });
        server.Get(prefix + R"(/cover/(\d+)\.(png|jpg))", [](const httplib::Request &req, httplib::Response &res) {
            const int work = Number(req.matches[1]);
            const bool jpeg = req.matches[2] == "jpg";
            if (work == 1 && !jpeg) {
                res.set_content(reinterpret_cast<const char *>(fixture_covers::kCoverPng),
                                fixture_covers::kCoverPng_len, "image/png");
            } else if (work == 2 && jpeg) {
                res.set_content(reinterpret_cast<const char *>(fixture_covers::kCoverJpeg),
                                fixture_covers::kCoverJpeg_len, "image/jpeg");
            } else {
                res.status = 404;
                res.set_content("not found", "text/plain");
            }
        });
    }
}

std::string FixtureSite::ChapterFileText(int work, int chapter)
{
    std::string text;
    for (const std::string &paragraph : ChapterParagraphs(work, chapter))
        text += "    " + paragraph + "\r\n";
    return Utf8ToGbk(text);
}
