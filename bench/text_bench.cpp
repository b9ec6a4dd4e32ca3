// Text processing against the plain alternatives, in one run:
//   chapter-link expression over a 2,000-chapter table of contents and a
//   chapter-body expression over a 100 KB page (RegexEngine vs std::regex),
//   HtmlToText over a 100 KB chapter (vs a tag-stripping loop),
//   GbkToUtf8 / Utf8ToGbk over 1 MB (vs glibc iconv).
#include "text/CodePage.h"
#include "text/HtmlToText.h"
#include "text/RegexEngine.h"

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <pthread.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::string G(const std::string &utf8)
{
    return Utf8ToGbk(utf8);
}

const std::string &TableOfContents()
{
    static const std::string page = [] {
        std::string out = "<html><head><title>" + G("目录") + "</title></head><body><dl>\n";
        for (int i = 1; i <= 2000; ++i)
            out += "<dd><a href=\"/book/1/" + std::to_string(100000 + i) + ".html\">" +
                   G("第" + std::to_string(i) + "章 风起云涌之夜") + "</a></dd>\n";
        return out + "</dl></body></html>";
    }();
    return page;
}

const std::string kChapterLink = R"re(<dd><a href="(/book/1/\d+\.html)">(.+?)</a></dd>)re";
const std::string kChapterBody = R"re(<div id="content">([\s\S]*?)</div>)re";

// A chapter page of about 100 KB in the code page.
const std::string &ChapterPage()
{
    static const std::string page = [] {
        std::string body;
        while (body.size() < 100 * 1024)
            body += G("&nbsp;&nbsp;&nbsp;&nbsp;夜色渐深，山风吹过林间，他握紧了手中的剑。<br />\r\n<br />\r\n");
        return "<html><body><div class=\"nav\">" + G("上一章") + "</div><div id=\"content\">" + body +
               "</div><div class=\"nav\">" + G("下一章") + "</div></body></html>";
    }();
    return page;
}

const std::string &ChapterBody()
{
    static const std::string body = LastMatchGroup(ChapterPage(), kChapterBody);
    return body;
}

const std::string &MegabyteUtf8()
{
    static const std::string text = [] {
        std::string out;
        while (out.size() < 1024 * 1024)
            out += "第一章 风起云涌 The night was deep; 山风吹过林间，他握紧了手中的剑。\n";
        return out;
    }();
    return text;
}

const std::string &MegabyteGbk()
{
    static const std::string text = G(MegabyteUtf8());
    return text;
}

void BM_ChapterLinks_RegexEngine(benchmark::State &state)
{
    for (auto _ : state) {
        RegexEngine engine;
        engine.Search(kChapterLink, TableOfContents(), true, true, true, true);
        std::vector<std::string> rows;
        for (int i = 1; i <= engine.MatchCount(); ++i) {
            rows.push_back(engine.SubMatch(i, 1));
            rows.push_back(engine.SubMatch(i, 2));
        }
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ChapterLinks_RegexEngine)->Unit(benchmark::kMillisecond);

void BM_ChapterLinks_StdRegex(benchmark::State &state)
{
    for (auto _ : state) {
        const std::regex expression(kChapterLink);
        std::vector<std::string> rows;
        const std::string &page = TableOfContents();
        for (std::sregex_iterator it(page.begin(), page.end(), expression), end; it != end; ++it) {
            rows.push_back((*it)[1].str());
            rows.push_back((*it)[2].str());
        }
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_ChapterLinks_StdRegex)->Unit(benchmark::kMillisecond);

void BM_ChapterBody_RegexEngine(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(LastMatchGroup(ChapterPage(), kChapterBody));
}
BENCHMARK(BM_ChapterBody_RegexEngine)->Unit(benchmark::kMillisecond)->UseRealTime();

// libstdc++'s std::regex recurses once per character of [\s\S]*?: on a
// 100 KB page it overflows an 8 MB stack, so it runs on a thread with a
// stack big enough for it.
void *StdRegexChapterBody(void *result)
{
    const std::regex expression(kChapterBody);
    std::smatch match;
    if (std::regex_search(ChapterPage(), match, expression))
        *static_cast<std::string *>(result) = match[1].str();
    return nullptr;
}

void BM_ChapterBody_StdRegex(benchmark::State &state)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, size_t{1} << 30);
    for (auto _ : state) {
        std::string body;
        pthread_t thread;
        if (pthread_create(&thread, &attributes, StdRegexChapterBody, &body) == 0)
            pthread_join(thread, nullptr);
        benchmark::DoNotOptimize(body);
    }
    pthread_attr_destroy(&attributes);
}
BENCHMARK(BM_ChapterBody_StdRegex)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HtmlToText(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(HtmlToText(ChapterBody()));
}
BENCHMARK(BM_HtmlToText)->Unit(benchmark::kMillisecond);

// Drops tags, turns <br> into a line break and &nbsp; into a space: what a
// hand-written cleaner does, without entities, blocks or white space rules.
std::string StripTags(const std::string &html)
{
    std::string out;
    out.reserve(html.size());
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            if (html.compare(i, 3, "<br") == 0)
                out += "\r\n";
            i = end == std::string::npos ? html.size() : end + 1;
        } else if (html.compare(i, 6, "&nbsp;") == 0) {
            out += ' ';
            i += 6;
        } else {
            out += html[i++];
        }
    }
    return out;
}

void BM_HtmlToText_StripTags(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(StripTags(ChapterBody()));
}
BENCHMARK(BM_HtmlToText_StripTags)->Unit(benchmark::kMillisecond);

std::string Iconv(const char *to, const char *from, const std::string &text)
{
    iconv_t cd = iconv_open(to, from);
    std::string out(text.size() * 2 + 16, '\0');
    char *in = const_cast<char *>(text.data());
    size_t inLeft = text.size();
    char *outPtr = out.data();
    size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

void BM_GbkToUtf8(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GbkToUtf8(MegabyteGbk()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * MegabyteGbk().size()));
}
BENCHMARK(BM_GbkToUtf8)->Unit(benchmark::kMillisecond);

void BM_GbkToUtf8_Iconv(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Iconv("UTF-8", "GB18030", MegabyteGbk()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * MegabyteGbk().size()));
}
BENCHMARK(BM_GbkToUtf8_Iconv)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToGbk(MegabyteUtf8()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * MegabyteUtf8().size()));
}
BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk_Iconv(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Iconv("GB18030", "UTF-8", MegabyteUtf8()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * MegabyteUtf8().size()));
}
BENCHMARK(BM_Utf8ToGbk_Iconv)->Unit(benchmark::kMillisecond);

} // namespace
