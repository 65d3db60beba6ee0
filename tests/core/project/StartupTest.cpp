#include "project/Startup.h"

#include "../TestEnvironment.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "project/StartupView.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vantor {
namespace {

// Records the windows of the start-up, with the time paused before each.
class RecordingView : public StartupView
{
public:
    explicit RecordingView(const ScriptedUi &ui)
        : m_ui(ui)
    {
    }
    void showSplash() override { add("splash"); }
    void closeSplash() override { add("closeSplash"); }
    void runFirstStartDialogs() override { add("welcome"); }
    void userLevelDialog() override { add("userLevel"); }
    void internetAccessDialog() override { add("internet"); }
    void mainWindow() override { add("main"); }

    std::vector<std::string> events;

private:
    void add(const std::string &event) { events.push_back(event + "@" + std::to_string(m_ui.pausedMs)); }
    const ScriptedUi &m_ui;
};

TEST(ProjectNameFromArgument, OnlyTheNameBeforeQxCounts)
{
    EXPECT_EQ(projectNameFromArgument("D:\\web\\shop.qx!"), "shop");
    EXPECT_EQ(projectNameFromArgument("/home/a/shop.qx!"), "shop");
    EXPECT_EQ(projectNameFromArgument("shop.qx!"), "shop");
    EXPECT_EQ(projectNameFromArgument("a.qx!.qx!"), "a");
    EXPECT_EQ(projectNameFromArgument("shop.qx!.bak"), "shop");
    EXPECT_EQ(projectNameFromArgument("notes.txt"), "default");
    EXPECT_EQ(projectNameFromArgument("shop.QX!"), "default");
    EXPECT_EQ(projectNameFromArgument("/tmp/x/../evil.qx!"), "evil");
    EXPECT_EQ(projectNameFromArgument("..\\..\\evil.qx!"), "evil");
    // Nothing that could name a place outside the project directory.
    for (const char *argument : {".qx!", "..qx!", "...qx!", "/tmp/shop.qx!/", "C:\\x\\", "a\nb.qx!", ""})
        EXPECT_EQ(projectNameFromArgument(argument), "default") << argument;
}

class StartupTest : public testing::CoreTest
{
protected:
    // A program directory in place and the user's choices made.
    void configure(bool userLevel = true, bool access = true)
    {
        SettingsStore &store = settingsStore();
        store.writeText("progpath", root());
        if (userLevel)
            store.writeNumber("usertype", 1);
        if (access) {
            store.writeNumber("accesstype", 1);
            store.writeNumber("httpinform", 1);
            for (const char *name : {"proxy", "proxyport", "proxyuser", "proxypassword"})
                store.writeText(name, "");
        }
        programSettings().programDirectory.clear(); // must come from the store
    }
    void project(const std::string &name, const std::string &path)
    {
        writeProject(name, "[homepage]\r\npath=" + path + "\r\n");
    }
    std::string loadedPath() const { return projectRecord().path.str(); }
};

TEST_F(StartupTest, TheCommandLineNamesAProjectOfTheProjectDirectory)
{
    configure();
    project("default", "default.htm");
    project("shop", "shop.htm");
    settingsStore().writeText("lastproject", "shop");
    writeFile(root() + "/evil.qx!", "[homepage]\r\npath=outside\r\n");

    StartupResult result = prepareProgram(std::nullopt, ui, nullptr);
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.firstStart);
    EXPECT_EQ(programSettings().currentProject, "shop");
    EXPECT_EQ(loadedPath(), "shop.htm");

    ASSERT_TRUE(prepareProgram(std::string("notes.txt"), ui, nullptr).ok);
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(loadedPath(), "default.htm");

    settingsStore().writeText("lastproject", "default");
    ASSERT_TRUE(prepareProgram(std::string("D:\\web\\shop.qx!"), ui, nullptr).ok);
    EXPECT_EQ(programSettings().currentProject, "shop");
    EXPECT_EQ(loadedPath(), "shop.htm");
    EXPECT_TRUE(ui.shown.empty());

    // The file beside the project directory is never read.
    ASSERT_TRUE(prepareProgram(root() + "/projects/../evil.qx!", ui, nullptr).ok);
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(loadedPath(), "default.htm");
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Projektdaten"});
    EXPECT_EQ(ui.pausedMs, 0); // no splash without a view
}

TEST_F(StartupTest, ADeletedLastProjectFallsBackToTheStandardProject)
{
    configure();
    project("default", "default.htm");
    settingsStore().writeText("lastproject", "gone");
    RecordingView view(ui);
    EXPECT_EQ(StartProgram(std::nullopt, view, ui), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Lesen der Projektdaten");
    EXPECT_EQ(ui.shown[0].text, de("Die Daten konnten nicht aus der Projektdatei \"gone.qx!\" gelesen werden. "
                                   "Möglicherweise existiert diese Datei nicht oder wurde manipuliert.\n\nEs werden "
                                   "die Daten für das Standardprojekt geladen."));
    EXPECT_EQ(loadedPath(), "default.htm");
    EXPECT_EQ(settingsStore().readText("lastproject"), "default");
    EXPECT_EQ(view.events, (std::vector<std::string>{"splash@0", "closeSplash@1000", "main@1000"}));

    // A name with "default" in it gets the standard project's message alone,
    // and the record stays empty.
    ui.shown.clear();
    settingsStore().writeText("lastproject", "mydefault");
    ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Standard-Projektdaten"});
    EXPECT_TRUE(projectRecord().path.empty());
    EXPECT_EQ(projectRecord().makedirs, 1);

    // A stored name that is no plain file name is not followed: it fails
    // like a missing project.
    ui.shown.clear();
    settingsStore().writeText("lastproject", "../../etc/passwd");
    ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Projektdaten"});
    EXPECT_EQ(programSettings().currentProject, "default");
    EXPECT_EQ(loadedPath(), "default.htm");
}

TEST_F(StartupTest, AFirstStartShowsOnlyTheDialogsStillNeeded)
{
    configure(true, true);
    const std::string shipped = "[homepage]\r\npath=\r\nmakedirs=1\r\n; shipped\r\n[config]\r\ntitl=3\r\n";
    writeProject("project", shipped);
    programSettings().tip = 12;

    RecordingView view(ui);
    EXPECT_EQ(StartProgram(std::nullopt, view, ui), 0);
    EXPECT_EQ(view.events, (std::vector<std::string>{"splash@0", "closeSplash@2500", "welcome@2500", "main@2500"}));
    EXPECT_EQ(ui.pausedMs, 2500);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(readFile(projectPath("default")), shipped);
    EXPECT_EQ(projectRecord().makedirs, 1);
    const SettingsStore &store = settingsStore();
    EXPECT_EQ(store.readText("revision"), "Vantor!! 4.01 ");
    EXPECT_EQ(store.readNumber("tip"), 1u);
    EXPECT_EQ(programSettings().tip, 1);
    EXPECT_EQ(store.readNumber("usertype"), 1u);
    EXPECT_EQ(store.readText("lastproject"), "default");
    EXPECT_EQ(store.readNumber("accesstype"), 1u);

    // The second start is no first start and shows no dialog.
    RecordingView second(ui);
    EXPECT_EQ(StartProgram(std::nullopt, second, ui), 0);
    EXPECT_EQ(second.events, (std::vector<std::string>{"splash@2500", "closeSplash@3500", "main@3500"}));
}

TEST_F(StartupTest, UnchosenSettingsBringTheirDialogsAfterTheSplash)
{
    configure(false, false);
    project("default", "default.htm");
    RecordingView view(ui);
    EXPECT_EQ(StartProgram(std::nullopt, view, ui), 0);
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"splash@0", "closeSplash@2500", "userLevel@2500", "internet@2500", "main@2500"}));
    EXPECT_EQ(settingsStore().readNumber("usertype"), 0u);
    EXPECT_EQ(settingsStore().readNumber("accesstype"), 999u);

    // A first start without the shipped template: no copy, the standard
    // project's message, and the main window all the same.
    std::filesystem::remove(projectPath("default"));
    RecordingView first(ui);
    ui.pausedMs = 0;
    EXPECT_EQ(StartProgram(std::nullopt, first, ui), 0);
    EXPECT_EQ(first.events, (std::vector<std::string>{"splash@0", "closeSplash@2500", "welcome@2500", "userLevel@2500",
                                                      "internet@2500", "main@2500"}));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Standard-Projektdaten"});
}

TEST_F(StartupTest, AMissingProgramDirectoryIsMadePerUser)
{
    // The shipped files: the source tree's, or a minimal stand-in.
    std::string shipped = VANTOR_SOURCE_DATA_DIR;
    if (!std::filesystem::is_regular_file(shipped + "/projects/project.qx!")) {
        shipped = root() + "/shipped";
        std::filesystem::create_directories(shipped + "/projects");
        writeFile(shipped + "/projects/project.qx!", "[homepage]\r\npath=\r\nmakedirs=1\r\n");
    }
    ::setenv("VANTOR_DATA_DIR", shipped.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root() + "/xdg").c_str(), 1);
    programSettings().programDirectory.clear();
    // A project the user already has there is left alone.
    std::filesystem::create_directories(root() + "/xdg/vantor/projects");
    writeFile(root() + "/xdg/vantor/projects/mine.qx!", "[homepage]\r\npath=mine.htm\r\n");

    const StartupResult result = prepareProgram(std::nullopt, ui, nullptr);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.firstStart);
    const std::string dir = root() + "/xdg/vantor";
    EXPECT_EQ(programSettings().programDirectory, dir);
    EXPECT_EQ(settingsStore().readText("progpath"), dir);
    EXPECT_EQ(readFile(dir + "/projects/default.qx!"), readFile(shipped + "/projects/project.qx!"));
    EXPECT_EQ(readFile(dir + "/projects/mine.qx!"), "[homepage]\r\npath=mine.htm\r\n");
    EXPECT_TRUE(ui.shown.empty());

    // A stored program directory that is relative, has gone or holds a line
    // break is never made: the per-user one is used again.
    for (const std::string &bad : {root() + "/gone", std::string("relative/vantor"), std::string("")}) {
        settingsStore().writeText("progpath", bad);
        ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok) << bad;
        EXPECT_EQ(programSettings().programDirectory, dir) << bad;
        EXPECT_EQ(settingsStore().readText("progpath"), dir) << bad;
    }
    EXPECT_FALSE(std::filesystem::exists(root() + "/gone"));
    EXPECT_FALSE(std::filesystem::exists("relative"));
    EXPECT_EQ(readFile(dir + "/projects/mine.qx!"), "[homepage]\r\npath=mine.htm\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(StartupTest, AFillCutShortIsCompletedAtTheNextStart)
{
    const std::string shipped = root() + "/shipped";
    std::filesystem::create_directories(shipped + "/projects");
    std::filesystem::create_directories(shipped + "/help");
    writeFile(shipped + "/projects/project.qx!", "[homepage]\r\npath=\r\n");
    writeFile(shipped + "/help/index.htm", "<html>Hilfe</html>");
    writeFile(shipped + "/back.gif", "GIF89a");
    ::setenv("VANTOR_DATA_DIR", shipped.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root() + "/xdg").c_str(), 1);
    programSettings().programDirectory.clear();
    ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok);
    const std::string dir = root() + "/xdg/vantor";
    ASSERT_EQ(programSettings().programDirectory, dir);

    // What a full disk leaves: a file missing, one empty; and the user has
    // changed one of the shipped files.
    std::filesystem::remove(dir + "/back.gif");
    writeFile(dir + "/help/index.htm", "");
    writeFile(dir + "/projects/project.qx!", "[homepage]\r\npath=meins.htm\r\n");
    ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok);
    EXPECT_EQ(readFile(dir + "/back.gif"), "GIF89a");
    EXPECT_EQ(readFile(dir + "/help/index.htm"), "<html>Hilfe</html>");
    EXPECT_EQ(readFile(dir + "/projects/project.qx!"), "[homepage]\r\npath=meins.htm\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(StartupTest, SettingsThatCannotBeReadStopTheStartUntouched)
{
    const std::string path = settingsStore().filePath();
    std::filesystem::create_directories(path); // a directory where the file belongs
    RecordingView view(ui);
    EXPECT_EQ(StartProgram(std::nullopt, view, ui), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "systemError");
    EXPECT_EQ(ui.shown[0].title, "Fehler Code 7001");
    EXPECT_NE(ui.shown[0].text.find(path), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_TRUE(std::filesystem::is_empty(path));
    EXPECT_EQ(view.events, (std::vector<std::string>{"splash@0", "closeSplash@0"}));
}

TEST_F(StartupTest, AStandardProjectThatIsNoFileIsReportedNotAFirstStart)
{
    configure();
    settingsStore().writeNumber("tip", 7);
    settingsStore().writeText("lastproject", "shop");
    project("shop", "shop.htm");
    std::filesystem::create_directory(projectPath("default"));

    const StartupResult result = prepareProgram(std::nullopt, ui, nullptr);
    ASSERT_TRUE(result.ok);
    EXPECT_FALSE(result.firstStart);
    EXPECT_EQ(settingsStore().readNumber("tip"), 7u);
    EXPECT_EQ(programSettings().currentProject, "shop");
    EXPECT_EQ(loadedPath(), "shop.htm");
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Standard-Projektdaten"});
    EXPECT_TRUE(std::filesystem::is_directory(projectPath("default")));

    // With the standard project current the message still comes once.
    ui.shown.clear();
    settingsStore().writeText("lastproject", "default");
    ASSERT_TRUE(prepareProgram(std::nullopt, ui, nullptr).ok);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Lesen der Standard-Projektdaten"});
}

} // namespace
} // namespace vantor
