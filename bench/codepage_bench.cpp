#include "text/CodePage.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// About a megabyte of mixed Chinese and ASCII, like a fetched page.
std::string PageUtf8()
{
    std::string page;
    while (page.size() < (1u << 20))
        page += "<p>\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0 chapter one, \xE6\x96\x97\xE7\xA0\xB4\xE8\x8B\x8D\xE7\xA9\xB9</p>\n";
    return page;
}

void BM_Utf8ToGbk(benchmark::State &state)
{
    const std::string page = PageUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToGbk(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Utf8ToGbk)->Unit(benchmark::kMillisecond);

void BM_GbkToUtf8(benchmark::State &state)
{
    const std::string page = Utf8ToGbk(PageUtf8());
    for (auto _ : state)
        benchmark::DoNotOptimize(GbkToUtf8(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_GbkToUtf8)->Unit(benchmark::kMillisecond);

void BM_CharsetToGbkUtf8(benchmark::State &state)
{
    const std::string page = PageUtf8();
    std::string out;
    for (auto _ : state) {
        CharsetToGbk(page, "utf-8", out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CharsetToGbkUtf8)->Unit(benchmark::kMillisecond);

} // namespace
