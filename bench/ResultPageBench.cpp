// The scan of one result page at the size the page buffer allows: 45
// workers scan at once during a position check, so one scan has to stay
// far below a millisecond. The same scan with glibc's memmem and with
// std::string::find in place of the quick search shows what the skip table
// is worth; the program's scan should be at least as fast as memmem's.

#include "position/PositionEngine.h"
#include "position/ResultPage.h"
#include "position/TextSearch.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

using namespace vantor;

PositionEngine engine()
{
    PositionEngine e;
    e.resultMarker = "</li>";
    e.startAfter = "<ol class=\"treffer\">";
    e.stopAfter = "NULL";
    e.mark1 = "<h3 class=\"titel\">";
    e.mark2 = "<cite>";
    return e;
}

// About 88 KB: a hundred results, the site in the last one.
std::string fullPage()
{
    std::string page = "<html><body><ol class=\"treffer\">\r\n";
    for (int i = 0; page.size() < 86000; ++i)
        page += "<li class=\"eintrag\"><h3 class=\"titel\"><a href=\"http://www.anbieter" + std::to_string(i)
            + ".example/\">Stauden und Kr\xE4uter aus eigener Anzucht</a></h3>\r\n<cite>www.anbieter"
            + std::to_string(i) + ".example/</cite>\r\n<p>Gro\xDF" "e Auswahl an Stauden, Kr\xE4utern und "
            "Obstgeh\xF6lzen, Beratung vor Ort und Versand in ganz Deutschland.</p></li>\r\n";
    page += "<li class=\"eintrag\"><h3 class=\"titel\"><a href=\"http://www.gaertnerei-sonnenblume.example/\">"
            "G\xE4rtnerei Sonnenblume</a></h3>\r\n<cite>www.gaertnerei-sonnenblume.example/</cite></li>\r\n</ol>";
    return page;
}

void BM_ScanFullPage(benchmark::State &state)
{
    const PositionEngine e = engine();
    const std::string text = fullPage();
    ResultPage page(e, {"www.gaertnerei-sonnenblume.example"});
    page.feed(text);
    page.finish();
    for (auto _ : state)
        benchmark::DoNotOptimize(page.scan(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanFullPage);

void BM_ReadFullPageInPieces(benchmark::State &state)
{
    const PositionEngine e = engine();
    const std::string text = fullPage();
    for (auto _ : state) {
        ResultPage page(e, {"www.gaertnerei-sonnenblume.example"});
        for (std::size_t at = 0; at < text.size(); at += 16384)
            page.feed(std::string_view(text).substr(at, 16384));
        page.finish();
        benchmark::DoNotOptimize(page.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadFullPageInPieces);

// The scan of the page, step for step as the program does it, with another
// search in place of the quick search: 1-based positions, a search from p
// looking from p + 2 on, the patterns appended as sentinels.
template<typename Find>
int referenceScan(const std::string &page, const PositionEngine &e, const std::string &site, Find find)
{
    const std::size_t length = page.size();
    std::string text = page + site + e.startAfter + e.mark1 + e.mark2 + e.resultMarker + e.stopAfter;
    std::size_t d = find(text, e.startAfter, 0);
    int counted = 0;
    std::size_t f = 0;
    for (;;) {
        if (f < d + 2)
            f = find(text, site, d);
        if (f > length)
            return -1;
        const std::size_t m1 = find(text, e.mark1, d);
        const std::size_t m2 = find(text, e.mark2, m1);
        const std::size_t g = find(text, e.resultMarker, d);
        if (f > g && m1 < g && m2 < g) {
            ++counted;
            d = g + e.resultMarker.size();
        } else if (f < g && m1 < g && g <= length) {
            return counted + 1;
        } else if (m2 > g) {
            d = m2 + e.mark2.size() - 1;
        } else if (m1 > g) {
            d = m1 + e.mark1.size() - 1;
        } else {
            d = g + e.resultMarker.size() - 1;
        }
        if (d > length)
            return -1;
    }
}

std::size_t withMemmem(const std::string &text, const std::string &pattern, std::size_t from)
{
    const std::size_t start = from == 0 ? 0 : from + 1;
    if (start > text.size())
        return text.size() + 1;
    const void *at = ::memmem(text.data() + start, text.size() - start, pattern.data(), pattern.size());
    return at == nullptr ? text.size() + 1 : static_cast<std::size_t>(static_cast<const char *>(at) - text.data()) + 1;
}

std::size_t withFind(const std::string &text, const std::string &pattern, std::size_t from)
{
    const std::size_t at = text.find(pattern, from == 0 ? 0 : from + 1);
    return at == std::string::npos ? text.size() + 1 : at + 1;
}

void BM_ScanFullPageWithMemmem(benchmark::State &state)
{
    const PositionEngine e = engine();
    const std::string text = fullPage();
    const std::string site = "www.gaertnerei-sonnenblume.example";
    ResultPage page(e, {site});
    page.feed(text);
    page.finish();
    // Both find the site in the same entry, or the comparison means nothing.
    if (referenceScan(text, e, site, withMemmem) != page.scan(0).position)
        state.SkipWithError("memmem scan differs");
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceScan(text, e, site, withMemmem));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanFullPageWithMemmem);

void BM_ScanFullPageWithFind(benchmark::State &state)
{
    const PositionEngine e = engine();
    const std::string text = fullPage();
    const std::string site = "www.gaertnerei-sonnenblume.example";
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceScan(text, e, site, withFind));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ScanFullPageWithFind);

void BM_QuickSearchVersusFind(benchmark::State &state)
{
    const std::string text = fullPage();
    const std::string pattern = "www.gaertnerei-sonnenblume.example";
    const TextSearch search(pattern);
    for (auto _ : state) {
        if (state.range(0) == 0)
            benchmark::DoNotOptimize(search.findIn(text, 0));
        else
            benchmark::DoNotOptimize(text.find(pattern));
    }
}
BENCHMARK(BM_QuickSearchVersusFind)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
