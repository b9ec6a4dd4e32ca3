// Downloading 500 chapters from the fixture novel site, each response held
// back by 20 ms as a distant site would: chapters per second, and how close
// the download comes to the ideal sequential time of 500 x 20 ms.

#include "novel/ChapterDownload.h"
#include "novel/NovelFetcher.h"
#include "novel/NovelWorkflow.h"
#include "support/FixtureSite.h"
#include "support/TempFolder.h"
#include "text/CodePage.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kChapters = 500;
constexpr int kLatencyMs = 20;

void BM_DownloadChapters(benchmark::State &state)
{
    FixtureSite site;
    if (!site.ok()) {
        state.SkipWithError("the fixture site could not start");
        return;
    }
    NovelFetcher fetcher;
    const ActiveSource source = site.Source(false);
    const WorkOutcome work = LoadWork(fetcher, source, site.SiteUrl(false) + "/book/1/", FetchChoices{});
    std::vector<MarkedChapter> marked;
    for (int i = 0; i < kChapters && i < static_cast<int>(work.chapters.size()); ++i)
        marked.push_back({work.chapters[static_cast<size_t>(i)].title, work.chapters[static_cast<size_t>(i)].address});
    if (static_cast<int>(marked.size()) != kChapters) {
        state.SkipWithError("the fixture work has too few chapters");
        return;
    }
    site.SetLatency(kLatencyMs);

    for (auto _ : state) {
        TempFolder program;
        const auto folder = ChapterDownload::PrepareFolders(program.path(), source.name, Utf8ToGbk("星辰之海"));
        ChapterDownload download(fetcher, source.chapterContent);
        const DownloadReport report = download.Run(folder, marked);
        benchmark::DoNotOptimize(report.written);
    }
    state.counters["chapters_per_second"] =
        benchmark::Counter(static_cast<double>(kChapters) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    // Ideal: one latency per chapter and nothing else. The ratio is the
    // measured time per download over that ideal (1.0 would be perfect).
    state.counters["ideal_seconds"] = kChapters * kLatencyMs / 1000.0;
}

BENCHMARK(BM_DownloadChapters)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

} // namespace
