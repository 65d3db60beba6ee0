#include "Cli.h"

#include "optimizer/OptimizationRun.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class OptimizeCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-optimize-test-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        m_site = m_dir / "site";
        fs::create_directories(m_site / "vantor!!");
        std::ofstream(m_site / "index.htm") << "<html>\n<head>\n</head>\n<body>\nHallo\n</body>\n</html>\n";
        std::ofstream(m_site / "vantor!!" / "index.htm") << "<HEAD></HEAD><BODY>%Suchbegriff%</BODY>";
        ::setenv("VANTOR_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_dir / "data").c_str(), 1);
        ::setenv("VANTOR_DATA_DIR", VANTOR_SOURCE_DATA_DIR, 1);
        setSettingsStorePath(SettingsStore::defaultFilePath());
        sessionLineEnd().clear();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    int run(std::vector<std::string> args)
    {
        m_out.str({});
        m_err.str({});
        programSettings() = ProgramSettings{};
        Cli cli(m_out, m_err);
        return cli.run(args);
    }

    bool printed(const std::string &text) const { return m_out.str().find(text) != std::string::npos; }
    bool told(const std::string &text) const { return m_err.str().find(text) != std::string::npos; }

    fs::path m_dir;
    fs::path m_site;
    std::ostringstream m_out;
    std::ostringstream m_err;
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
