// "preview --site" on a site of 10,000 pages: every page's head read, its
// title and description measured, doubles found. Has to stay under 3 s.

#include "wizard/SiteSnippets.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using namespace vantor;

const std::string &homepage()
{
    static const std::string path = [] {
        const std::filesystem::path dir
            = std::filesystem::temp_directory_path() / ("vantor-site-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        for (int i = 0; i < 10000; ++i) {
            const std::filesystem::path folder = dir / ("bereich" + std::to_string(i / 500));
            std::filesystem::create_directories(folder);
            std::ofstream(folder / ("seite" + std::to_string(i) + ".htm"))
                << "<html><head><meta charset=\"utf-8\"><title>Stauden und Kräuter Nummer " << i % 9000
                << " aus eigener Anzucht</title><meta name=\"description\" content=\"Die Gärtnerei zieht Stauden, "
                   "Kräuter und Obstgehölze selbst an; Seite "
                << i << ".\"></head><body>" << std::string(3000, 'x') << "</body></html>";
        }
        std::ofstream(dir / "index.htm") << "<html><head><title>Start</title></head><body></body></html>";
        return (dir / "index.htm").string();
    }();
    return path;
}

void BM_SiteSurvey(benchmark::State &state)
{
    const std::string &path = homepage();
    std::size_t pages = 0;
    for (auto _ : state) {
        const auto rows = sitesnippets::survey(path, {}, 0);
        pages = rows.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_SiteSurvey)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
