// Every page operation starts with a literal search, and the anchors we look
// for mostly begin with '<', the commonest byte of any page.

#include "optimizer/FindLiteral.h"
#include "optimizer/PageText.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kPageSize = 1024 * 1024;

// 1 MB of dense markup with the anchor only at its very end.
std::string markupEndingIn(const std::string &anchor)
{
    const std::string filler = "<tr><td><a href=\"a.htm\">A</a></td><td><b>B</b></td></tr>\r\n";
    std::string page;
    page.reserve(kPageSize + anchor.size());
    while (page.size() + filler.size() <= kPageSize)
        page += filler;
    page += anchor;
    return page;
}

const std::string kAnchor = "</BODY>";

void findAnchorStringFind(benchmark::State &state)
{
    const std::string page = markupEndingIn(kAnchor);
    for (auto _ : state)
        benchmark::DoNotOptimize(page.find(kAnchor));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(findAnchorStringFind)->Unit(benchmark::kMicrosecond);

void findAnchorMemmem(benchmark::State &state)
{
    const std::string page = markupEndingIn(kAnchor);
    for (auto _ : state)
        benchmark::DoNotOptimize(::memmem(page.data(), page.size(), kAnchor.data(), kAnchor.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(findAnchorMemmem)->Unit(benchmark::kMicrosecond);

void findAnchorFindLiteral(benchmark::State &state)
{
    const std::string page = markupEndingIn(kAnchor);
    for (auto _ : state)
        benchmark::DoNotOptimize(vantor::findLiteral(page, kAnchor));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(findAnchorFindLiteral)->Unit(benchmark::kMicrosecond);

// The whole operation: the insertion at the end costs next to nothing, so
// this is the search as the optimiser sees it.
void insertBeforeFarAnchor(benchmark::State &state)
{
    const std::string original = markupEndingIn(kAnchor);
    std::string page = original;
    for (auto _ : state) {
        vantor::insertBefore("x", kAnchor, page);
        state.PauseTiming();
        page.resize(original.size() - kAnchor.size());
        page += kAnchor;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(insertBeforeFarAnchor)->Unit(benchmark::kMicrosecond);

} // namespace
