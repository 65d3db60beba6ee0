// Cleaning up after earlier runs removes our hidden link once per run that
// put it there; a page that was optimised often carries thousands of them.

#include "optimizer/PageText.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;
constexpr std::size_t kLinksPerMegabyte = 4000;

// 4,000 hidden links per megabyte, spread evenly over ordinary markup.
std::string pageWithLinks(std::size_t megabytes)
{
    const std::size_t pageSize = megabytes * kMegabyte;
    const std::size_t links = megabytes * kLinksPerMegabyte;
    const std::string link = "<a href=\"http://www.example.de/\"><img src=\"vantor.gif\" border=0 width=1 height=1></a>";
    const std::string filler = "<p class=\"t\">Wir liefern <b>Gartenm&ouml;bel</b> und <a href=\"m.htm\">mehr</a>.</p>\r\n";
    const std::size_t stride = pageSize / links;
    std::string page;
    page.reserve(pageSize + stride);
    for (std::size_t placed = 0; page.size() < pageSize; ++placed) {
        const std::size_t start = page.size();
        if (placed < links)
            page += link;
        while (page.size() - start < stride)
            page += filler.substr(0, stride - (page.size() - start));
    }
    return page;
}

void removeTrackingLinksOneByOne(benchmark::State &state)
{
    const std::string original = pageWithLinks(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        while (vantor::removeTrackingLink(page)) {
        }
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(removeTrackingLinksOneByOne)->Arg(1)->Unit(benchmark::kMillisecond);

void removeAllTrackingLinks(benchmark::State &state)
{
    const std::string original = pageWithLinks(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        benchmark::DoNotOptimize(vantor::removeAllTrackingLinks(page));
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(removeAllTrackingLinks)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
