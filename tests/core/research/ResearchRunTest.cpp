#include "TestEnvironment.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "research/ResearchRun.h"

#include <httplib.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

using namespace vantor;

namespace {

// What the dialog would show: the rows in the order they arrived, and how
// often the lists were emptied.
class RecordingView : public ResearchView
{
public:
    void listsCleared() override
    {
        ++clears;
        rows[0].clear();
        rows[1].clear();
    }
    void rowAdded(ResearchList list, const std::string &text) override
    {
        rows[static_cast<int>(list)].push_back(toUtf8(text));
    }
    int clears = 0;
    std::vector<std::string> rows[2];
};

// Keyword pages list their terms one per line between <ul> and </ul>;
// thesaurus pages list them in one line, "T: a; b; c." - both ways the
// services cut their pages.
std::string keywordSource(const std::string &section, const std::string &path, const std::string &extra = {})
{
    const std::string s = section + ".";
    return s + "active=1\r\n" + s + "keyword=XX\r\n" + s + "convert=0\r\n" + s + "http1=" + path + "?q=XX\r\n" + s
        + "resultsstart=<ul>\r\n" + s + "resultsend=</ul>\r\n" + s + "resultstart=<li>\r\n" + s
        + "resultend=</li>\r\n" + s + "delimiter=\r\n" + s + "abort=Keine Treffer\r\n" + extra;
}

std::string thesaurusSource(const std::string &section, const std::vector<std::string> &urls,
                            const std::string &active = "1")
{
    const std::string s = section + ".";
    std::string text = s + "active=" + active + "\r\n" + s + "keyword=XX\r\n" + s + "convert=0\r\n";
    for (std::size_t i = 0; i < urls.size(); ++i)
        text += s + "http" + std::to_string(i + 1) + "=" + urls[i] + "\r\n";
    return text + s + "resultsstart=<div>\r\n" + s + "resultsend=</div>\r\n" + s + "resultstart=T: \r\n" + s
        + "resultend=.\r\n" + s + "delimiter=; \r\n" + s + "abort=Nichts gefunden\r\n";
}

std::string keywordPage(const std::vector<std::string> &terms)
{
    std::string page = "<html><body>\r\n<h1>Suche</h1>\r\n<ul>\r\n";
    for (const std::string &term : terms)
        page += "<li>" + term + "</li>\r\n";
    return page + "</ul>\r\n</body></html>\r\n";
}

std::string thesaurusPage(const std::vector<std::string> &terms)
{
    std::string line;
    for (const std::string &term : terms)
        line += (line.empty() ? "" : "; ") + term;
    return "<html>\r\n<div>\r\n<p>T: " + line + ".</p>\r\n</div>\r\n</html>\r\n";
}

class ResearchRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (request.path == "/cgi-bin/support.pl") {
                m_reports.push_back(request.get_param_value("text"));
                response.set_content("OK", "text/plain");
                return;
            }
            m_requests.push_back(request.target);
            m_terms[request.path].push_back(request.get_param_value("q"));
            const auto page = m_pages.find(request.path);
            if (page == m_pages.end()) {
                response.status = 404;
                return;
            }
            if (page->second.rfind("302", 0) == 0) {
                response.status = 302;
                response.set_header("Location", "/anderswo");
                return;
            }
            response.set_content(page->second, "text/html");
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
    std::string url(const std::string &path) const { return "http://" + host() + path; }

    void page(const std::string &path, const std::string &content)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[path] = content;
    }
    std::vector<std::string> terms(const std::string &path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_terms[path];
    }
    std::vector<std::string> requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    void clearReports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_reports.clear();
    }
    std::vector<std::string> reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }

    // All four sources on, each at its own path.
    std::string allSources(const std::string &thesaurus2Active = "1") const
    {
        return keywordSource("KEYWORDS1", url("/k1")) + keywordSource("KEYWORDS2", url("/k2"))
            + thesaurusSource("THESAURUS1", {url("/t1")})
            + thesaurusSource("THESAURUS2", {url("/t2a"), url("/t2b"), url("/t2c")}, thesaurus2Active);
    }

    ResearchRun::Result run(const std::string &text, const std::string &term1, const std::string &term2 = {},
                            ResearchMode mode = ResearchMode::OneWord)
    {
        ResearchRun research(text, ui, view);
        const ResearchRun::Result result = research.run(term1, term2, mode);
        for (int list = 0; list < 2; ++list) {
            counts[list] = research.count(static_cast<ResearchList>(list));
            rows[list].clear();
            for (const std::string &row : research.rows(static_cast<ResearchList>(list)))
                rows[list].push_back(toUtf8(row));
        }
        return result;
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_pages;
    std::map<std::string, std::vector<std::string>> m_terms;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_reports;
    RecordingView view;
    std::vector<std::string> rows[2];
    int counts[2] = {};
};

using Rows = std::vector<std::string>;

TEST_F(ResearchRunTest, FillsBothListsFromAllFourSourcesInTheirOrder)
{
    page("/k1", keywordPage({"urlaub italien", "urlaub italien", "last minute urlaub angebote günstig",
                             "Urlaub Italien", "urlaub <b>am</b> meer", "ferien"}));
    page("/k2", keywordPage({"urlaubsreise", "urlaub italien"}));
    page("/t1", thesaurusPage({"Ferien", "Erholung"}));
    page("/t2a", thesaurusPage({"Urlaubszeit", "Ferien"}));
    page("/t2b", thesaurusPage({"Auszeit"}));
    page("/t2c", thesaurusPage({"Erholung", "Freizeit"}));

    EXPECT_EQ(run(allSources(), "urlaub"), ResearchRun::Result::Finished);
    // Twice the same, too long (35 >= 18), another case, without the term:
    // all dropped; tags go, the term stays.
    EXPECT_EQ(rows[0], (Rows{"urlaub italien", "urlaubsreise", "urlaub am meer"}));
    // Terms of later pages that came before are listed once.
    EXPECT_EQ(rows[1], (Rows{"Ferien", "Erholung", "Urlaubszeit", "Auszeit", "Freizeit"}));
    EXPECT_EQ(counts[0], 3);
    EXPECT_EQ(counts[1], 5);
    EXPECT_EQ(view.rows[0], rows[0]);
    EXPECT_EQ(view.rows[1], rows[1]);
    EXPECT_EQ(ui.lastProgress, ResearchRun::kProgressMax);
    EXPECT_TRUE(reports().empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ResearchRunTest, ActiveFlagsAreReadByTheCharactersTheyHold)
{
    page("/k1", keywordPage({"auto teile"}));
    page("/k2", keywordPage({"autobahn"}));
    page("/t1", thesaurusPage({"Wagen"}));
    page("/t2a", thesaurusPage({"Kraftfahrzeug"}));
    // "10" holds a 0 (off for the first keywords and both thesauri) and a 1
    // (on for the second keywords).
    std::string text = allSources("10");
    for (const char *section : {"KEYWORDS1", "KEYWORDS2", "THESAURUS1"}) {
        const std::string line = std::string(section) + ".active=1\r\n";
        text.replace(text.find(line), line.size(), std::string(section) + ".active=10\r\n");
    }
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Finished);
    EXPECT_EQ(rows[0], (Rows{"autobahn"}));
    EXPECT_EQ(rows[1], (Rows{ResearchRun::noTermsText()}));
    EXPECT_TRUE(terms("/k1").empty());
    EXPECT_TRUE(terms("/t1").empty());
    EXPECT_TRUE(terms("/t2a").empty());

    // The second keyword source without an active line is off; the others
    // without theirs stop the run before anything is asked.
    std::string noSecond = allSources();
    noSecond.erase(noSecond.find("KEYWORDS2.active=1\r\n"), 20);
    EXPECT_EQ(run(noSecond, "auto"), ResearchRun::Result::Finished);
    EXPECT_EQ(terms("/k2").size(), 1u);

    for (const char *section : {"KEYWORDS1", "THESAURUS1"}) {
        std::string broken = allSources();
        const std::string line = std::string(section) + ".active=1\r\n";
        broken.erase(broken.find(line), line.size());
        const std::size_t asked = requests().size();
        ui.shown.clear();
        EXPECT_EQ(run(broken, "auto"), ResearchRun::Result::Stopped) << section;
        EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Fehler beim Lesen"})) << section;
        EXPECT_EQ(requests().size(), asked) << section;
    }
}

TEST_F(ResearchRunTest, SecondKeywordSourceOnlyForOneWordAndTwoTermsAskTheFirstTwice)
{
    page("/k1", keywordPage({"auto kaufen", "teile kaufen"}));
    page("/k2", keywordPage({"autos"}));
    page("/t1", thesaurusPage({"Wagen"}));
    run(allSources(), "auto", "teile", ResearchMode::TwoTerms);
    // Both go out at once; the server may see them in either order.
    Rows asked = terms("/k1");
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (Rows{"auto", "teile"}));
    EXPECT_TRUE(terms("/k2").empty());
    // Each request keeps what contains its own term.
    EXPECT_EQ(rows[0], (Rows{"auto kaufen", "teile kaufen"}));

    // A trailing blank made a phrase of one word: no second source.
    run(allSources(), "reifen", {}, ResearchMode::Phrase);
    EXPECT_TRUE(terms("/k2").empty());
}

TEST_F(ResearchRunTest, PagesOfTheSecondThesaurusMayBeLeftOutButNotMissing)
{
    page("/t1", thesaurusPage({"Wagen"}));
    page("/t2a", thesaurusPage({"Fahrzeug"}));
    page("/t2c", thesaurusPage({"Karre"}));
    std::string text = keywordSource("KEYWORDS1", url("/k1")) + thesaurusSource("THESAURUS1", {url("/t1")})
        + thesaurusSource("THESAURUS2", {url("/t2a"), "", url("/t2c")});
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Finished);
    EXPECT_EQ(rows[1], (Rows{"Wagen", "Fahrzeug", "Karre"}));
    EXPECT_TRUE(terms("/t2b").empty());
    // Only the first keywords page was missing (404 without markers).
    EXPECT_EQ(reports(), (Rows{"FEHLER Research Keywords1: HTML-Daten nicht richtig ausgewertet, Suchbegriff: auto"}));

    text.erase(text.find("THESAURUS2.http2=\r\n"), 19);
    ui.shown.clear();
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Stopped);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Fehler beim Lesen"}));
    // What the first phase found stays in the list.
    EXPECT_EQ(rows[1], (Rows{"Wagen"}));
}

TEST_F(ResearchRunTest, AbortAndEndMarkersEndTheAnswer)
{
    // The abort text on the start line ends the answer before that line is
    // read for terms; after the start it ends it after the line.
    page("/k1", "<ul><li>auto eins</li> Keine Treffer\r\n<li>auto zwei</li>\r\n</ul>\r\n");
    page("/t1", "<div>\r\n<p>T: Wagen; Karre.</p> Nichts gefunden\r\n<p>T: Kutsche.</p>\r\n</div>\r\n");
    const std::string text = keywordSource("KEYWORDS1", url("/k1")) + thesaurusSource("THESAURUS1", {url("/t1")})
        + "THESAURUS2.active=0\r\n";
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Finished);
    // Nothing on the left, something on the right: the term stands in for
    // the left list.
    EXPECT_EQ(rows[0], (Rows{"auto"}));
    EXPECT_EQ(counts[0], 0);
    EXPECT_EQ(rows[1], (Rows{"Wagen", "Karre"}));
    EXPECT_TRUE(reports().empty());
}

TEST_F(ResearchRunTest, TermsGoOutTransliteratedAndPercentEncodedInTheSourcesEncoding)
{
    std::string text = keywordSource("KEYWORDS1", url("/k1")) + thesaurusSource("THESAURUS1", {url("/t1?q=XX")})
        + thesaurusSource("THESAURUS2", {url("/t2a?q=XX"), "", ""}) + "THESAURUS2.charset=utf-8\r\n";
    text.replace(text.find("KEYWORDS1.convert=0"), 19, "KEYWORDS1.convert=1");
    run(text, de("straße"));
    EXPECT_EQ(terms("/k1"), (Rows{"strasse"}));
    run(text, de("müller+straße"), {}, ResearchMode::Phrase);
    EXPECT_EQ(terms("/k1").back(), "mueller strasse");
    const Rows sent = requests();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "/k1?q=mueller+strasse"), sent.end());
    // Untransliterated: cp1252 by default, UTF-8 where the source says so.
    EXPECT_NE(std::find(sent.begin(), sent.end(), "/t1?q=m%FCller+stra%DFe"), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), "/t2a?q=m%C3%BCller+stra%C3%9Fe"), sent.end());
    EXPECT_EQ(terms("/t2a").back(), "müller straße");

    // Whatever a URL cannot carry reaches the service as it was meant.
    run(text, "a&b=c#d e%f");
    EXPECT_EQ(terms("/t1").back(), "a&b=c#d e%f");
}

TEST_F(ResearchRunTest, Utf8AnswersAreMatchedAndListedAsOurText)
{
    std::string text = keywordSource("KEYWORDS1", url("/k1"), "KEYWORDS1.charset=utf-8\r\n")
        + thesaurusSource("THESAURUS1", {url("/t1")}) + "THESAURUS2.active=0\r\n";
    page("/k1", keywordPage({"müller straße", "müllerei", "mueller"}));
    // Entities and UTF-8 umlauts of a cp1252 service are decoded as well.
    page("/t1", thesaurusPage({"M&uuml;ller", "Br\xC3\xBC" "cke"}));
    run(text, de("müller"));
    EXPECT_EQ(rows[0], (Rows{"müller straße", "müllerei"}));
    EXPECT_EQ(rows[1], (Rows{"Müller", "Brücke"}));
}

TEST_F(ResearchRunTest, RedirectsAreReportedAndRetriedWithEmptiedLists)
{
    page("/k1", "302");
    page("/t1", thesaurusPage({"Wagen"}));
    const std::string text = keywordSource("KEYWORDS1", url("/k1")) + thesaurusSource("THESAURUS1", {url("/t1")})
        + "THESAURUS2.active=0\r\n";
    ui.connectionAnswers = {ConnectionAnswer::Retry, ConnectionAnswer::Cancel};
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Stopped);
    ASSERT_EQ(ui.titles(), (std::vector<std::string>{"Fehler beim Verbindungsaufbau", "Fehler beim Verbindungsaufbau"}));
    // The error text is empty after a redirect.
    EXPECT_TRUE(ui.shown[0].text.ends_with("Der exakte Fehlertext lautet: "));
    EXPECT_EQ(ui.pausedMs, 500);
    // The lists were emptied for the second attempt and kept what the other
    // answer brought after the last one.
    EXPECT_EQ(view.clears, 2);
    EXPECT_EQ(rows[1], (Rows{"Wagen"}));
    EXPECT_EQ(ui.lastProgress, 0);
    // One report for each attempt's redirect; no diagnostics after a stop.
    EXPECT_EQ(reports(), (Rows{"FEHLER Research Keywords1: Antwort vom Web-Server: MOVED, REDIRECT oder DENIED!",
                               "FEHLER Research Keywords1: Antwort vom Web-Server: MOVED, REDIRECT oder DENIED!"}));
}

TEST_F(ResearchRunTest, DiagnosticsNameTheFirstUnreadSourceOnceAndNeverAnOffThesaurus)
{
    page("/k1", keywordPage({"auto eins"}));
    page("/t1", "<div>\r\n<p>T: Wagen.</p>\r\n"); // no end marker
    page("/t2a", "<div>\r\n<p>T: Karre.</p>\r\n");
    run(allSources(), "auto");
    EXPECT_EQ(reports(), (Rows{"FEHLER Research Thesaurus1: HTML-Daten nicht richtig ausgewertet, Suchbegriff: auto"}));

    page("/t1", thesaurusPage({"Wagen"}));
    page("/t2b", thesaurusPage({"Kutsche"}));
    page("/t2c", thesaurusPage({"Karosse"}));
    clearReports();
    run(allSources(), "auto");
    EXPECT_EQ(reports(),
              (Rows{"FEHLER Research Thesaurus2: HTML-Daten bei HTTP1 nicht richtig ausgewertet, Suchbegriff: auto"}));

    clearReports();
    run(allSources("0"), "auto");
    EXPECT_TRUE(reports().empty());
}

TEST_F(ResearchRunTest, NothingFoundLeavesThePlaceholderInBothLists)
{
    page("/k1", "<html><ul>Keine Treffer</ul></html>\r\n");
    page("/t1", "<div>Nichts gefunden</div>\r\n");
    const std::string text = keywordSource("KEYWORDS1", url("/k1")) + thesaurusSource("THESAURUS1", {url("/t1")})
        + "THESAURUS2.active=0\r\n";
    EXPECT_EQ(run(text, "xyzzy"), ResearchRun::Result::Finished);
    EXPECT_EQ(rows[0], (Rows{ResearchRun::noTermsText()}));
    EXPECT_EQ(rows[1], (Rows{ResearchRun::noTermsText()}));
    EXPECT_EQ(counts[0] + counts[1], 0);
}

TEST_F(ResearchRunTest, AnUnusableUrlIsErrorCodeOne)
{
    std::string text = keywordSource("KEYWORDS1", "ftp://127.0.0.1/k1") + "THESAURUS1.active=0\r\nTHESAURUS2.active=0\r\n";
    EXPECT_EQ(run(text, "auto"), ResearchRun::Result::Stopped);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("Der exakte Fehlertext lautet: Fehler Code: 1"), std::string::npos);
}

} // namespace
