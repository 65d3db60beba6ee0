// Whole-page operations must stay linear in the page size: the optimiser
// runs them on every page of a site, and some sites are anything but small.

#include "optimizer/PageText.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

// Ordinary markup with a term marker about every 100 bytes: 10,000 markers in
// 1 MB, twice and four times as many in the larger pages.
std::string pageOf(std::size_t size)
{
    const std::string marker = "%Suchbegriff%";
    const std::string filler = "<p class=\"t\">Wir liefern <b>Gartenm&ouml;bel</b> und mehr.</p>\r\n";
    const std::size_t markers = size / kMegabyte * 10000;
    const std::size_t stride = size / markers;
    std::string page;
    page.reserve(size + stride);
    for (std::size_t placed = 0; page.size() < size; ++placed) {
        const std::size_t start = page.size();
        if (placed < markers)
            page += marker;
        while (page.size() - start < stride)
            page += filler.substr(0, stride - (page.size() - start));
    }
    page.resize(size);
    return page;
}

void replaceAllMarkers(benchmark::State &state)
{
    const std::string original = pageOf(static_cast<std::size_t>(state.range(0)) * kMegabyte);
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        vantor::replaceAll("Gartenm&ouml;bel", "%Suchbegriff%", page);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(replaceAllMarkers)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

void stripAllTags(benchmark::State &state)
{
    const std::string original = pageOf(static_cast<std::size_t>(state.range(0)) * kMegabyte);
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        vantor::stripTags(page);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(stripAllTags)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
