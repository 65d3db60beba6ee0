#include "PositionServerFixture.h"

#include "position/RankStore.h"

#include <cstdlib>
#include <memory>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// Position runs against the demo server's engines, then their history.
class RanksCommandTest : public vantor::testing::PositionServerFixture
{
protected:
    void SetUp() override
    {
        PositionServerFixture::SetUp();
        ASSERT_EQ(run({"project", "new", "garten"}), 0) << m_err.str();
    }

    int position(const std::vector<std::string> &terms, const std::string &engine = "Suchfix")
    {
        std::vector<std::string> args = {"position", "--domain", "www.gaertnerei-sonnenblume.example", "--engine",
                                         engine};
        for (const std::string &term : terms) {
            args.push_back("--term");
            args.push_back(term);
        }
        return run(args);
    }
    fs::path database() const { return m_dir / "data" / "vantor" / "projects" / "garten.ranks.sqlite"; }
};

const std::string kHeader = "Suchmaschine\tBegriff\tAktuell\tÄnderung\tBeste\tTiefe\tDatum\n";

} // namespace

TEST_F(RanksCommandTest, EveryRunIsKeptAndShown)
{
    ASSERT_EQ(run({"ranks", "show"}), 0);
    EXPECT_EQ(out(), kHeader);
    EXPECT_FALSE(fs::exists(database()));

    position({"gärtnerei lindenfeld", "stauden", "obstbäume"});
    position({"gärtnerei lindenfeld"}, "Funkstille");
    position({"gärtnerei lindenfeld"});
    ASSERT_TRUE(fs::exists(database()));

    ASSERT_EQ(run({"ranks", "show"}), 0) << m_err.str();
    std::string today = out().substr(out().rfind('\t') + 1, 10);
    EXPECT_EQ(out(), kHeader + "Funkstille\tgärtnerei lindenfeld\tFehler\t\t\t10\t\n"
                         "Suchfix\tgärtnerei lindenfeld\t1\t0\t1\t30\t" + today + "\n"
                         "Suchfix\tobstbäume\tFehler\t\t\t30\t\n"
                         "Suchfix\tstauden\t>30\t\t\t30\t" + today + "\n");
    ASSERT_EQ(run({"ranks", "show", "--term", "gärtnerei lindenfeld", "--engine", "Suchfix", "--last", "5"}), 0);
    EXPECT_EQ(out(), kHeader + "Suchfix\tgärtnerei lindenfeld\t1\t0\t1\t30\t" + today + "\n"
                         "Suchfix\tgärtnerei lindenfeld\t1\t0\t1\t30\t" + today + "\n"
                         "Suchfix\tgärtnerei lindenfeld\t1\t\t1\t30\t" + today + "\n");

    const fs::path page = m_dir / "Verlauf.htm";
    ASSERT_EQ(run({"ranks", "report", page.string()}), 0) << m_err.str();
    const std::string html = slurp(page);
    EXPECT_NE(html.find("<h2>Suchfix</h2>"), std::string::npos);
    EXPECT_NE(html.find("<svg"), std::string::npos);
    const fs::path table = m_dir / "Verlauf.csv";
    ASSERT_EQ(run({"ranks", "export", table.string()}), 0);
    EXPECT_NE(slurp(table).find(",Funkstille,gärtnerei lindenfeld,Fehler: Timeout (Keine Antwort vom Server),,10,"),
              std::string::npos);

    EXPECT_EQ(run({"ranks", "forget"}), 2);
    EXPECT_EQ(run({"ranks", "forget", "--before", "2026-13-01", "--yes"}), 2);
    EXPECT_EQ(run({"ranks", "show", "--last", "0"}), 2);
    EXPECT_EQ(run({"ranks", "report"}), 2);
    EXPECT_EQ(run({"ranks", "forget", "--before", "2000-01-01", "--yes"}), 0);
    EXPECT_EQ(out(), "Entfernt: 0 Läufe\n");
    EXPECT_EQ(run({"ranks", "forget", "--yes"}), 0);
    EXPECT_EQ(out(), "Entfernt: 3 Läufe\n");

    // A damaged database: a German message, and the run goes on regardless.
    std::ofstream(database(), std::ios::trunc) << std::string(5000, 'x');
    EXPECT_EQ(run({"ranks", "show"}), 1);
    EXPECT_TRUE(told("beschädigt"));
    EXPECT_EQ(position({"gärtnerei lindenfeld"}), 0);
    EXPECT_TRUE(told("Verlauf der Positionen"));
    EXPECT_NE(out().find("Position 1"), std::string::npos);
}

TEST_F(RanksCommandTest, TwoRunsAtOnceAreBothKeptAndTheDatabaseGoesWithItsProject)
{
    ::setenv("VANTOR", VANTOR_CLI_BINARY, 1);
    ::setenv("ERRLOG", (m_dir / "errors.log").c_str(), 1);
    const std::string one = "\"$VANTOR\" position --domain www.gaertnerei-sonnenblume.example --engine Suchfix "
                            "--term stauden --term kräuter >/dev/null 2>>\"$ERRLOG\"";
    ASSERT_EQ(std::system(("(" + one + ") & (" + one + ") & wait").c_str()), 0);
    ASSERT_EQ(run({"ranks", "show", "--last", "9"}), 0);
    std::size_t lines = 0;
    for (char c : out())
        lines += c == '\n';
    // Header, and per term its state and both checks.
    EXPECT_EQ(lines, 1u + 2u * 3u) << out() << slurp(m_dir / "errors.log");

    ASSERT_EQ(run({"project", "open", "default"}), 0);
    ASSERT_EQ(run({"project", "delete", "garten", "--yes"}), 0) << m_err.str();
    EXPECT_FALSE(fs::exists(database()));
}
