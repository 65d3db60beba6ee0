// Project files of any size must load in about their own size and save in one
// pass: some users keep tens of megabytes of hand-made lists in theirs.
// The memory peaks are measured by vantor_project_memory, one process each.

#include "ProjectBenchSetup.h"

#include "platform/Profile.h"
#include "project/ProjectFile.h"

#include <benchmark/benchmark.h>

namespace {

using namespace vantor;

void loadFiftyMegabytesOfLineEnds(benchmark::State &state)
{
    bench::ProjectDirectory dir;
    bench::writeBareLineEnds(dir.path("big"), 50);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadProjectData("big"));
        benchmark::DoNotOptimize(LoadProjectOptions("big"));
    }
}
BENCHMARK(loadFiftyMegabytesOfLineEnds)->Unit(benchmark::kMillisecond)->Iterations(3);

void profileLoadFiftyMegabytesOfLineEnds(benchmark::State &state)
{
    bench::ProjectDirectory dir;
    bench::writeBareLineEnds(dir.path("big"), 50);
    for (auto _ : state) {
        ProfileFile profile;
        benchmark::DoNotOptimize(profile.load(dir.path("big")));
        benchmark::DoNotOptimize(profile.value("research", "1"));
    }
}
BENCHMARK(profileLoadFiftyMegabytesOfLineEnds)->Unit(benchmark::kMillisecond)->Iterations(3);

void saveIntoFiftyMegabytesOfLineEnds(benchmark::State &state)
{
    bench::ProjectDirectory dir;
    bench::writeBareLineEnds(dir.path("big"), 50);
    bench::fillRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(SaveProjectData("big"));
}
BENCHMARK(saveIntoFiftyMegabytesOfLineEnds)->Unit(benchmark::kMillisecond)->Iterations(1);

void saveNormalProject(benchmark::State &state)
{
    bench::ProjectDirectory dir;
    bench::fillRecord();
    SaveProjectData("shop");
    SaveProjectOptions("shop");
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveProjectData("shop"));
        benchmark::DoNotOptimize(SaveProjectOptions("shop"));
    }
}
BENCHMARK(saveNormalProject)->Unit(benchmark::kMicrosecond);

void loadNormalProject(benchmark::State &state)
{
    bench::ProjectDirectory dir;
    bench::fillRecord();
    SaveProjectData("shop");
    SaveProjectOptions("shop");
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadProjectData("shop"));
        benchmark::DoNotOptimize(LoadProjectOptions("shop"));
    }
}
BENCHMARK(loadNormalProject)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
