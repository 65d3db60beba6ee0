#include "TestEnvironment.h"

#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class ProjectManagerTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        fs::copy_file(std::string(VANTOR_SOURCE_DATA_DIR) + "/projects/project.qx!", projectPath("default"));
        programSettings().currentProject = "default";
        ASSERT_TRUE(LoadProjectData("default"));
    }
    void TearDown() override
    {
        projects::setProjectLoadedHandler(nullptr);
        CoreTest::TearDown();
    }

    void makeProject(const std::string &name)
    {
        ASSERT_TRUE(projects::create(name, {}, ui));
        programSettings().currentProject = "default";
        ASSERT_TRUE(LoadProjectData("default"));
    }
    std::optional<std::string> problemTitle(const std::string &name)
    {
        const auto problem = projects::newNameProblem(name, projects::listEntries());
        return problem ? std::optional<std::string>(problem->title) : std::nullopt;
    }

    std::vector<std::string> statuses;
    projects::Status status = [this](const std::string &text) { statuses.push_back(text); };
};

} // namespace

TEST_F(ProjectManagerTest, NamesForNewProjects)
{
    makeProject("SHOP");
    EXPECT_EQ(problemTitle("Default"), std::nullopt);
    EXPECT_EQ(problemTitle(std::string(30, 'a')), std::nullopt);
    EXPECT_EQ(problemTitle("Standard"), std::nullopt);
    EXPECT_EQ(problemTitle("default"), "Unerlaubter Projektname");
    EXPECT_EQ(problemTitle("project"), "Unerlaubter Projektname");
    EXPECT_EQ(problemTitle("Standardprojekt"), "Unerlaubter Projektname");
    EXPECT_EQ(problemTitle("standardprojekt"), "Projekt existiert schon");
    EXPECT_EQ(problemTitle(""), "Kein Projektname");
    EXPECT_EQ(problemTitle(std::string(31, 'a')), "Projektname zu lang");
    EXPECT_EQ(problemTitle("shop"), "Projekt existiert schon");
    // Names that would reach outside the project directory or not come back
    // from the settings file.
    for (const std::string &name : std::vector<std::string>{"../x", "a/b", "a\\b", "..", ".x", "a..b", " x", "x ",
                                                            std::string("a\0b", 3), "a\tb"})
        EXPECT_EQ(problemTitle(name), "Unerlaubter Projektname") << name;
}

TEST_F(ProjectManagerTest, CreatedProjectsAreListedSortedAndOpenAsThemselves)
{
    const std::string longest(30, 'z');
    makeProject(longest);
    makeProject("Standard");
    makeProject("bio");
    EXPECT_EQ(projects::listEntries(), (std::vector<std::string>{"bio", "Standard", "Standardprojekt", longest}));

    EXPECT_TRUE(projects::open("Standard", "Standardprojekt", ui, status));
    EXPECT_EQ(programSettings().currentProject, "Standard");
    EXPECT_EQ(statuses, (std::vector<std::string>{"Lade Projekt...", "Projektdaten lesen...", "Konfiguration lesen...",
                                                  ""}));
    EXPECT_EQ(ui.lastProgress, 0);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ProjectManagerTest, NewProjectTakesWhatWasChosenAndDropsTheInformation)
{
    projectRecord().title1 = "Alter Titel";
    projectOptions().titl = 1;
    projects::NewProjectChoice choice;
    choice.keepHomepageTexts = true;
    profile::writeString(projectPath("default"), "project", "company", "Alt");
    ASSERT_TRUE(projects::create("neu", choice, ui));
    EXPECT_EQ(programSettings().currentProject, "neu");
    EXPECT_TRUE(settingsStore().hasSubkey("neu"));
    ASSERT_TRUE(LoadProjectData("neu"));
    ASSERT_TRUE(LoadProjectOptions("neu"));
    EXPECT_EQ(projectRecord().title1.str(), "Alter Titel");
    EXPECT_EQ(projectOptions().titl, 3); // standard options
    EXPECT_EQ(projects::readInfo("neu").company, "");
}

TEST_F(ProjectManagerTest, OpeningWhatIsShownOrNothing)
{
    EXPECT_FALSE(projects::open("Standardprojekt", "Standardprojekt", ui, status));
    EXPECT_FALSE(projects::open("", "Standardprojekt", ui, status));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Projekt bereits geladen", de("Projektname wählen")}));
}

TEST_F(ProjectManagerTest, AFailedOpenKeepsTheCurrentProjectAsStored)
{
    projectRecord().title1 = "Standard-Titel";
    ASSERT_TRUE(SaveProjectData("default"));
    ASSERT_TRUE(settingsStore().createSubkey("kaputt"));
    fs::create_directories(projectPath("kaputt")); // unreadable as a file
    EXPECT_FALSE(projects::open("kaputt", "Standardprojekt", ui, status));
    EXPECT_TRUE(ui.showedTitle("Fehler beim Lesen der Daten"));
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(projectRecord().title1.str(), "Standard-Titel");
}

TEST_F(ProjectManagerTest, DeletingMakesTheStandardProjectCurrent)
{
    makeProject("alt");
    makeProject("neu");
    ASSERT_TRUE(projects::open("neu", "Standardprojekt", ui, status));
    int reloads = 0;
    projects::setProjectLoadedHandler([&] { ++reloads; });

    ui.questionAnswers = {false};
    EXPECT_FALSE(projects::remove("alt", ui, status));
    EXPECT_TRUE(fs::exists(projectPath("alt")));

    EXPECT_TRUE(projects::remove("alt", ui, status));
    EXPECT_FALSE(fs::exists(projectPath("alt")));
    EXPECT_FALSE(settingsStore().hasSubkey("alt"));
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(ui.waitTexts, std::vector<std::string>{de("Bitte warten...\nDie Merkliste wird aktualisiert.")});

    ui.shown.clear();
    EXPECT_FALSE(projects::remove("Standardprojekt", ui, status));
    EXPECT_FALSE(projects::remove("", ui, status));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{de("Standardprojekt nicht löschbar"), de("Projektname wählen")}));
    EXPECT_TRUE(fs::exists(projectPath("default")));
    EXPECT_EQ(ui.lastProgress, 0);
}

TEST_F(ProjectManagerTest, InformationGoesIntoTheCurrentProject)
{
    makeProject("andere");
    projects::Info info;
    info.company = de("Bäckerei Korn");
    info.mail = std::string(300, 'm');
    ASSERT_TRUE(projects::saveInfo(info, ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Projektinformationen gespeichert"});
    EXPECT_EQ(projects::readInfo("default").company, de("Bäckerei Korn"));
    EXPECT_EQ(projects::readInfo("default").mail.size(), 259u);
    EXPECT_EQ(projects::readInfo("andere").company, "");
}

TEST_F(ProjectManagerTest, AFailedCreateLeavesTheCurrentProjectsData)
{
    projectRecord().title1 = "Meine Daten";
    ASSERT_TRUE(SaveProjectData("default"));
    fs::create_directories(projectPath("neu")); // cannot be written as a file
    EXPECT_FALSE(projects::create("neu", {}, ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Schreiben der Daten"});
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(projectRecord().title1.str(), "Meine Daten");
}
