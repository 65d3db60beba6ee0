#include "CliFixture.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class ProjectCommandsTest : public vantor::testing::CliFixture
{
protected:
    fs::path projects() const { return m_dir / "data" / "vantor" / "projects"; }
};

} // namespace

TEST_F(ProjectCommandsTest, ProjectsComeAndGo)
{
    ASSERT_EQ(run({"project", "new", "Default"}), 0) << m_err.str();
    EXPECT_EQ(out(), "Aktuelles Projekt: Default\n");
    ASSERT_EQ(run({"project", "new", "Bäckerei", "--current-options", "--keep-keywords"}), 0) << m_err.str();
    EXPECT_EQ(run({"project", "new", "bäckerei"}), 1);
    EXPECT_TRUE(told("Projekt existiert schon"));
    EXPECT_EQ(run({"project", "new", "default"}), 1);
    EXPECT_TRUE(told("Unerlaubter Projektname"));
    EXPECT_EQ(run({"project", "new", "Bäckerei", "--keep-everything"}), 2);

    EXPECT_EQ(run({"project", "list"}), 0);
    EXPECT_EQ(out(), "Standardprojekt\nBäckerei\nDefault\n");
    // The last one made is current, for the next command too.
    ASSERT_EQ(run({"project", "info", "--company", "Korn & Söhne", "--tel", "0711 12"}), 0);
    EXPECT_TRUE(told("Projektinformationen gespeichert"));
    ASSERT_EQ(run({"project", "info"}), 0);
    EXPECT_EQ(out(), "project=Bäckerei\ncompany=Korn & Söhne\nname=\ntel=0711 12\nmail=\nlastoptimized=\n");

    EXPECT_EQ(run({"project", "open", "Bäckerei"}), 1);
    EXPECT_TRUE(told("Projekt bereits geladen"));
    EXPECT_EQ(run({"project", "open", "Nirgendwo"}), 1);
    ASSERT_EQ(run({"project", "open", "Standardprojekt"}), 0);
    EXPECT_EQ(out(), "Aktuelles Projekt: Standardprojekt\n");

    EXPECT_EQ(run({"project", "delete", "Standardprojekt", "--yes"}), 1);
    EXPECT_TRUE(told("Standardprojekt nicht löschbar"));
    EXPECT_EQ(run({"project", "delete", "Default"}), 1); // the question answers "Abbruch"
    EXPECT_TRUE(fs::exists(projects() / "Default.qx!"));
    ASSERT_EQ(run({"project", "delete", "Default", "--yes"}), 0);
    EXPECT_FALSE(fs::exists(projects() / "Default.qx!"));
    EXPECT_EQ(run({"project", "list"}), 0);
    EXPECT_EQ(out(), "Standardprojekt\nBäckerei\n");
}

TEST_F(ProjectCommandsTest, UnsafeNamesNeverTouchAFile)
{
    fs::create_directories(m_dir / "data" / "vantor");
    for (const std::string name : {"../../evil", "a/b", ".versteckt", ".."}) {
        EXPECT_EQ(run({"project", "new", name}), 1) << name;
        EXPECT_TRUE(told("Unerlaubter Projektname")) << name;
    }
    EXPECT_FALSE(fs::exists(m_dir / "evil.qx!"));
    EXPECT_FALSE(fs::exists(m_dir / "data" / "evil.qx!"));
    EXPECT_EQ(run({"project", "delete", "../projects/default", "--yes"}), 1);
    EXPECT_TRUE(fs::exists(projects() / "default.qx!"));
}

TEST_F(ProjectCommandsTest, ConfigurationOfTheCurrentProject)
{
    ASSERT_EQ(run({"config", "set", "link", "2"}), 0) << m_err.str();
    ASSERT_EQ(run({"config", "set", "tico", "1"}), 0);
    EXPECT_EQ(run({"config", "set", "tico", "2"}), 2);
    EXPECT_EQ(run({"config", "set", "door", "1"}), 2); // not in the dialog
    EXPECT_EQ(run({"config", "set", "hiddenForm", "1"}), 2);
    ASSERT_EQ(run({"config", "set", "sonz", "2"}), 0);
    EXPECT_TRUE(told("Ändern der Sonderzeichen"));
    ASSERT_EQ(run({"config", "set", "usertype", "2"}), 0);
    ASSERT_EQ(run({"config", "show"}), 0);
    EXPECT_NE(out().find("titl=3 empfohlen\nlink=2 wirkungslos\ncano=0 empfohlen\n"), std::string::npos);
    EXPECT_NE(out().find("tico=1 riskant\n"), std::string::npos);
    EXPECT_NE(out().find("text=0 riskant\n"), std::string::npos);
    EXPECT_NE(out().find("sonz=2\nusertype=2\n"), std::string::npos);

    ASSERT_EQ(run({"config", "reset"}), 0);
    ASSERT_EQ(run({"config", "show"}), 0);
    EXPECT_NE(out().find("link=3 wirkungslos\n"), std::string::npos);
    EXPECT_NE(out().find("sonz=0\nusertype=2\n"), std::string::npos);
}

TEST_F(ProjectCommandsTest, ModernConfigurationAndTheOlderFileForm)
{
    ASSERT_EQ(run({"project", "new", "Alt"}), 0) << m_err.str();
    const fs::path file = projects() / "Alt.qx!";
    ASSERT_EQ(run({"config", "set", "sonz", "1"}), 0);
    // Saving without touching the new head elements keeps the older form.
    std::string before = slurp(file);
    EXPECT_EQ(before.find("cano="), std::string::npos);
    ASSERT_EQ(run({"config", "set", "link", "3"}), 0);
    EXPECT_EQ(slurp(file), before);

    ASSERT_EQ(run({"config", "modern"}), 0) << m_err.str();
    EXPECT_NE(out().find("Zeitgemäß"), std::string::npos);
    ASSERT_EQ(run({"config", "show"}), 0);
    for (const char *line : {"titl=3 empfohlen", "desc=3 empfohlen", "robo=3 empfohlen", "cano=3 empfohlen",
                             "view=3 empfohlen", "lang=3 empfohlen", "ogtg=3 empfohlen", "keyw=0 wirkungslos",
                             "link=0 wirkungslos", "nofr=0 riskant", "altt=0 riskant", "text=0 riskant",
                             "tico=0 riskant", "sonz=1"})
        EXPECT_NE(out().find(std::string(line) + "\n"), std::string::npos) << line;
    const std::string after = slurp(file);
    // The codes that are not in the dialog: no copies, no hidden links or
    // headings, no doorway directories; reserved codes keep their values.
    for (const char *entry : {"vcop=0", "vlin=0", "komm=0", "such=3", "door=1", "makedirs=0", "cano=3", "ogtg=3"})
        EXPECT_NE(after.find(std::string(entry) + "\r\n"), std::string::npos) << entry;
    // The new keys follow the 34 codes.
    EXPECT_LT(after.find("sonz="), after.find("cano="));

    // Once there, they stay when switched off, and reset turns them off.
    ASSERT_EQ(run({"config", "reset"}), 0);
    const std::string reset = slurp(file);
    EXPECT_NE(reset.find("cano=0\r\n"), std::string::npos);
    EXPECT_NE(reset.find("vcop=3\r\n"), std::string::npos);
}

TEST_F(ProjectCommandsTest, WatchListOfTheCurrentProject)
{
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "");
    ASSERT_EQ(run({"watchlist", "add", "hotel rom"}), 0);
    ASSERT_EQ(run({"watchlist", "add", "unterkunft", "--kind", "2"}), 0);
    ASSERT_EQ(run({"watchlist", "add", "hotel rom", "--kind", "0"}), 0);
    EXPECT_TRUE(told("Bereits in der Merkliste"));
    EXPECT_EQ(run({"watchlist", "add", std::string(150, 'x')}), 1);
    EXPECT_EQ(run({"watchlist", "add", "x", "--kind", "3"}), 2);
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "1 hotel rom\n2 unterkunft\n"); // the engine inputs load last, so they stand first
    ASSERT_EQ(run({"watchlist", "delete", "hotel rom"}), 0);
    EXPECT_EQ(run({"watchlist", "delete", "hotel rom"}), 1);
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_EQ(out(), "2 unterkunft\n");
}
