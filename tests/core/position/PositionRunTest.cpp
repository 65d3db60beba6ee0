#include "TestEnvironment.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "position/PositionRun.h"
#include "project/ProgramSettings.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <mutex>
#include <thread>

using namespace vantor;

namespace {

class RecordingView : public PositionView
{
public:
    void slotCleared(int slot) override { lines[slot].clear(); }
    void lineAdded(int slot, const std::string &text, int image) override
    {
        lines[slot].push_back(text);
        images[slot].push_back(image);
    }
    void outcomeShown(int slot, const PositionRecord &record, const std::string &text, int image) override
    {
        const std::string &term = record.term;
        bool found = false;
        for (const std::string &line : lines[slot])
            found = found || line == "Abfragen: " + term;
        EXPECT_TRUE(found) << term;
        shown.push_back(toUtf8(text));
        shownImages.push_back(image);
        if (onShown)
            onShown();
    }
    void slotTitle(int slot, const std::string &text) override { titles[slot].push_back(toUtf8(text)); }
    void reportChanged(const std::vector<std::string> &) override {}
    void abortAvailable(bool available) override { abortStates.push_back(available); }

    std::vector<std::string> lines[3];
    std::vector<int> images[3];
    std::vector<std::string> titles[3];
    std::vector<std::string> shown;
    std::vector<int> shownImages;
    std::vector<bool> abortStates;
    std::function<void()> onShown;
};

// Result pages as an engine writes them: an ordered list, CR LF between
// the entries.
std::string resultPage(const std::vector<std::string> &sites, const std::string &outside = {})
{
    std::string text = "<html><body>\r\n<div class=\"anzeige\">" + outside + "</div>\r\n<ol>\r\n";
    for (const std::string &site : sites)
        text += "<li><a href=\"http://" + site + "/\">" + site + "</a> Beschreibung</li>\r\n";
    return text + "</ol>\r\n<p>" + outside + "</p></body></html>\r\n";
}

std::vector<std::string> others(int n)
{
    std::vector<std::string> sites;
    for (int i = 0; i < n; ++i)
        sites.push_back("www.anderer" + std::to_string(i) + ".example");
    return sites;
}

// Engines on 127.0.0.1: /e/<page>?q=<term> with pages set by the test (ten
// other sites when not), /w/1 with the site only outside the results, /slow
// that takes its time. The update server's support script records reports.
class PositionRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        PositionRun::resetMakerReport();
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            const std::string term = request.get_param_value("q");
            if (request.path == "/cgi-bin/support.pl") {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_reports.push_back(request.get_param_value("text"));
                response.set_content("OK", "text/plain");
                return;
            }
            if (request.path == "/slow") {
                ++m_slowStarted;
                for (int i = 0; i < 40 && !m_stop; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            std::string content;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_asked.push_back(request.path + " " + term);
                const auto page = m_pages.find(request.path + " " + term);
                content = page != m_pages.end() ? page->second
                    : request.path == "/w/1"    ? resultPage(others(10), "www.site.example")
                                                : resultPage(others(10));
            }
            response.set_content(content, "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        settingsStore().writeText("updateserver", host());
    }
    void TearDown() override
    {
        m_stop = true;
        m_server.stop();
        m_thread.join();
        CoreTest::TearDown();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
    void page(const std::string &path, const std::string &term, const std::string &content)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[path + " " + term] = content;
    }
    std::vector<std::string> reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }

    std::string data() const
    {
        const std::string markers = "|</li>|<ol>|</ol>|<li>|<a\r\n";
        return "SYSTEM.active=0\r\nP.1=Suchfix|suchfix.example|" + host()
            + "|GET|10^/e/1?q=suchbegriff^/e/2?q=suchbegriff^/e/3?q=suchbegriff" + markers
            + "P.2=Stumm|stumm.example|127.0.0.1:1|GET|10^/x?q=suchbegriff" + markers + "P.3=Wirr|wirr.example|"
            + host() + "|GET|10^/w/1?q=suchbegriff" + markers + "P.4=Schnecke|schnecke.example|" + host()
            + "|GET|10^/slow?q=suchbegriff" + markers + "P.5=Kaputt|k|k|GET\r\n";
    }

    PositionRunInput input(std::vector<std::string> engines, std::vector<std::string> terms) const
    {
        PositionRunInput in;
        in.domain = "www.site.example";
        in.terms = std::move(terms);
        in.engines = std::move(engines);
        in.positionText = data();
        return in;
    }

    static SlotRun::Timing quick() { return {std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                             std::chrono::milliseconds(5)}; }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_pages;
    std::vector<std::string> m_asked;
    std::vector<std::string> m_reports;
    std::atomic<int> m_slowStarted{0};
    std::atomic<bool> m_stop{false};
    RecordingView view;
};

} // namespace

TEST_F(PositionRunTest, PositionsAcrossPagesInTheReport)
{
    std::vector<std::string> second = others(2);
    second.push_back("www.site.example");
    page("/e/2", "stauden", resultPage(second));
    page("/e/1", de("kräuter"), resultPage({"www.site.example"}));

    PositionRun run(ui, view, input({"Suchfix"}, {"stauden", "obst", de("kräuter")}), quick());
    EXPECT_EQ(run.run(), PositionRun::Result::Done);
    const std::vector<std::string> expected = {
        "Suchfix: Begriff 'stauden' Position 13 Link:suchfix.example/e/2?q=stauden",
        "Suchfix: Begriff 'obst' Nicht unter Top 30 Link:suchfix.example",
        "Suchfix: Begriff 'kräuter' Position 1 Link:suchfix.example/e/1?q=kr%E4uter",
        "Suchfix: Position-Analyse erfolgreich abgeschlossen",
    };
    // The outcomes come in the order they arrive; the summary after them.
    std::vector<std::string> report;
    for (const std::string &line : run.report())
        report.push_back(toUtf8(line));
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report.back(), expected.back());
    std::sort(report.begin(), report.end() - 1);
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end() - 1);
    EXPECT_EQ(report, sorted);
    std::map<std::string, PositionRecord> records;
    for (const PositionRecord &record : run.records())
        records[record.term] = record;
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records["stauden"].position, 13);
    EXPECT_EQ(records["stauden"].depth, 30);
    EXPECT_EQ(records["stauden"].link, "suchfix.example/e/2?q=stauden");
    EXPECT_EQ(records["obst"].outcome, PositionOutcome::NotInTop);
    EXPECT_EQ(records["obst"].position, 0);
    // Found on page 1: page 2 and 3 are not asked.
    EXPECT_EQ(std::count(m_asked.begin(), m_asked.end(), std::string("/e/2 ") + de("kräuter")), 0);
    EXPECT_EQ(view.titles[0].back(), "Fertig!");
    EXPECT_EQ(view.abortStates, (std::vector<bool>{true, false}));
    EXPECT_TRUE(reports().empty());
    EXPECT_EQ(ui.lastProgress, 28);
}

TEST_F(PositionRunTest, ThreeEnginesSideBySideInBatchesWithTheirSummaries)
{
    std::vector<std::string> terms;
    for (int i = 0; i < 16; ++i)
        terms.push_back("begriff" + std::to_string(i));
    for (int round = 0; round < 2; ++round) {
        PositionRun run(ui, view, input({"Suchfix", "Stumm", "Wirr"}, terms), quick());
        EXPECT_EQ(run.run(), PositionRun::Result::Done);
        EXPECT_EQ(run.records().size(), 48u);
        EXPECT_LE(run.peakWorkers(), 45);
        int timeouts = 0;
        int unclear = 0;
        int notInTop = 0;
        for (const std::string &line : run.report()) {
            timeouts += line.find("' Stumm: Timeout (Keine Antwort vom Server) Link:stumm.example") != std::string::npos;
            unclear += line.find("' Wirr: Antwort nicht bekannt Link:wirr.example") != std::string::npos;
            notInTop += line.find("' Nicht unter Top 30 Link:suchfix.example") != std::string::npos;
        }
        EXPECT_EQ(timeouts, 16);
        EXPECT_EQ(unclear, 16);
        EXPECT_EQ(notInTop, 16);
        const std::vector<std::string> &report = run.report();
        for (const char *summary : {"Suchfix: Position-Analyse erfolgreich abgeschlossen",
                                    "Stumm: Position-Analyse erfolgreich abgeschlossen",
                                    "Wirr: Mind. 1 Dokument ergab ungültige Antwort vom Webserver"})
            EXPECT_EQ(std::count(report.begin(), report.end(), de(summary)), 1) << summary;
        EXPECT_EQ(view.titles[2].back(), "Fertig!");
    }
    // The maker hears of it once per program run.
    EXPECT_EQ(reports(), std::vector<std::string>{"FEHLER Position: Antwort vom Web-Server Wirr: Error aufgetreten!"});
}

TEST_F(PositionRunTest, AnUnusableEntryEndsTheRunWithTheReadError)
{
    PositionRun run(ui, view, input({"Suchfix", "Kaputt"}, {"a"}), quick());
    EXPECT_EQ(run.run(), PositionRun::Result::BrokenEngine);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler aufgetreten"});
    PositionRun missing(ui, view, input({"Gibtsnicht"}, {"a"}), quick());
    EXPECT_EQ(missing.run(), PositionRun::Result::BrokenEngine);
}

TEST_F(PositionRunTest, AbortGivesUpWhatIsOnItsWay)
{
    std::vector<std::string> terms;
    for (int i = 0; i < 40; ++i)
        terms.push_back("t" + std::to_string(i));
    PositionRun run(ui, view, input({"Schnecke", "Suchfix", "Schnecke", "Suchfix"}, terms), quick());
    bool aborted = false;
    view.onShown = [&] {
        if (!aborted) {
            aborted = true;
            run.abort();
        }
    };
    EXPECT_EQ(run.run(), PositionRun::Result::Aborted);
    EXPECT_TRUE(aborted);
    // No second batch and no fourth engine; the slow requests were given up
    // instead of waited for.
    EXPECT_LE(m_slowStarted.load(), 30);
    // Every pair is accounted for: those the run did not come to as such.
    std::set<std::string> pairs;
    for (const PositionRecord &record : run.records())
        pairs.insert(record.engine + "|" + record.term);
    EXPECT_EQ(pairs.size(), 2u * 40u);
    for (const PositionRecord &record : run.records()) {
        if (record.outcome != PositionOutcome::Unused) {
            EXPECT_LT(std::stoi(record.term.substr(1)), 15) << record.term;
        }
    }
    EXPECT_NE(std::find(view.titles[1].begin(), view.titles[1].end(), "Vorgang wird abgebrochen..."),
              view.titles[1].end());
}
