// The rank history of a busy year: 1,000 terms at 3 engines, checked daily
// for 365 days (about 1.1 million checks). "ranks show" (the latest state of
// every pair) and the trend report (each pair's last 30 checks and the page)
// have to stay under a second each, the database under 100 MB.

#include "position/RankReport.h"
#include "position/RankStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace vantor;

const std::string &databasePath()
{
    static const std::string path = [] {
        const std::filesystem::path dir
            = std::filesystem::temp_directory_path() / ("vantor-rank-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string file = (dir / "jahr.ranks.sqlite").string();
        RankStore store;
        if (!store.open(file))
            std::abort();
        const char *engines[] = {"Suchfix", "Findling", "Sp\xFCrnase"};
        std::vector<PositionRecord> run;
        for (int day = 0; day < 365; ++day) {
            run.clear();
            for (const char *engine : engines) {
                for (int term = 0; term < 1000; ++term) {
                    PositionRecord r;
                    r.engine = engine;
                    r.term = "suchbegriff nummer " + std::to_string(term);
                    r.depth = 30;
                    const int roll = (term * 7 + day * 13) % 10;
                    if (roll < 6) {
                        r.outcome = PositionOutcome::Found;
                        r.position = 1 + (term + day) % 30;
                        r.domain = "www.gaertnerei-sonnenblume.example";
                        r.link = "suchfix.example/suche?q=suchbegriff+nummer+" + std::to_string(term);
                    } else if (roll < 9) {
                        r.outcome = PositionOutcome::NotInTop;
                    } else {
                        r.outcome = PositionOutcome::NoAnswer;
                    }
                    run.push_back(std::move(r));
                }
            }
            if (store.record(1'735'689'600LL + day * 86'400LL, run) == 0)
                std::abort();
        }
        return file;
    }();
    return path;
}

double megabytes(const std::string &path)
{
    std::uintmax_t size = 0;
    for (const char *suffix : {"", "-wal"}) {
        std::error_code ec;
        const auto part = std::filesystem::file_size(path + suffix, ec);
        if (!ec)
            size += part;
    }
    return static_cast<double>(size) / (1024.0 * 1024.0);
}

void BM_RanksShow(benchmark::State &state)
{
    const std::string &path = databasePath();
    for (auto _ : state) {
        RankStore store;
        store.open(path);
        std::string text = rankreport::showHeader();
        for (const RankStore::Pair &pair : store.pairs())
            text += rankreport::showLine(pair) + "\n";
        benchmark::DoNotOptimize(text);
    }
    state.counters["MB"] = megabytes(path);
}
BENCHMARK(BM_RanksShow)->Unit(benchmark::kMillisecond);

void BM_RanksReport(benchmark::State &state)
{
    const std::string &path = databasePath();
    std::size_t bytes = 0;
    for (auto _ : state) {
        RankStore store;
        store.open(path);
        const std::vector<RankStore::Pair> pairs = store.pairs();
        rankreport::History history;
        for (const RankStore::Pair &pair : pairs)
            history[{pair.engine, pair.term}] = store.history(pair.engine, pair.term, rankreport::kChartChecks);
        const std::string page = rankreport::html(pairs, history, "Jahr", 1'767'225'600LL);
        bytes = page.size();
        benchmark::DoNotOptimize(page);
    }
    state.counters["page_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_RanksReport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
