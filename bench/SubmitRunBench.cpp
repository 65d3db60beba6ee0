// A full submission: 1,000 documents to three engines on this machine. The
// run is paced by its own pauses (after every batch, before the next batch
// or target, between polling rounds), so the figure that matters is how far
// the run's time lies above the sum of the pauses it made: that difference
// is what scheduling, the requests and the showing cost. The workers and the
// memory peak show that a long run keeps to 45 threads and does not pile up
// what it has shown.

#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"
#include "submit/SubmitRun.h"
#include "ui/Ui.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kDocuments = 1000;
constexpr int kEngines = 3;
const char *const kOkay = "Vielen Dank, Ihre Seite wurde aufgenommen";

// The settings (time-outs, access type) come from a store of the bench's
// own, not from the user's.
struct Sandbox {
    Sandbox()
    {
        dir = fs::temp_directory_path() / ("vantor-submit-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ::setenv("VANTOR_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        vantor::setSettingsStorePath(vantor::SettingsStore::defaultFilePath());
        vantor::programSettings().accessType = vantor::ProgramSettings::kAccessDirect;
    }
    ~Sandbox() { fs::remove_all(dir); }
    fs::path dir;
};

// The engines: every request is accepted. One connection per request, and
// threads enough for all workers at once, so the server never makes a
// worker wait.
class Engines
{
public:
    Engines()
    {
        m_server.new_task_queue = [] { return new httplib::ThreadPool(64); };
        m_server.set_keep_alive_max_count(1);
        m_server.Get(".*", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string("<html><body>\n") + kOkay + "\n</body></html>\n", "text/html");
        });
        m_server.Post(".*", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string("<html><body>\n") + kOkay + "\n</body></html>\n", "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~Engines()
    {
        m_server.stop();
        m_thread.join();
    }
    int port() const { return m_port; }

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};

// Sleeps for real, keeps no window alive, and adds up what it slept.
class PacedUi : public vantor::Ui
{
public:
    void message(const std::string &, const std::string &) override {}
    bool question(const std::string &, const std::string &) override { return true; }
    bool questionWith(const std::string &, const std::string &, const std::string &, const std::string &) override
    {
        return true;
    }
    void systemError(const std::string &title, const std::string &text) override
    {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    void showWait(const std::string &) override {}
    void closeWait() override {}
    vantor::ConnectionAnswer connectionError(const std::string &, const std::string &, bool) override
    {
        return vantor::ConnectionAnswer::Cancel;
    }
    bool credentials(const std::string &, std::string &, std::string &) override { return false; }
    void progress(int, int) override {}
    void pump() override {}
    void pause(int milliseconds) override
    {
        m_pausedMs += milliseconds;
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }

    long long pausedMs() const { return m_pausedMs; }

private:
    long long m_pausedMs = 0;
};

vantor::SubmitRunInput input(int port)
{
    vantor::SubmitRunInput in;
    const std::string server = "127.0.0.1:" + std::to_string(port);
    in.homepage = server + "/index.htm";
    in.email = "info@gaertnerei.example";
    for (int i = 0; i < kDocuments; ++i)
        in.documents.push_back(server + "/seiten/dokument" + std::to_string(i) + ".htm");
    for (int e = 1; e <= kEngines; ++e) {
        const std::string name = "Sucher" + std::to_string(e);
        in.targets.push_back(name);
        const std::string key = name + ".";
        in.submitText += "G." + std::to_string(e) + "=" + name + "\r\n";
        in.submitText += key + "SERVER=" + server + "\r\n";
        in.submitText += key + "ONLYHOMEPAGE=0\r\n";
        in.submitText += key + "OKAY=" + kOkay + "\r\n";
        in.submitText += key + "CONVERT=1\r\n";
        in.submitText += key + "ERROR=Fehler\r\n";
        in.submitText += key + "WRONG=abgelehnt\r\n";
        in.submitText += key + "ALREADY=bereits eingetragen\r\n";
        in.submitText += key + "DOWN=Wartung\r\n";
        in.submitText += key + "VERB=1\r\n";
        in.submitText += key + "HTTP1=/add?url=[URL]&email=[MAIL]\r\n";
        in.submitText += key + "REPLACEURL=[URL]\r\n";
        in.submitText += key + "REPLACEEMAIL=[MAIL]\r\n";
    }
    return in;
}

long peakRssKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void BM_SubmitThousandDocumentsToThreeEngines(benchmark::State &state)
{
    Sandbox sandbox;
    Engines engines;
    for (auto _ : state) {
        PacedUi ui;
        vantor::NullSubmitView view;
        vantor::SubmitRun::resetMakerReport();
        vantor::SubmitRun run(ui, view, input(engines.port()));
        const auto start = std::chrono::steady_clock::now();
        const vantor::SubmitRun::Result result = run.run();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result != vantor::SubmitRun::Result::Done) {
            state.SkipWithError("the run did not work through its targets");
            break;
        }
        // Every engine answered OKAY, so nothing but the three summaries
        // may be in the report.
        if (run.report().size() != kEngines) {
            state.SkipWithError("the report holds problem lines");
            break;
        }
        const double floor = static_cast<double>(ui.pausedMs()) / 1000.0;
        state.counters["total_s"] = seconds;
        state.counters["floor_s"] = floor;
        state.counters["ratio"] = floor > 0 ? seconds / floor : 0.0;
        state.counters["peak_workers"] = run.peakWorkers();
        state.counters["peak_rss_mb"] = static_cast<double>(peakRssKilobytes()) / 1024.0;
    }
}
BENCHMARK(BM_SubmitThousandDocumentsToThreeEngines)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
