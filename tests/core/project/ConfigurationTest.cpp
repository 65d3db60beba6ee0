#include "TestEnvironment.h"

#include "platform/Profile.h"
#include "platform/Text.h"
#include "project/Configuration.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class ConfigurationTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        fs::copy_file(std::string(VANTOR_SOURCE_DATA_DIR) + "/projects/project.qx!", projectPath("default"));
        programSettings().currentProject = "default";
    }
    int stored(const std::string &code) { return profile::readInt(projectPath("default"), "config", code, -1); }
    const configuration::Row &row(const std::string &code) { return *configuration::findRow(code); }
};

} // namespace

TEST_F(ConfigurationTest, OpenAndOkKeepWhatTheBoxesShow)
{
    profile::writeString(projectPath("default"), "config", "link", "2");
    profile::writeString(projectPath("default"), "config", "sonz", "7");
    configuration::Values values = configuration::open(ui);
    EXPECT_EQ(configuration::fieldValue(values.options, row("link")), 2);
    EXPECT_EQ(values.signSet, -1);
    ASSERT_TRUE(configuration::apply(values, ui));
    EXPECT_EQ(stored("link"), 2);
    EXPECT_EQ(stored("sonz"), 0);
    EXPECT_EQ(stored("hiddenForm"), -1); // lasts until the program ends only
}

TEST_F(ConfigurationTest, TheNoteOnStartSignsComesWhenTheSetChanges)
{
    profile::writeString(projectPath("default"), "config", "sonz", "2");
    configuration::Values values = configuration::open(ui);
    configuration::chooseSignSet(values, 2, ui);
    EXPECT_TRUE(ui.shown.empty());
    configuration::chooseSignSet(values, 0, ui);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{de("Ändern der Sonderzeichen")});
    EXPECT_EQ(stored("sonz"), 2); // only OK takes it
    ASSERT_TRUE(configuration::apply(values, ui));
    EXPECT_EQ(stored("sonz"), 0);
}

TEST_F(ConfigurationTest, ResetIsSavedAtOnce)
{
    profile::writeString(projectPath("default"), "config", "auth", "3");
    profile::writeString(projectPath("default"), "config", "sonz", "1");
    programSettings().userLevel = 2;
    configuration::Values values = configuration::open(ui);
    configuration::field(values.options, row("hiddenForm")) = 1;
    ASSERT_TRUE(configuration::reset(values, ui));
    EXPECT_EQ(stored("auth"), 0);
    EXPECT_EQ(stored("titl"), 3);
    EXPECT_EQ(stored("door"), 1);
    EXPECT_EQ(stored("sonz"), 0);
    EXPECT_EQ(values.signSet, 0);
    EXPECT_EQ(values.options.hiddenForm, 2);
    EXPECT_EQ(values.userLevel, 2); // not reset
}

TEST_F(ConfigurationTest, AFailedWriteIsShown)
{
    configuration::Values values = configuration::open(ui);
    projectOptions().hiddenForm = 1;
    fs::remove(projectPath("default"));
    fs::create_directories(projectPath("default"));
    configuration::field(values.options, row("titl")) = 0;
    EXPECT_FALSE(configuration::apply(values, ui));
    EXPECT_FALSE(configuration::reset(values, ui));
    // Memory keeps what was in force before either.
    EXPECT_EQ(projectOptions().titl, 3);
    EXPECT_EQ(projectOptions().hiddenForm, 1);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Fehler beim Schreiben der Daten", "Fehler beim Schreiben der Daten"}));
}
