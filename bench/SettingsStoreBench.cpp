// A command of the command line reads the settings a dozen times and more
// (start-up alone asks for every Internet value, the program directory, the
// last project, the tip and the user level). The file is read again only
// when it changed; these cases show what a command costs and how often the
// file is actually read.

#include "Cli.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Sandbox {
    Sandbox()
    {
        dir = fs::temp_directory_path() / ("vantor-settings-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ::setenv("VANTOR_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        ::setenv("VANTOR_DATA_DIR", VANTOR_SOURCE_DATA_DIR, 1);
        vantor::setSettingsStorePath(vantor::SettingsStore::defaultFilePath());
    }
    ~Sandbox() { fs::remove_all(dir); }
    fs::path dir;
};

// Every call is a fresh program: its own store, nothing cached.
int runCommand(const std::vector<std::string> &args)
{
    vantor::setSettingsStorePath(vantor::SettingsStore::defaultFilePath());
    vantor::programSettings() = vantor::ProgramSettings{};
    std::ostringstream out, err;
    vantor::Cli cli(out, err);
    return cli.run(args);
}

void BM_ProjectListCommand(benchmark::State &state)
{
    Sandbox sandbox;
    // A settings file with some history: a hundred projects.
    for (int i = 0; i < 100; ++i)
        vantor::settingsStore().createSubkey("projekt" + std::to_string(i));
    runCommand({"project", "list"});
    std::size_t reads = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runCommand({"project", "list"}));
        reads = vantor::settingsStore().fileReads();
    }
    state.counters["file_reads_per_command"] = static_cast<double>(reads);
}
BENCHMARK(BM_ProjectListCommand)->Unit(benchmark::kMicrosecond);

void BM_ReadUnchangedValue(benchmark::State &state)
{
    Sandbox sandbox;
    vantor::SettingsStore &store = vantor::settingsStore();
    for (int i = 0; i < 100; ++i)
        store.createSubkey("projekt" + std::to_string(i));
    store.writeNumber("tip", 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.readNumber("tip"));
}
BENCHMARK(BM_ReadUnchangedValue);

} // namespace

BENCHMARK_MAIN();
