#include "CliFixture.h"

#include "DemoServer.h"

#include <memory>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// The demo server with its simulated engines and a small site of ours at
// "/", as the update server; the current project's homepage is that site.
class SubmitCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_site = m_dir / "site";
        fs::create_directories(m_site / "unter");
        fs::create_directories(m_dir / "server");
        std::ofstream(m_site / "index.htm") << "<html><body>Start</body></html>";
        std::ofstream(m_site / "preise & mehr.htm") << "<html></html>";
        std::ofstream(m_site / "unter" / "b.html") << "<html></html>";
        std::ofstream(m_site / "bild.png") << "png";
        demo::DemoServer::Options options;
        options.site = m_site;
        options.engines.slowAnswer = std::chrono::milliseconds(50);
        options.engines.silence = std::chrono::milliseconds(50);
        m_server = std::make_unique<demo::DemoServer>(m_dir / "server", options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        ASSERT_EQ(run({"settings", "set", "updateserver", host()}), 0);
        ASSERT_EQ(run({"settings", "set", "accesstype", "1", "--number"}), 0);
        ASSERT_EQ(run({"project", "homepage", (m_site / "index.htm").string()}), 0) << m_err.str();
    }
    void TearDown() override
    {
        m_server.reset();
        CliFixture::TearDown();
    }

    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::vector<std::string> outLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path m_site;
    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = 0;
};

} // namespace

TEST_F(SubmitCommandTest, ListsTargetsAndDocumentsAndKeepsTheEntries)
{
    EXPECT_EQ(run({"submit", "--url", host(), "--email", "web@example.de", "--list-targets"}), 0) << m_err.str();
    const std::vector<std::string> targets = outLines();
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets.front(), "Suchfix");
    EXPECT_EQ(targets.back(), "Liste: Webkatalog (120)");
    EXPECT_NE(std::find(targets.begin(), targets.end(), "Spürnase"), targets.end());

    // The entries were kept; the mode is stored as the dialog stores it.
    EXPECT_EQ(run({"submit", "--mode", "complete", "--list-documents"}), 0) << m_err.str();
    std::vector<std::string> documents = outLines();
    ASSERT_EQ(documents.size(), 4u);
    EXPECT_EQ(documents[0], host());
    std::sort(documents.begin() + 1, documents.end());
    EXPECT_EQ(documents[1], host() + "/index.htm");
    EXPECT_EQ(documents[2], host() + "/preise & mehr.htm");
    EXPECT_EQ(documents[3], host() + "/unter/b.html");

    EXPECT_EQ(run({"submit", "--mode", "start", "--list-documents"}), 0);
    EXPECT_EQ(outLines(), std::vector<std::string>{host()});
}

TEST_F(SubmitCommandTest, UsageErrorsAndRefusals)
{
    EXPECT_EQ(run({"submit"}), 2);
    EXPECT_EQ(run({"submit", "--mode", "alles", "--all"}), 2);
    EXPECT_EQ(run({"submit", "--target"}), 2);
    EXPECT_EQ(run({"submit", "--all", "--frei"}), 2);
    EXPECT_EQ(run({"submit", "--url", host(), "--email", "web@example.de", "--target", "Gibtsnicht"}), 2);
    EXPECT_TRUE(told("Gibtsnicht"));

    // The checks in their order: a blank is an invalid character before
    // the missing '@' is noticed.
    EXPECT_EQ(run({"submit", "--url", "nirgends", "--email", "a b", "--all"}), 1);
    EXPECT_TRUE(told("Ungültige Zeichen"));
    EXPECT_EQ(run({"submit", "--url", "nirgends", "--email", "web@example.de", "--all"}), 1);
    EXPECT_TRUE(told("Domain Adresse"));
    // Nothing of a refused call was kept: the address is still the one of
    // the call that passed the checks.
    EXPECT_EQ(run({"submit", "--mode", "start", "--list-documents"}), 0);
    EXPECT_EQ(out(), host() + "\n");
}

TEST_F(SubmitCommandTest, SubmitsAndPrintsEachOutcomeThenReportAndAdvice)
{
    const fs::path html = m_dir / "bericht.htm";
    const fs::path csv = m_dir / "bericht.csv";
    EXPECT_EQ(run({"submit", "--url", host(), "--email", "web@example.de", "--mode", "complete", "--target",
                   "Liste: Webkatalog (120)", "--target", "Suchfix", "--html", html.string(), "--csv",
                   csv.string()}),
              0)
        << m_err.str() << m_out.str();
    const std::vector<std::string> lines = outLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Liste: Webkatalog (120): " + host() + "/preise & mehr.htm > Erfolgreich angemeldet"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Suchfix: " + host() + " > Ist bereits eingetragen"), lines.end());
    const auto report = std::find(lines.begin(), lines.end(), "Report:");
    const auto todo = std::find(lines.begin(), lines.end(), "To Do's:");
    ASSERT_NE(report, lines.end());
    ASSERT_NE(todo, lines.end());
    EXPECT_EQ(std::count(lines.begin(), report, std::string()), 0);
    EXPECT_EQ(report - lines.begin(), 8); // four documents to two targets
    EXPECT_NE(std::find(report, todo, "Suchfix: Anmeldung erfolgreich abgeschlossen"), todo);
    EXPECT_NE(std::find(report, todo, "Liste: Webkatalog (120): Anmeldung erfolgreich abgeschlossen"), todo);
    EXPECT_EQ(todo + 1, lines.end());
    // The engine got the file name as it is.
    bool arrived = false;
    for (const auto &received : m_server->engines().received())
        arrived = arrived || received.url == host() + "/preise & mehr.htm";
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(fs::exists(html));
    EXPECT_TRUE(fs::exists(m_dir / "back.gif"));
    EXPECT_NE(slurp(csv).find("Suchfix," + host() + ",Ist bereits eingetragen"), std::string::npos);

    // A target that never gets a proper answer fails the command.
    EXPECT_EQ(run({"submit", "--mode", "start", "--target", "Umleiter"}), 1);
    EXPECT_NE(m_out.str().find("Umleiter: Mind. 1 Dokument ergab ungültige Antwort vom Webserver"),
              std::string::npos);
    EXPECT_NE(m_out.str().find("To Do's:\nSollte nach 3 Tagen"), std::string::npos);
}

TEST_F(SubmitCommandTest, AHomepageThatDoesNotAnswerStopsUnlessYes)
{
    // The site's address without a server behind it; the engines are ours.
    const std::size_t before = m_server->engines().received().size();
    EXPECT_EQ(run({"submit", "--url", "127.0.0.1:1", "--email", "web@example.de", "--mode", "start", "--target",
                   "Suchfix"}),
              1);
    EXPECT_TRUE(told("Keine Antwort von Homepage"));
    EXPECT_TRUE(told("-> Anmelden beenden"));
    EXPECT_EQ(m_server->engines().received().size(), before);

    EXPECT_EQ(run({"submit", "--yes", "--target", "Suchfix"}), 0) << m_err.str();
    EXPECT_TRUE(told("-> Anmelden fortsetzen"));
    EXPECT_TRUE(printed("Suchfix: 127.0.0.1:1 > Ist bereits eingetragen"));
}
