#include "TestEnvironment.h"
#include "net/RawServer.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "submit/SubmitRun.h"

#include <httplib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

using namespace vantor;
using vantor::testing::RawServer;

namespace {

// Pauses for real, so the run's polling does not spin while engines think.
class SleepyUi : public ScriptedUi
{
public:
    void pause(int milliseconds) override
    {
        ScriptedUi::pause(milliseconds);
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

// What the dialog would show, kept as plain lists per slot.
class RecordingView : public SubmitView
{
public:
    struct Line {
        std::string text;
        int image = 0;
        std::string outcome;
    };
    void slotCleared(int slot) override
    {
        lines[slot].clear();
        ++clears[slot];
    }
    void lineAdded(int slot, const std::string &text, int image) override
    {
        lines[slot].push_back({text, image, {}});
        added[slot].push_back(text);
    }
    void outcomeShown(int slot, const std::string &target, const std::string &document, SubmitOutcome outcome) override
    {
        bool found = false;
        for (Line &line : lines[slot]) {
            if (line.text == "Anmelden: " + document) {
                line.outcome = submitoutcome::text(outcome);
                line.image = submitoutcome::image(outcome);
                found = true;
            }
        }
        EXPECT_TRUE(found) << document;
        shown.push_back(target + " | " + document + " | " + toUtf8(submitoutcome::text(outcome)));
        if (onShown)
            onShown();
    }
    void slotTitle(int slot, const std::string &text) override { titles[slot].push_back(toUtf8(text)); }
    void reportChanged(const std::vector<std::string> &) override {}
    void adviceChanged(const std::vector<std::string> &) override {}
    void abortAvailable(bool available) override { abortStates.push_back(available); }

    std::vector<Line> lines[3];
    std::vector<std::string> added[3];
    std::vector<std::string> titles[3];
    int clears[3] = {};
    std::vector<std::string> shown;
    std::vector<bool> abortStates;
    std::function<void()> onShown;
};

// Engines on 127.0.0.1: /ok answers with the accepting marker, /already,
// /wrong, /error, /down and /plain with theirs (or none), /moved with a 302,
// /gone with 404. Every query's "url" value is recorded as the engine
// decoded it.
class SubmitRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        SubmitRun::resetMakerReport();
        const auto page = [this](const std::string &marker) {
            return [this, marker](const httplib::Request &request, httplib::Response &response) {
                record(request);
                response.set_content("<html><body>\r\n<p>Danke.</p>\r\n<p>" + marker + "</p>\r\n</body></html>\r\n",
                                     "text/html");
            };
        };
        for (const char *path : {"ok", "already", "wrong", "error", "down", "plain"}) {
            const std::string marker = std::string(path) == "plain" ? "Nichts zu sagen" : std::string("MARK-") + path;
            m_server.Get(std::string("/") + path, page(marker));
            m_server.Post(std::string("/") + path, page(marker));
        }
        m_server.Get("/moved", [this](const httplib::Request &request, httplib::Response &response) {
            record(request);
            response.status = 302;
            response.set_header("Location", "/ok");
        });
        m_server.Get("/gone", [this](const httplib::Request &request, httplib::Response &response) {
            record(request);
            response.status = 404;
        });
        m_server.Get("/", [](const httplib::Request &, httplib::Response &response) {
            response.set_content("<html>Startseite</html>", "text/html");
        });
        m_server.Get("/cgi-bin/support.pl", [this](const httplib::Request &request, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_reports.push_back(request.get_param_value("text"));
            response.set_content("OK", "text/plain");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        settingsStore().writeText("updateserver", host());
    }

    void TearDown() override
    {
        m_server.stop();
        m_thread.join();
        CoreTest::TearDown();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

    // A definition of an engine at path, with every marker MARK-<kind>.
    std::string engine(const std::string &name, const std::string &path, const std::string &server = {},
                       const std::string &extra = "VERB=1\r\n") const
    {
        const std::string s = name + ".";
        std::string text = s + "SERVER=" + (server.empty() ? host() : server) + "\r\n" + s + "ONLYHOMEPAGE=0\r\n" + s
            + "OKAY=MARK-ok\r\n" + s + "CONVERT=0\r\n" + s + "ALREADY=MARK-already\r\n" + s + "WRONG=MARK-wrong\r\n"
            + s + "ERROR=MARK-error\r\n" + s + "DOWN=MARK-down\r\n" + s + "HTTP1=/" + path
            + "?url=http://XURL&mail=XMAIL\r\n" + s + "REPLACEURL=XURL\r\n" + s + "REPLACEEMAIL=XMAIL\r\n";
        std::string rest = extra;
        std::size_t at = 0;
        while (!rest.empty() && (at = rest.find("\r\n")) != std::string::npos) {
            text += s + rest.substr(0, at + 2);
            rest.erase(0, at + 2);
        }
        return text;
    }

    SubmitRunInput input(const std::vector<std::pair<std::string, std::string>> &engines, int documents)
    {
        SubmitRunInput in;
        in.homepage = host();
        in.email = "web@example.de";
        int n = 1;
        for (const auto &[name, path] : engines) {
            in.submitText += "G." + std::to_string(n++) + "=" + name + "\r\n";
            in.submitText += engine(name, path);
            in.targets.push_back(name);
        }
        for (int i = 0; i < documents; ++i)
            in.documents.push_back(host() + "/seite" + std::to_string(i) + ".htm");
        return in;
    }

    static SlotRun::Timing quick() { return {std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                             std::chrono::milliseconds(2)}; }

    void record(const httplib::Request &request)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.push_back(request.get_param_value("url"));
        m_verbs.push_back(request.method);
    }
    std::vector<std::string> received()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    std::vector<std::string> reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }
    std::vector<std::string> verbs()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_verbs;
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_received;
    std::vector<std::string> m_verbs;
    std::vector<std::string> m_reports;
    RecordingView view;
    SleepyUi sui;
};

std::vector<std::string> utf8(const std::vector<std::string> &lines)
{
    std::vector<std::string> out;
    for (const std::string &line : lines)
        out.push_back(toUtf8(line));
    return out;
}

TEST_F(SubmitRunTest, EveryAnswerBecomesItsOutcomeWithSummaryAndAdvice)
{
    SubmitRun run(sui, view,
                  input({{"Suchfix", "ok"}, {"Kennich", "already"}, {"Neinda", "wrong"}, {"Fehlix", "error"},
                         {"Wartung", "down"}, {"Stumm", "plain"}, {"Umweg", "moved"}, {"Weg", "gone"}},
                        1),
                  quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    const std::string doc = host() + "/seite0.htm";
    std::vector<std::string> shown = view.shown;
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Fehlix | " + doc + " | Fehler (ungültige URL oder nicht indexierbar)",
                         "Kennich | " + doc + " | Ist bereits eingetragen",
                         "Neinda | " + doc + " | Abgelehnt (URL ungültig oder kann nicht angemeldet werden)",
                         "Stumm | " + doc + " | Antwort nicht bekannt",
                         "Suchfix | " + doc + " | Erfolgreich angemeldet",
                         "Umweg | " + doc + " | Fehler (ungültige URL oder nicht indexierbar)",
                         "Wartung | " + doc + " | Abgelehnt wegen Wartung/Überlastung des Servers",
                         "Weg | " + doc + " | Fehler (ungültige URL oder nicht indexierbar)",
                     }));
    const std::vector<std::string> report = utf8(run.report());
    // Accepted documents make no problem line; every target its summary.
    for (const char *line : {"Suchfix: Anmeldung erfolgreich abgeschlossen",
                             "Wartung: Anmeldung erfolgreich abgeschlossen",
                             // Already listed alone is no failure.
                             "Kennich: Anmeldung erfolgreich abgeschlossen",
                             "Neinda: Mind. 1 Dokument wurde nicht akzeptiert",
                             "Fehlix: Mind. 1 Dokument konnte nicht angemeldet werden",
                             "Stumm: Mind. 1 Dokument ergab ungültige Antwort vom Webserver",
                             "Umweg: Mind. 1 Dokument ergab ungültige Antwort vom Webserver",
                             "Weg: Mind. 1 Dokument ergab ungültige Antwort vom Webserver"})
        EXPECT_NE(std::find(report.begin(), report.end(), line), report.end()) << line;
    EXPECT_NE(std::find(report.begin(), report.end(), "Kennich: " + doc + " > Ist bereits eingetragen"), report.end());
    EXPECT_EQ(std::count_if(report.begin(), report.end(),
                            [](const std::string &l) { return l.rfind("Suchfix: ", 0) == 0; }),
              1);
    // The advice of three invalid-answer targets stands once; the maker
    // heard of it once.
    const std::vector<std::string> advice = utf8(run.advice());
    EXPECT_EQ(std::count_if(advice.begin(), advice.end(),
                            [](const std::string &l) { return l.rfind("Bitte probieren Sie die Anmeldung", 0) == 0; }),
              1);
    ASSERT_EQ(reports().size(), 1u);
    EXPECT_EQ(reports()[0].rfind("FEHLER Submit: Antwort vom Web-Server ", 0), 0u);

    // A second run in the same program run does not report again.
    SubmitRun again(sui, view, input({{"Stumm", "plain"}}, 1), quick());
    EXPECT_EQ(again.run(), SubmitRun::Result::Done);
    EXPECT_EQ(reports().size(), 1u);
    // Every line ends with "Fertig!" and the run's lists emptied.
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(view.titles[slot].back(), "Fertig!");
        EXPECT_TRUE(view.lines[slot].empty());
    }
    EXPECT_EQ(view.abortStates.front(), true);
    EXPECT_EQ(view.abortStates.back(), false);
}

TEST_F(SubmitRunTest, BatchesOfFifteenAndAnIdleSlotWithTwoTargets)
{
    SubmitRun run(sui, view, input({{"Eins", "ok"}, {"Zwei", "ok"}}, 31), quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    EXPECT_EQ(view.shown.size(), 62u);
    EXPECT_EQ(received().size(), 62u);
    // Slot 3 had no target: its only line is the idle one.
    ASSERT_EQ(view.added[2].size(), 1u);
    EXPECT_EQ(toUtf8(view.added[2][0]), "Warten auf andere Anmeldungen...");
    // Slot 2's lines: 15 + 15 + 1 documents, then the idle line.
    std::vector<std::string> slot2 = view.added[1];
    EXPECT_EQ(slot2.size(), 32u);
    EXPECT_EQ(toUtf8(slot2.back()), "Warten auf andere Anmeldungen...");
    // Whichever slot finishes first writes its summary first.
    std::vector<std::string> report = utf8(run.report());
    std::sort(report.begin(), report.end());
    EXPECT_EQ(report, (std::vector<std::string>{"Eins: Anmeldung erfolgreich abgeschlossen",
                                                "Zwei: Anmeldung erfolgreich abgeschlossen"}));
    EXPECT_LE(run.peakWorkers(), 30);
    // No VERB 1 here would be a POST; these engines said GET.
    for (const std::string &verb : verbs())
        EXPECT_EQ(verb, "GET");
}

TEST_F(SubmitRunTest, InsertedValuesArriveAsTheUserMeantThem)
{
    SubmitRunInput in = input({{"Suchfix", "ok"}}, 0);
    const std::vector<std::string> names = {"a b.htm", "preis&x=1.htm", "teil#2.htm", "c++.htm",
                                            de("größe.htm"), "?q=1", "100%.htm"};
    for (const std::string &name : names)
        in.documents.push_back(host() + "/" + name);
    SubmitRun run(sui, view, in, quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    std::vector<std::string> got = received();
    std::sort(got.begin(), got.end());
    std::vector<std::string> meant;
    for (const std::string &name : names)
        meant.push_back("http://" + host() + "/" + toUtf8(name));
    std::sort(meant.begin(), meant.end());
    EXPECT_EQ(got, meant);
    EXPECT_EQ(utf8(run.report()), (std::vector<std::string>{"Suchfix: Anmeldung erfolgreich abgeschlossen"}));
}

TEST_F(SubmitRunTest, AMissingVerbPostsAndAMissingKeyEndsTheRun)
{
    SubmitRunInput in = input({}, 2);
    in.submitText = "G.1=Postfix\r\n" + engine("Postfix", "ok", {}, "") + "G.2=Kaputt\r\nKaputt.SERVER=" + host()
        + "\r\n";
    in.targets = {"Postfix", "Kaputt"};
    SubmitRun run(sui, view, in, quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::BrokenTarget);
    ASSERT_FALSE(sui.shown.empty());
    EXPECT_EQ(toUtf8(sui.shown.back().title), "Fehler aufgetreten");
    // No summary for anyone.
    for (const std::string &line : utf8(run.report()))
        EXPECT_EQ(line.find("Anmeldung erfolgreich"), std::string::npos);
    // Postfix's workers may or may not have been started; whatever went out
    // went as POST.
    for (const std::string &verb : verbs())
        EXPECT_EQ(verb, "POST");
}

TEST_F(SubmitRunTest, AnUnreachableHomepageAsksFirst)
{
    SubmitRunInput in = input({{"Suchfix", "ok"}}, 1);
    in.homepage = "127.0.0.1:1";
    sui.questionAnswers = {false};
    {
        SubmitRun run(sui, view, in, quick());
        EXPECT_EQ(run.run(), SubmitRun::Result::Ended);
    }
    ASSERT_EQ(sui.shown.size(), 1u);
    EXPECT_EQ(sui.shown[0].kind, "questionWith");
    EXPECT_EQ(toUtf8(sui.shown[0].title), "Keine Antwort von Homepage");
    EXPECT_TRUE(received().empty());
    EXPECT_TRUE(view.lines[0].empty());

    sui.questionAnswers = {true};
    SubmitRun run(sui, view, in, quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    EXPECT_EQ(received().size(), 1u);
}

TEST_F(SubmitRunTest, DownAndTimeOutOnlyCountAsSuccess)
{
    settingsStore().writeNumber("receivetimeout", 1);
    RawServer silent([](RawServer &server, int, const std::string &) { server.pause(3000); });
    SubmitRunInput in = input({{"Wartung", "down"}}, 1);
    in.submitText += "G.2=Schweiger\r\n" + engine("Schweiger", "x", "127.0.0.1:" + std::to_string(silent.port()));
    in.targets.push_back("Schweiger");
    SubmitRun run(sui, view, in, quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    const std::vector<std::string> report = utf8(run.report());
    EXPECT_NE(std::find(report.begin(), report.end(), "Schweiger: Anmeldung erfolgreich abgeschlossen"), report.end());
    EXPECT_NE(std::find(report.begin(), report.end(), "Wartung: Anmeldung erfolgreich abgeschlossen"), report.end());
    EXPECT_NE(std::find(report.begin(), report.end(),
                        "Schweiger: " + host() + "/seite0.htm > Timeout (Keine Antwort vom Server)"),
              report.end());
    EXPECT_TRUE(run.advice().empty());
}

// Whatever a hostile engine does, its document gets an outcome and the run
// ends; the answer is read in pieces, so memory stays small.
TEST_F(SubmitRunTest, HostileEnginesEachGiveAnOutcome)
{
    settingsStore().writeNumber("receivetimeout", 1);
    struct Case {
        const char *name;
        RawServer::Script script;
        SubmitOutcome expected;
    };
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
    const std::vector<Case> cases = {
        {"Riesig",
         [head](RawServer &server, int fd, const std::string &) {
             if (!server.sendAll(fd, head))
                 return;
             const std::string block(65536, 'x');
             for (int i = 0; i < 1600 && server.sendAll(fd, block); ++i) {
             }
         },
         SubmitOutcome::Unknown},
        {"Langzeile",
         [head](RawServer &server, int fd, const std::string &) {
             if (server.sendAll(fd, head) && server.sendAll(fd, std::string(10 * 1024 * 1024, 'y')))
                 server.sendAll(fd, "MARK-ok\r\n");
         },
         SubmitOutcome::Accepted},
        {"Abbruch",
         [head](RawServer &server, int fd, const std::string &) {
             server.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html>Bitte war");
             linger off{1, 0};
             ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
         },
         SubmitOutcome::NoAnswer},
        {"Halbkopf",
         [](RawServer &server, int fd, const std::string &) {
             server.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Ty");
         },
         SubmitOutcome::NoAnswer},
        {"Schweiger", [](RawServer &server, int, const std::string &) { server.pause(4000); },
         SubmitOutcome::NoAnswer},
    };
    for (const Case &c : cases) {
        RawServer engineServer(c.script);
        SubmitRunInput in = input({}, 1);
        in.submitText = std::string("G.1=") + c.name + "\r\n"
            + engine(c.name, "x", "127.0.0.1:" + std::to_string(engineServer.port()));
        in.targets = {c.name};
        RecordingView seen;
        SubmitRun run(sui, seen, in, quick());
        EXPECT_EQ(run.run(), SubmitRun::Result::Done) << c.name;
        ASSERT_EQ(seen.shown.size(), 1u) << c.name;
        EXPECT_EQ(seen.shown[0],
                  std::string(c.name) + " | " + in.documents[0] + " | " + toUtf8(submitoutcome::text(c.expected)))
            << c.name;
    }
}

// A self-signed certificate (tests/data/tls) is no trusted one: the engine
// behind it never sees the document.
TEST_F(SubmitRunTest, AnHttpsEngineMustShowATrustedCertificate)
{
    httplib::SSLServer tls(VANTOR_TEST_DATA_DIR "/tls/cert.pem", VANTOR_TEST_DATA_DIR "/tls/key.pem");
    ASSERT_TRUE(tls.is_valid());
    std::atomic<int> reached{0};
    tls.Get("/ok", [&](const httplib::Request &, httplib::Response &response) {
        ++reached;
        response.set_content("MARK-ok\r\n", "text/html");
    });
    const int port = tls.bind_to_any_port("127.0.0.1");
    std::thread serving([&tls] { tls.listen_after_bind(); });
    while (!tls.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    SubmitRunInput in = input({}, 1);
    in.submitText = "G.1=Sicher\r\n" + engine("Sicher", "ok", "https://127.0.0.1:" + std::to_string(port));
    in.targets = {"Sicher"};
    SubmitRun run(sui, view, in, quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    tls.stop();
    serving.join();
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0], "Sicher | " + in.documents[0] + " | Timeout (Keine Antwort vom Server)");
    EXPECT_EQ(reached.load(), 0);
}

TEST_F(SubmitRunTest, OneLoginQuestionServesEveryWorkerOfTheServer)
{
    std::atomic<int> asked{0};
    m_server.Get("/login", [this](const httplib::Request &request, httplib::Response &response) {
        if (!request.has_header("Authorization")) {
            response.status = 401;
            response.set_header("WWW-Authenticate", "Basic realm=\"Motor\"");
            return;
        }
        record(request);
        response.set_content("MARK-ok\r\n", "text/html");
    });
    sui.credentialAnswers.push_back({true, "nutzer", "geheim"});
    SubmitRun run(sui, view, input({{"Tuersteher", "login"}}, 5), quick());
    EXPECT_EQ(run.run(), SubmitRun::Result::Done);
    EXPECT_EQ(std::count_if(sui.shown.begin(), sui.shown.end(),
                            [](const ScriptedUi::Shown &s) { return s.kind == "credentials"; }),
              1);
    EXPECT_EQ(received().size(), 5u);
    (void)asked;

    // Refused: every document of that server is "refused", an internal
    // error in the summary.
    SubmitRun refused(sui, view, input({{"Tuersteher", "login"}}, 3), quick());
    EXPECT_EQ(refused.run(), SubmitRun::Result::Done);
    const std::vector<std::string> report = utf8(refused.report());
    EXPECT_EQ(report.back(), "Tuersteher: Anmeldung wurde unterbrochen durch internen Fehler");
}

TEST_F(SubmitRunTest, AbortLetsTheSentRequestsFinishAndStartsNothingMore)
{
    std::atomic<int> started{0};
    m_server.Get("/slow", [&](const httplib::Request &request, httplib::Response &response) {
        ++started;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        record(request);
        response.set_content("MARK-ok\r\n", "text/html");
    });
    SubmitRunInput in = input({{"Schnecke", "slow"}, {"Zweite", "slow"}, {"Dritte", "slow"}, {"Vierte", "slow"}}, 20);
    SubmitRun run(sui, view, in, quick());
    view.onShown = [&run, this] {
        if (view.shown.size() == 1)
            run.abort();
    };
    EXPECT_EQ(run.run(), SubmitRun::Result::Aborted);
    EXPECT_EQ(toUtf8(view.titles[0].back()), "Fertig!");
    EXPECT_NE(std::find(view.titles[1].begin(), view.titles[1].end(), "Vorgang wird abgebrochen..."),
              view.titles[1].end());
    // Only the first batch of each of the three slots went out.
    EXPECT_LE(started.load(), 45);
    EXPECT_TRUE(std::find(view.shown.begin(), view.shown.end(), std::string()) == view.shown.end());
    for (const std::string &line : utf8(run.report()))
        EXPECT_EQ(line.rfind("Vierte", 0), std::string::npos);
}

} // namespace
