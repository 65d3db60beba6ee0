#include "CliFixture.h"

#include "net/DataFile.h"

#include <httplib.h>

#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// An update server that hands out a research file with one keyword source
// and one thesaurus, both on itself; a term the services know nothing of
// gets their "nothing found" pages.
class ResearchCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_server.Get("/k", [this](const httplib::Request &request, httplib::Response &response) {
            const std::string term = request.get_param_value("q");
            remember(term);
            if (term == "xyz")
                response.set_content("<p>Keine Treffer</p>\r\n", "text/html");
            else
                response.set_content("<ul>\r\n<li>" + term + " reise</li>\r\n<li>" + term
                                         + "sangebote</li>\r\n</ul>\r\n",
                                     "text/html");
        });
        m_server.Get("/t", [](const httplib::Request &request, httplib::Response &response) {
            if (request.get_param_value("q") == "xyz")
                response.set_content("Nichts gefunden\r\n", "text/html");
            else
                response.set_content("<div>\r\nT: Ferien; Erholung; Gr\xC3\xBCnde.\r\n</div>\r\n", "text/html");
        });
        m_server.Get("/download/vantor/research_d.dat", [this](const httplib::Request &, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_packed.empty())
                response.status = 404;
            else
                response.set_content(m_packed, "application/octet-stream");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        serve(host());
        ASSERT_EQ(run({"settings", "set", "updateserver", host()}), 0);
        ASSERT_EQ(run({"settings", "set", "accesstype", "1", "--number"}), 0);
    }
    void TearDown() override
    {
        m_server.stop();
        m_thread.join();
        CliFixture::TearDown();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

    // The research file with both services at serviceHost; empty: none
    // to hand out.
    void serve(const std::string &serviceHost)
    {
        std::string packed;
        if (!serviceHost.empty()) {
            const std::string k = "KEYWORDS1.";
            const std::string t = "THESAURUS1.";
            const std::string text = "SYSTEM.active=0\r\nSYSTEM.showalways=0\r\nSYSTEM.german=\r\n"
                                     "SYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4.01\r\n"
                + k + "active=1\r\n" + k + "keyword=QQ\r\n" + k + "convert=0\r\n" + k + "http1=http://" + serviceHost
                + "/k?q=QQ\r\n" + k + "resultsstart=<ul>\r\n" + k + "resultsend=</ul>\r\n" + k + "resultstart=<li>\r\n"
                + k + "resultend=</li>\r\n" + k + "delimiter=\r\n" + k + "abort=Keine Treffer\r\n" + t + "active=1\r\n"
                + t + "keyword=QQ\r\n" + t + "convert=0\r\n" + t + "charset=utf-8\r\n" + t + "http1=http://"
                + serviceHost + "/t?q=QQ\r\n" + t + "resultsstart=<div>\r\n" + t + "resultsend=</div>\r\n" + t
                + "resultstart=T: \r\n" + t + "resultend=.\r\n" + t + "delimiter=; \r\n" + t
                + "abort=Nichts gefunden\r\nTHESAURUS2.active=0\r\n";
            EXPECT_TRUE(DataFile::pack(text, packed));
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_packed = packed;
    }

    void remember(const std::string &term)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_asked.push_back(term);
    }
    std::vector<std::string> asked()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_asked;
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::string m_packed;
    std::vector<std::string> m_asked;
};

TEST_F(ResearchCommandTest, PrintsBothListsAsTheDialogShowsThem)
{
    ASSERT_EQ(run({"research", "URLAUB"}), 0) << m_err.str();
    EXPECT_EQ(out(), "Suchmaschinen Eingaben:\n"
                     "urlaub reise\n"
                     "urlaubsangebote\n"
                     "Varianten, Synonyme, verwandte Begriffe:\n"
                     "Ferien\n"
                     "Erholung\n"
                     "Gründe\n");
    // Typed in capitals, asked in small letters, as the dialog's field
    // would have turned them.
    EXPECT_EQ(asked(), std::vector<std::string>{"urlaub"});
    EXPECT_EQ(m_err.str(), "");

    // Nothing found is a finished research, too.
    ASSERT_EQ(run({"research", "xyz"}), 0) << m_err.str();
    EXPECT_EQ(out(), "Suchmaschinen Eingaben:\n"
                     "Es wurden keine Begriffe gefunden.\n"
                     "Varianten, Synonyme, verwandte Begriffe:\n"
                     "Es wurden keine Begriffe gefunden.\n");

    ASSERT_EQ(run({"research", "HÄUSER"}), 0) << m_err.str();
    // That service takes its terms in cp1252.
    EXPECT_EQ(asked().back(), "h\xE4user");
}

TEST_F(ResearchCommandTest, RefusalsUsageAndConnectionErrors)
{
    EXPECT_EQ(run({"research", "ab"}), 1);
    EXPECT_TRUE(told("Suchbegriff zu kurz: Alle Suchbegriffe müssen mindestens 3 Buchstaben lang sein."));
    EXPECT_EQ(out(), "");
    EXPECT_EQ(run({"research", "auto teile reifen"}), 1);
    EXPECT_TRUE(told("Zuviele Suchbegriffe: "));
    EXPECT_EQ(run({"research", "auto-teile"}), 1);
    EXPECT_TRUE(told("Ungültige Zeichen"));
    // Not even cp1252 has it: refused like any other foreign character.
    EXPECT_EQ(run({"research", "caf\xE2\x82\xAC"}), 1);
    EXPECT_TRUE(told("Ungültige Zeichen"));
    EXPECT_TRUE(asked().empty());

    EXPECT_EQ(run({"research", "auto teile reifen", "--as-one-word"}), 0) << m_err.str();
    EXPECT_EQ(asked().back(), "auto teile reifen");

    EXPECT_EQ(run({"research"}), 2);
    EXPECT_EQ(run({"research", "auto", "teile"}), 2);
    EXPECT_EQ(run({"research", "auto", "--remember-all"}), 2);

    // A service that cannot be reached: the box is answered "Abbrechen".
    serve("127.0.0.1:1");
    EXPECT_EQ(run({"research", "urlaub"}), 1);
    EXPECT_TRUE(told("Fehler beim Verbindungsaufbau: Es ist ein Fehler bei der Internet-Verbindung aufgetreten."))
        << m_err.str();
    EXPECT_EQ(out(), "");
}

TEST_F(ResearchCommandTest, ResearchFileComesFromTheUpdateServerOrIsMissed)
{
    serve({});
    EXPECT_EQ(run({"research", "urlaub"}), 1);
    EXPECT_TRUE(told("Datei fehlt!: Datei 'Research_d.dat' im Unterverzeichnis '\\Data' von Vantor!! nicht gefunden."))
        << m_err.str();
    EXPECT_TRUE(asked().empty());

    serve(host());
    EXPECT_EQ(run({"research", "urlaub"}), 0) << m_err.str();
    EXPECT_EQ(asked().size(), 1u);
}

TEST_F(ResearchCommandTest, RememberAllPutsEachListIntoTheWatchList)
{
    ASSERT_EQ(run({"research", "urlaub", "--remember-all-left"}), 0) << m_err.str();
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "1 urlaub reise\n1 urlaubsangebote\n");

    ASSERT_EQ(run({"research", "urlaub", "--remember-all-right", "--remember-all-left"}), 0) << m_err.str();
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "1 urlaub reise\n1 urlaubsangebote\n2 Ferien\n2 Erholung\n2 Gründe\n");

    // The placeholder never goes into the list; the list is saved all the
    // same, and as every load-and-save of the watch list does, that turns
    // each kind's order round.
    ASSERT_EQ(run({"research", "xyz", "--remember-all-right"}), 0) << m_err.str();
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "1 urlaubsangebote\n1 urlaub reise\n2 Gründe\n2 Erholung\n2 Ferien\n");
}

} // namespace
