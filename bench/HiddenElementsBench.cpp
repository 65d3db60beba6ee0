// The head and hidden elements of a homepage and of a copy on pages of
// several megabytes full of the anchors the placement tables look for: a
// search box and a heading of the page's own come first, the hidden
// elements of an earlier run follow.

#include "optimizer/DoorwayTerms.h"
#include "optimizer/HeadElements.h"
#include "optimizer/HiddenElements.h"
#include "optimizer/RandomSource.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

std::string bigPage(std::size_t megabytes)
{
    std::string page = "<html><HEAD><title>Alt</title></HEAD><BODY><FORM><input name=\"q\"></FORM><H1>Start</H1>";
    const std::string filler = "<p>Wir liefern <b>M&ouml;bel</b>&nbsp;und <a href=\"m.htm\">mehr</a>.</p><br>\r\n"
                               "<table><tr><td><font size=2>x</font></td></tr></table><blockquote>z</blockquote>\r\n";
    while (page.size() < megabytes * kMegabyte)
        page += filler;
    return page + "</BODY></html>";
}

class Cycle : public vantor::RandomSource
{
public:
    int next() override { return m_value++; }

private:
    int m_value = 0;
};

struct Setup {
    vantor::ProjectRecord record;
    vantor::ProjectOptions options;
    vantor::StartSigns signs;
    vantor::DoorwayTerms doorways;
    vantor::RunLog log;
    Cycle random;
    vantor::PageContext context;

    Setup()
    {
        options.hiddenForm = 3;
        options.text = 3;
        record.author = "Firma";
        record.description = "Beschreibung";
        record.title1 = "Titel";
        record.scope = 2;
        for (std::size_t k = 0; k < 30; ++k)
            record.homepageKeywords[k] = "Begriff" + std::to_string(k);
        for (std::size_t m = 0; m < 9; ++m)
            for (std::size_t v = 0; v < 15; ++v)
                record.copyKeywords[m][v] = "Kopie" + std::to_string(m) + "x" + std::to_string(v);
        for (std::size_t i = 0; i < 300; i += 3)
            doorways.slots[i].term = "Tuer" + std::to_string(i);
        context.record = &record;
        context.options = &options;
        context.signs = &signs;
        context.doorways = &doorways;
        context.log = &log;
        context.random = &random;
        context.lineEnd = "\r\n";
        context.homepageFileName = "index.htm";
        context.homepageExtension = "htm";
    }

    void homepage(std::string &page)
    {
        const vantor::FrameState frames = vantor::repairFrames(context, page, true);
        vantor::writeHomepageHeader(context, page);
        vantor::writeHomepageHtmlData(context, page);
        vantor::writeHomepageHidden(context, page, frames);
    }
};

// The second run over a page the first one optimised.
void optimiseHomepageAgain(benchmark::State &state)
{
    Setup setup;
    std::string original = bigPage(static_cast<std::size_t>(state.range(0)));
    setup.homepage(original);
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        setup.homepage(page);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(optimiseHomepageAgain)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// The main file of copy 1, which links all eight other copies.
void optimiseFirstCopy(benchmark::State &state)
{
    Setup setup;
    std::string original = bigPage(static_cast<std::size_t>(state.range(0)));
    setup.homepage(original);
    for (auto _ : state) {
        state.PauseTiming();
        std::string page = original;
        state.ResumeTiming();
        vantor::optimizeCopyText(setup.context, page, 1, 0);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(original.size()));
}
BENCHMARK(optimiseFirstCopy)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

} // namespace
