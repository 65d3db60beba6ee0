#include "PositionServerFixture.h"

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class PositionCommandTest : public vantor::testing::PositionServerFixture
{
protected:
    std::vector<std::string> outLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The outcome lines come as they arrive; the summaries stay in place.
    std::vector<std::string> sortedOutcomes() const
    {
        std::vector<std::string> lines = outLines();
        std::vector<std::string> outcomes;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(outcomes),
                     [](const std::string &line) { return line.find(": Begriff '") != std::string::npos; });
        std::sort(outcomes.begin(), outcomes.end());
        return outcomes;
    }
    std::string server() const { return "127.0.0.1:" + std::to_string(m_port); }
};

const std::string kSite = "www.gaertnerei-sonnenblume.example";

} // namespace

TEST_F(PositionCommandTest, ListsTermsAndEnginesAndRefusesWhatItCannotDo)
{
    ASSERT_EQ(run({"position", "--term", "Müller Bau", "--term", "muellerbau", "--term", "Obst#Bäume", "--list-terms"}),
              0);
    EXPECT_EQ(out(), "müller bau\nobst\n");
    ASSERT_EQ(run({"position", "--list-engines"}), 0) << m_err.str();
    EXPECT_EQ(out(), "Suchfix\nFindling\nSpürnase\nFunkstille\n");

    EXPECT_EQ(run({"position", "--bunt"}), 2);
    EXPECT_EQ(run({"position", "--term"}), 2);

    // No domain yet, then one without a dot.
    EXPECT_EQ(run({"position", "--term", "stauden"}), 1);
    EXPECT_TRUE(told("Domain Adresse: Bitte geben Sie die Domain-Adresse für die Homepage im Internet ein"));
    EXPECT_EQ(run({"position", "--domain", "localhost", "--term", "stauden"}), 1);
    EXPECT_TRUE(told("Die Domain-Adresse muss das Zeichen '.' enthalten"));
    EXPECT_EQ(run({"position", "--domain", kSite, "--engine", "Gibtsnicht", "--term", "a"}), 2);
    EXPECT_TRUE(told("nicht angeboten"));
    // The project has no terms of its own.
    EXPECT_EQ(run({"position", "--domain", kSite, "--engine", "Suchfix"}), 1);
    EXPECT_TRUE(told("Keine Suchbegriffe"));
    EXPECT_EQ(out(), "");
}

TEST_F(PositionCommandTest, ReportListInOrderAndTheRankingReport)
{
    const fs::path report = m_dir / "Ranking.htm";
    ASSERT_EQ(run({"position", "--domain", kSite, "--engine", "Suchfix", "--engine", "Funkstille", "--term",
                   "Gärtnerei Lindenfeld", "--term", "stauden", "--html", report.string()}),
              0)
        << m_err.str();
    const std::string s = server();
    EXPECT_EQ(sortedOutcomes(),
              (std::vector<std::string>{
                  "Funkstille: Begriff 'gärtnerei lindenfeld' Funkstille: Timeout (Keine Antwort vom Server) "
                  "Link:127.0.0.1:9",
                  "Funkstille: Begriff 'stauden' Funkstille: Timeout (Keine Antwort vom Server) Link:127.0.0.1:9",
                  "Suchfix: Begriff 'gärtnerei lindenfeld' Position 1 Link:" + s
                      + "/serp/suchfix/suche?q=g%E4rtnerei+lindenfeld",
                  "Suchfix: Begriff 'stauden' Nicht unter Top 30 Link:" + s,
              }));
    const std::vector<std::string> lines = outLines();
    ASSERT_EQ(lines.size(), 6u);
    // Each engine's summary after its own outcomes.
    const auto summary = std::find(lines.begin(), lines.end(), "Suchfix: Position-Analyse erfolgreich abgeschlossen");
    ASSERT_NE(summary, lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), summary, [](const std::string &l) { return l.rfind("Suchfix:", 0) == 0; }),
              2);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Funkstille: Position-Analyse erfolgreich abgeschlossen"),
              lines.end());

    const std::string page = slurp(report);
    EXPECT_NE(page.find("'g\xE4rtnerei lindenfeld' <a href=\"http://" + s
                        + "/serp/suchfix/suche?q=g%E4rtnerei+lindenfeld\" target=\"_blank\">Position 1 </a><br>"),
              std::string::npos);
    EXPECT_EQ(page.find("stauden"), std::string::npos);
    EXPECT_TRUE(fs::exists(m_dir / "back.gif") || !fs::exists(m_dir / "data" / "vantor" / "back.gif"));

    // The domain was kept for the next run.
    ASSERT_EQ(run({"position", "--engine", "Spürnase", "--term", "obstgehölze"}), 0) << m_err.str();
    EXPECT_EQ(outLines().front(),
              "Spürnase: Begriff 'obstgehölze' Position 1 Link:" + s + "/serp/spuernase/finden?wort=obstgeh%F6lze&ab=1");
}

TEST_F(PositionCommandTest, UnclearAnswersFailAndTheDomainListHelps)
{
    EXPECT_EQ(run({"position", "--domain", kSite, "--engine", "Findling", "--term", "obstbäume"}), 1);
    EXPECT_EQ(outLines(), (std::vector<std::string>{
                              "Findling: Begriff 'obstbäume' Findling: Antwort nicht bekannt Link:" + server(),
                              "Findling: Mind. 1 Dokument ergab ungültige Antwort vom Webserver"}));

    // Another domain first; the list names the site's.
    std::ofstream(m_dir / "data" / "vantor" / "projects" / "domains.txt") << "www.andere.example\r\n" << kSite << "\r\n";
    ASSERT_EQ(run({"position", "--domain", "www.nirgends.example", "--domain-list", "domains.txt", "--engine",
                   "Findling", "--term", "küchenkräuter"}),
              0)
        << m_err.str();
    EXPECT_NE(out().find("Findling: Begriff 'küchenkräuter' Position 2 Link:"), std::string::npos) << out();
    ASSERT_EQ(run({"position", "--domain", "www.nirgends.example", "--engine", "Findling", "--term", "küchenkräuter"}),
              0);
    EXPECT_NE(out().find("Nicht unter Top 40"), std::string::npos);
}
