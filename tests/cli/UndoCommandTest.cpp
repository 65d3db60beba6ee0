#include "CliFixture.h"

#include "optimizer/OptimizationRun.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

const char *const kHomepage = "<html>\n<head>\n</head>\n<body>\nHallo\n</body>\n</html>\n";

class UndoCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_site = m_dir / "site";
        fs::create_directories(m_site / "vantor!!");
        std::ofstream(m_site / "index.htm") << kHomepage;
        std::ofstream(m_site / "vantor!!" / "index.htm") << "<HEAD></HEAD><BODY>%Suchbegriff%</BODY>";
        sessionLineEnd().clear();
    }

    int lines() const
    {
        const std::string text = out();
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    fs::path m_site;
};

TEST_F(UndoCommandTest, RunsAreListedAndUndoneOneByOne)
{
    ASSERT_EQ(run({"optimize", "--homepage", (m_site / "index.htm").string()}), 0) << m_err.str();
    const std::string afterFirst = slurp(m_site / "index.htm");
    ASSERT_NE(afterFirst, kHomepage);
    std::ofstream(m_site / "index.htm", std::ios::app) << "<!-- von Hand -->\n"; // then the user edits
    const std::string edited = slurp(m_site / "index.htm");
    ASSERT_EQ(run({"optimize", "--yes"}), 0) << m_err.str();

    ASSERT_EQ(run({"undo", "--list"}), 0);
    EXPECT_EQ(lines(), 2);
    EXPECT_TRUE(printed(" Dateien\n"));
    const std::string firstId = out().substr(0, out().find(' '));

    // The newest run first: the page as the user had edited it comes back.
    ASSERT_EQ(run({"undo"}), 0) << m_err.str();
    EXPECT_TRUE(printed("Optimierung rückgängig gemacht: "));
    EXPECT_EQ(slurp(m_site / "index.htm"), edited);
    ASSERT_EQ(run({"undo", "--list"}), 0);
    EXPECT_TRUE(printed("(rückgängig gemacht)"));

    // The first run was edited after it: without --yes nothing changes.
    EXPECT_EQ(run({"undo"}), 1);
    EXPECT_TRUE(told("Dateien wurden geändert"));
    EXPECT_TRUE(told("-> Abbruch"));
    EXPECT_EQ(slurp(m_site / "index.htm"), edited);
    ASSERT_EQ(run({"undo", "--run", firstId, "--yes"}), 0) << m_err.str();
    EXPECT_EQ(slurp(m_site / "index.htm"), kHomepage);
    EXPECT_FALSE(fs::exists(m_site / "~report.htm"));
    EXPECT_FALSE(fs::exists(m_site / "vantor.gif"));

    EXPECT_EQ(run({"undo"}), 1);
    EXPECT_TRUE(told("Nichts rückgängig zu machen"));
    EXPECT_EQ(run({"undo", "--run", firstId}), 1);
    EXPECT_TRUE(told("Bereits rückgängig gemacht"));
}

TEST_F(UndoCommandTest, WrongCallsAndUnknownRuns)
{
    EXPECT_EQ(run({"undo", "--frob"}), 2);
    EXPECT_EQ(run({"undo", "--run"}), 2);
    EXPECT_EQ(run({"undo", "--list", "--run", "x"}), 2);
    EXPECT_EQ(run({"undo", "--run", "2020-01-01_00-00-00"}), 1);
    EXPECT_TRUE(told("Optimierung nicht gefunden"));
    ASSERT_EQ(run({"undo", "--list"}), 0);
    EXPECT_TRUE(out().empty());
}

TEST_F(UndoCommandTest, OptimizeWithoutAHomepageSaysSo)
{
    EXPECT_EQ(run({"optimize"}), 1);
    EXPECT_TRUE(told("Keine Homepage"));
    EXPECT_TRUE(told("ist noch keine Homepage-Datei angegeben"));
    EXPECT_TRUE(out().empty());
}

TEST_F(UndoCommandTest, AFramePageNamesItsHelpTopicInsteadOfOpeningIt)
{
    const fs::path opened = m_dir / "geoeffnet.txt";
    const fs::path recorder = m_dir / "open.sh";
    std::ofstream(recorder) << "#!/bin/sh\necho \"$1\" >> '" << opened.string() << "'\n";
    fs::permissions(recorder, fs::perms::owner_all);
    ::setenv("VANTOR_OPEN_COMMAND", recorder.c_str(), 1);
    std::ofstream(m_site / "rahmen.htm") << "<html><head></head><frameset><frame src=\"a.htm\"></frameset></html>";
    run({"optimize", "--homepage", (m_site / "rahmen.htm").string()});
    ::unsetenv("VANTOR_OPEN_COMMAND");
    EXPECT_TRUE(told("Hilfe: Homepages mit Frames")) << m_err.str();
    EXPECT_TRUE(told("72.htm"));
    EXPECT_TRUE(told("Homepage enthält Frames"));
    ::usleep(200 * 1000); // a started opener would have written by now
    EXPECT_FALSE(fs::exists(opened));
}

} // namespace
