#include "TestEnvironment.h"

#include "net/DataFile.h"
#include "net/DataFileFetch.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "research/ResearchStart.h"
#include "research/WatchList.h"

#include <httplib.h>

#include <filesystem>
#include <thread>

using namespace vantor;

namespace {

class ResearchStartTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        DataFileFetch::reset();
        m_server.Get("/k", [this](const httplib::Request &request, httplib::Response &response) {
            asked.push_back(request.get_param_value("q"));
            response.set_content("<ul>\r\n<li>" + request.get_param_value("q") + " reise</li>\r\n</ul>\r\n",
                                 "text/html");
        });
        m_server.Get("/download/vantor/research_d.dat", [this](const httplib::Request &, httplib::Response &response) {
            ++downloads;
            if (serveData)
                response.set_content(m_packed, "application/octet-stream");
            else
                response.status = 404;
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
        writeData("0", "0", "4.01");
    }

    void TearDown() override
    {
        m_server.stop();
        m_thread.join();
        DataFileFetch::reset();
        CoreTest::TearDown();
    }

    // The research file: one keyword source, nothing else, and the SYSTEM
    // entries as given.
    void writeData(const std::string &active, const std::string &showAlways, const std::string &version)
    {
        const std::string k = "KEYWORDS1.";
        const std::string text = "SYSTEM.active=" + active + "\r\nSYSTEM.showalways=" + showAlways
            + "\r\nSYSTEM.german=Hallo\r\nSYSTEM.systemactive=1\r\nSYSTEM.requiredversion=" + version + "\r\n" + k
            + "active=1\r\n" + k + "keyword=QQ\r\n" + k + "convert=0\r\n" + k + "http1=http://127.0.0.1:"
            + std::to_string(m_port) + "/k?q=QQ\r\n" + k + "resultsstart=<ul>\r\n" + k + "resultsend=</ul>\r\n" + k
            + "resultstart=<li>\r\n" + k + "resultend=</li>\r\n" + k + "delimiter=\r\n" + k + "abort=nix\r\n"
            + "THESAURUS1.active=0\r\nTHESAURUS2.active=0\r\n";
        ASSERT_TRUE(DataFile::pack(text, m_packed));
        std::filesystem::create_directories(root() + "/Data");
        writeFile(root() + "/Data/research_d.dat", m_packed);
    }

    research::Outcome start(const std::string &typed, bool asOneWord = false)
    {
        ResearchView view;
        return research::startResearch(de(typed), asOneWord, state, ui, view);
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::vector<std::string> asked;
    int downloads = 0;
    bool serveData = false;
    std::string m_packed;
    research::DialogState state;
};

TEST_F(ResearchStartTest, TermRulesInTheirOrder)
{
    struct Case {
        const char *typed;
        bool asOneWord;
        const char *title; // nullptr: accepted
        ResearchMode mode;
        const char *term1;
        const char *term2;
    };
    const Case cases[] = {
        {"", false, "Suchbegriff eingeben", {}, "", ""},
        {"ab", false, "Suchbegriff zu kurz", {}, "", ""},
        {"abcdefghijklmnopqrstuvwxyzabcde", false, "Suchbegriff zu lang", {}, "", ""},
        {"ab-cdefghijklmnopqrstuvwxyzabcd", false, "Suchbegriff zu lang", {}, "", ""},
        {"auto-teile", false, "Ungültige Zeichen", {}, "", ""},
        {"müller", false, nullptr, ResearchMode::OneWord, "müller", ""},
        {"auto teile", false, nullptr, ResearchMode::TwoTerms, "auto", "teile"},
        {"auto teile", true, nullptr, ResearchMode::Phrase, "auto+teile", ""},
        {"auto ab", false, "Suchbegriff zu kurz", {}, "", ""},
        {"auto teile reifen", false, "Zuviele Suchbegriffe", {}, "", ""},
        {"auto teile reifen", true, nullptr, ResearchMode::Phrase, "auto+teile+reifen", ""},
        {"reifen ", false, nullptr, ResearchMode::Phrase, "reifen", ""},
        {"   ", false, "Suchbegriff eingeben", {}, "", ""},
        {" ab ", false, "Suchbegriff zu kurz", {}, "", ""},
    };
    for (const Case &c : cases) {
        ui.shown.clear();
        const auto terms = research::checkTerm(de(c.typed), c.asOneWord, ui);
        if (c.title) {
            EXPECT_FALSE(terms) << c.typed;
            ASSERT_EQ(ui.shown.size(), 1u) << c.typed;
            EXPECT_EQ(toUtf8(ui.shown[0].title), c.title) << c.typed;
            continue;
        }
        ASSERT_TRUE(terms) << c.typed;
        EXPECT_TRUE(ui.shown.empty()) << c.typed;
        EXPECT_EQ(terms->mode, c.mode) << c.typed;
        EXPECT_EQ(toUtf8(terms->term1), c.term1) << c.typed;
        EXPECT_EQ(toUtf8(terms->term2), c.term2) << c.typed;
    }
    ui.shown.clear();
    research::checkTerm(de("auto teile reifen"), false, ui);
    EXPECT_NE(toUtf8(ui.shown[0].text).find("Bitte wählen Sie dann \"als ein Wort\"."), std::string::npos);
}

TEST_F(ResearchStartTest, FetchesOncePerRunThenSearches)
{
    research::Outcome outcome = start("urlaub");
    EXPECT_EQ(outcome.status, research::Outcome::Status::Finished);
    EXPECT_EQ(outcome.keywords, (std::vector<std::string>{"urlaub reise"}));
    EXPECT_EQ(outcome.variants, (std::vector<std::string>{ResearchRun::noTermsText()}));
    outcome = start("ferien");
    EXPECT_EQ(outcome.keywords, (std::vector<std::string>{"ferien reise"}));
    // A failed download is silent and the file on disk is used; the next
    // start tries again, as only a fetched file counts for the whole run.
    EXPECT_EQ(downloads, 2);
    serveData = true;
    start("urlaub");
    start("urlaub");
    EXPECT_EQ(downloads, 3);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(settingsStore().readNumber("researchmsgshowed").value_or(9), 0u);
}

TEST_F(ResearchStartTest, DialUpPromptAtMostOncePerDialog)
{
    programSettings().httpInform = 1;
    ui.questionAnswers = {false};
    EXPECT_EQ(start("urlaub").status, research::Outcome::Status::Refused);
    EXPECT_EQ(downloads, 0);
    EXPECT_EQ(ui.lastProgress, 0);
    EXPECT_TRUE(state.askedBeforeConnect);
    // Asked in this dialog already: the next start goes online without.
    ui.questionAnswers = {true};
    EXPECT_EQ(start("urlaub").status, research::Outcome::Status::Finished);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Internet-Verbindung herstellen", "Internet-Verbindung herstellen"}));

    // Once the file came in this program run, a new dialog asks before
    // the search instead.
    serveData = true;
    DataFileFetch::reset();
    for (int dialog = 0; dialog < 2; ++dialog) {
        research::DialogState fresh;
        ui.shown.clear();
        ui.questionAnswers = {true};
        ResearchView view;
        EXPECT_EQ(research::startResearch("urlaub", false, fresh, ui, view).status,
                  research::Outcome::Status::Finished);
        EXPECT_EQ(ui.titles().size(), 1u);
    }
    EXPECT_EQ(downloads, 2);
}

TEST_F(ResearchStartTest, NoticeAndVersionOfTheResearchFile)
{
    writeData("1", "0", "4.0");
    start("urlaub");
    start("urlaub");
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Nachricht"}));
    EXPECT_EQ(asked.size(), 2u);

    writeData("0", "1", "4.02");
    ui.shown.clear();
    EXPECT_EQ(start("urlaub").status, research::Outcome::Status::Refused);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Update erforderlich"}));
    EXPECT_EQ(asked.size(), 2u);

    std::filesystem::remove(root() + "/Data/research_d.dat");
    ui.shown.clear();
    EXPECT_FALSE(research::dataFilePresent(ui));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Datei fehlt!"}));
}

TEST_F(ResearchStartTest, RememberingStopsAtThePlaceholderAndSavesAsTheButtonsDo)
{
    const std::vector<std::string> rows = {"urlaub", "keine", "reise"};
    EXPECT_EQ(research::rowsToRemember(rows, nullptr), (std::vector<std::string>{"urlaub"}));
    const std::vector<bool> selected = {false, false, true};
    EXPECT_EQ(research::rowsToRemember(rows, &selected), (std::vector<std::string>{"reise"}));
    EXPECT_TRUE(research::rowsToRemember({ResearchRun::noTermsText()}, nullptr).empty());
    EXPECT_EQ(research::rowsToRemember({std::string(200, 'x')}, nullptr)[0].size(), WatchList::kMaxText);

    ASSERT_TRUE(research::rememberTerms("p", {"urlaub italien", "urlaub"}, nullptr, WatchList::EngineInput));
    ASSERT_TRUE(research::rememberTerms("p", {"ferien", "urlaub"}, nullptr, WatchList::Variant));
    WatchList list;
    list.load("p");
    ASSERT_EQ(list.entries().size(), 3u);
    // The file keeps each kind in a section of its own, newest on top.
    EXPECT_EQ(list.entries()[0], (WatchList::Entry{"urlaub", WatchList::EngineInput}));
    EXPECT_EQ(list.entries()[1], (WatchList::Entry{"urlaub italien", WatchList::EngineInput}));
    EXPECT_EQ(list.entries()[2], (WatchList::Entry{"ferien", WatchList::Variant}));

    // "Alle merken" writes the file even with nothing to take; "Markierte
    // merken" without a selection leaves it alone.
    ASSERT_TRUE(research::rememberTerms("leer", {ResearchRun::noTermsText()}, nullptr, WatchList::EngineInput));
    EXPECT_TRUE(std::filesystem::exists(projectPath("leer")));
    const std::vector<bool> none = {false};
    ASSERT_TRUE(research::rememberTerms("nichts", {"a"}, &none, WatchList::EngineInput));
    EXPECT_FALSE(std::filesystem::exists(projectPath("nichts")));
}

} // namespace
