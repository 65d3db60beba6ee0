#include "CliFixture.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class CliTest : public vantor::testing::CliFixture
{
};

TEST_F(CliTest, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"frobnicate"}), 2);
    EXPECT_EQ(run({"settings"}), 2);
    EXPECT_EQ(run({"settings", "set", "tip", "abc", "--number"}), 2);
    EXPECT_EQ(run({"settings", "set", "a=b", "x"}), 2);
    // Names the settings file could not give back as they were.
    for (const char *name : {"[x", ";x", " x", "x ", "名前"})
        EXPECT_EQ(run({"settings", "set", name, "x"}), 2) << name;
    EXPECT_EQ(run({"settings", "set", "proxy", "名前.example"}), 2);
    EXPECT_EQ(run({"settings", "get", "proxy"}), 0);
    EXPECT_EQ(m_out.str(), "\n");
    EXPECT_EQ(run({"project", "show", "a", "b"}), 2);
    EXPECT_NE(m_err.str().find("Usage"), std::string::npos);
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(m_out.str().find("vantor-cli settings get NAME"), std::string::npos);
}

TEST_F(CliTest, FirstRunPreparesProgramDirectoryAndStandardProject)
{
    ASSERT_EQ(run({"settings", "get", "progpath"}), 0);
    const std::string progpath = m_out.str().substr(0, m_out.str().size() - 1);
    EXPECT_EQ(progpath, (m_dir / "data" / "vantor").string());
    EXPECT_TRUE(fs::exists(fs::path(progpath) / "projects" / "default.qx!"));
    ASSERT_EQ(run({"settings", "get", "lastproject"}), 0);
    EXPECT_EQ(m_out.str(), "default\n");
    ASSERT_EQ(run({"settings", "get", "accesstype"}), 0);
    EXPECT_EQ(m_out.str(), "999\n");
}

TEST_F(CliTest, SettingsRoundTripTextsAndNumbers)
{
    EXPECT_EQ(run({"settings", "set", "proxy", "Größe.example"}), 0);
    EXPECT_EQ(run({"settings", "get", "PROXY"}), 0);
    EXPECT_EQ(m_out.str(), "Größe.example\n");
    EXPECT_EQ(settingsStore().readText("proxy"), de("Größe.example"));

    EXPECT_EQ(run({"settings", "set", "tip", "7", "--number"}), 0);
    EXPECT_EQ(settingsStore().readNumber("tip"), 7u);
    EXPECT_EQ(run({"settings", "unset", "tip"}), 0);
    EXPECT_EQ(run({"settings", "get", "tip"}), 1);
    EXPECT_NE(m_err.str().find("nicht gesetzt"), std::string::npos);
    EXPECT_EQ(run({"settings", "unset", "tip"}), 1);
}

TEST_F(CliTest, ProjectListPutsStandardProjectFirstAndSortsTheRest)
{
    ASSERT_EQ(run({"project", "list"}), 0);
    EXPECT_EQ(m_out.str(), "Standardprojekt\n");
    settingsStore().createSubkey("zoo");
    settingsStore().createSubkey("Apfel");
    settingsStore().createSubkey("default");
    settingsStore().createSubkey("birne");
    ASSERT_EQ(run({"project", "list"}), 0);
    EXPECT_EQ(m_out.str(), "Standardprojekt\nApfel\nbirne\nzoo\n");
}

TEST_F(CliTest, ProjectShowAndHomepage)
{
    const fs::path site = m_dir / "site";
    fs::create_directories(site);
    std::ofstream(site / "index.htm") << "<html></html>";

    ASSERT_EQ(run({"project", "homepage", (site / "index.htm").string()}), 0);
    ASSERT_EQ(run({"project", "show", "Standardprojekt"}), 0);
    const std::string shown = m_out.str();
    EXPECT_NE(shown.find("project=Standardprojekt\n"), std::string::npos);
    EXPECT_NE(shown.find("homepage.path=" + (site / "index.htm").string() + "\n"), std::string::npos);
    EXPECT_NE(shown.find("config.titl=3\n"), std::string::npos);
    EXPECT_NE(shown.find("config.door=1\n"), std::string::npos);

    // A path the project file cannot hold is refused, not cut or garbled.
    EXPECT_EQ(run({"project", "homepage", (site / "名前.htm").string()}), 1);
    EXPECT_NE(m_err.str().find("Pfad nicht möglich"), std::string::npos);
    EXPECT_EQ(run({"project", "homepage", "/" + std::string(999, 'a') + ".htm"}), 1);
    EXPECT_NE(m_err.str().find("länger als 999 Zeichen"), std::string::npos);

    // A homepage that does not exist is refused, and the project keeps its path.
    EXPECT_EQ(run({"project", "homepage", (site / "fehlt.htm").string()}), 1);
    ASSERT_EQ(run({"project", "show"}), 0);
    EXPECT_NE(m_out.str().find("homepage.path=" + (site / "index.htm").string()), std::string::npos);
}

TEST_F(CliTest, ProjectNamesNeverReachOutsideTheProjectDirectory)
{
    std::ofstream(m_dir / "evil.qx!") << "[homepage]\r\npath=/etc/passwd\r\n";
    EXPECT_EQ(run({"project", "show", "../../evil"}), 2);
    EXPECT_EQ(run({"project", "show", "/tmp/evil"}), 2);
    EXPECT_EQ(run({"project", "show", "fehlt"}), 1);
    EXPECT_NE(m_err.str().find("Fehler beim Lesen der Daten"), std::string::npos);
}

} // namespace
