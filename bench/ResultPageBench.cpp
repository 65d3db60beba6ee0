// The scan of one result page at the size the page buffer allows: 45
// workers scan at once during a position check, so one scan has to stay
// far below a millisecond. Also the quick search against std::string::find
// on the same page.

#include "position/PositionEngine.h"
#include "position/ResultPage.h"
#include "position/TextSearch.h"

#include <benchmark/benchmark.h>

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
