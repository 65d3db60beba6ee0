#include "CliFixture.h"

#include "optimizer/OptimizationRun.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class OptimizeCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_site = m_dir / "site";
        fs::create_directories(m_site / "vantor!!");
        std::ofstream(m_site / "index.htm") << "<html>\n<head>\n</head>\n<body>\nHallo\n</body>\n</html>\n";
        std::ofstream(m_site / "vantor!!" / "index.htm") << "<HEAD></HEAD><BODY>%Suchbegriff%</BODY>";
        sessionLineEnd().clear();
    }

    fs::path m_site;
};

TEST_F(OptimizeCommandTest, QuickRunPrintsItsLinesAndKeepsTheReport)
{
    ASSERT_EQ(run({"optimize", "--homepage", (m_site / "index.htm").string()}), 0) << m_err.str();
    EXPECT_TRUE(printed("[ ] Daten zur Optimierung liegen vor\n"));
    EXPECT_TRUE(printed("[ ] === Vorlage prüfen ===\n"));
    EXPECT_TRUE(printed("[W]      WARNUNG: Keine Kopien erstellt da keine angegeben wurden\n"));
    // The two about copies and doorway pages, and the homepage's missing
    // copyright, description, keywords, title and comment.
    EXPECT_TRUE(printed("[W] Es sind insgesamt 0 Fehler und 7 Warnungen aufgetreten.\n"));
    EXPECT_TRUE(printed("To Do's:\n- Geben Sie im Wizard Suchbegriffe für die Kopien ein"));
    EXPECT_TRUE(printed("- Kopieren Sie das optimierte Homepage-Dokument auf den Web-Server.\n"));
    EXPECT_TRUE(printed("Report: " + (m_site / "~report.htm").string() + "\n"));
    EXPECT_TRUE(fs::exists(m_site / "~report.htm"));
    EXPECT_EQ(slurp(m_site / "index.htm"), "<html>\n<HEAD><LINK REL=Home>\n<META NAME=\"robots\" CONTENT=\"index, "
                                           "follow\">\n\n</HEAD>\n<BODY>\nHallo\n</BODY>\n</html>\n");

    // The path was stored: the next run needs no --homepage.
    ASSERT_EQ(run({"project", "show"}), 0);
    EXPECT_TRUE(printed("homepage.path=" + (m_site / "index.htm").string() + "\n"));
    EXPECT_EQ(run({"optimize", "--no-project-data", "--no-config-data"}), 0);
    EXPECT_EQ(slurp(m_site / "~report.htm").find("PROJEKTDATEN"), std::string::npos);
}

TEST_F(OptimizeCommandTest, SaveReportWritesTheCopyWithItsBackground)
{
    fs::create_directories(m_dir / "ablage");
    const fs::path copy = m_dir / "ablage" / "Report.htm";
    ASSERT_EQ(run({"optimize", "--homepage", (m_site / "index.htm").string(), "--save-report", copy.string()}), 0)
        << m_err.str();
    const std::string saved = slurp(copy);
    EXPECT_NE(saved.find("<BODY background=\"back.gif\">"), std::string::npos);
    EXPECT_TRUE(fs::exists(m_dir / "ablage" / "back.gif"));
    EXPECT_TRUE(printed("Report gespeichert / saved: " + copy.string()));

    // A place where it cannot go fails the command after the run.
    EXPECT_EQ(run({"optimize", "--save-report", (m_dir / "fehlt" / "r.htm").string()}), 1);
    EXPECT_TRUE(told("Fehler Code 6001"));
}

TEST_F(OptimizeCommandTest, MissingTemplateIsAnsweredAbbruchEvenWithYes)
{
    fs::remove(m_site / "vantor!!" / "index.htm");
    EXPECT_EQ(run({"optimize", "--homepage", (m_site / "index.htm").string()}), 1);
    EXPECT_TRUE(told("Vorlage fehlt"));
    EXPECT_TRUE(told("-> Abbruch"));
    EXPECT_TRUE(printed("[F]      FEHLER: Für die Optimierung fehlt eine für diese Homepage erstellte Vorlage."));
    EXPECT_FALSE(fs::exists(m_site / "~report.htm"));

    EXPECT_EQ(run({"optimize", "--yes"}), 1);
    EXPECT_TRUE(told("-> OK"));
    EXPECT_TRUE(printed("[F]      FEHLER: Für die Optimierung fehlt"));
}

TEST_F(OptimizeCommandTest, FailedHomepageCheckStopsBeforeTheRun)
{
    std::ofstream(m_site / "kaputt.htm") << "<html><body></body></html>";
    EXPECT_EQ(run({"optimize", "--homepage", (m_site / "kaputt.htm").string()}), 1);
    EXPECT_TRUE(told("Kein Element <HEAD> gefunden"));
    EXPECT_TRUE(m_out.str().empty());
}

TEST_F(OptimizeCommandTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(run({"optimize", "--frob"}), 2);
    EXPECT_EQ(run({"optimize", "--homepage"}), 2);
    EXPECT_EQ(run({"optimize", "--project", "../x"}), 2);
    EXPECT_EQ(run({"optimize", "--project", "fehlt"}), 1);
    EXPECT_TRUE(told("Fehler beim Lesen der Daten"));
}

} // namespace
