#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "research/WatchList.h"

#include "../TestEnvironment.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace vantor {
namespace {

class FileLockTest : public testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        FileLock::setDefaultWait(150ms);
    }
    void TearDown() override
    {
        FileLock::setDefaultWait(5000ms);
        CoreTest::TearDown();
    }
};

TEST_F(FileLockTest, ASecondLockWaitsAndGivesUpWhileTheFirstIsHeld)
{
    const std::string file = root() + "/registry.ini";
    auto first = std::make_unique<FileLock>(file);
    ASSERT_TRUE(first->locked());
    EXPECT_TRUE(fs::exists(file + ".lock"));
    EXPECT_FALSE(fs::exists(file)); // the file itself is not touched

    const auto start = std::chrono::steady_clock::now();
    const FileLock second(file, 100ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_FALSE(second.locked());
    EXPECT_TRUE(second.busy());
    EXPECT_TRUE(FileLock::lastBusy());

    // A holder that lets go within the wait lets the waiting one in.
    std::thread release([&] {
        std::this_thread::sleep_for(50ms);
        first.reset();
    });
    const FileLock third(file, 5000ms);
    release.join();
    EXPECT_TRUE(third.locked());
    EXPECT_FALSE(FileLock::lastBusy());
}

TEST_F(FileLockTest, ALockFileThatCannotBeMadeIsNoBusyFile)
{
    const FileLock lock(root() + "/missing/registry.ini");
    EXPECT_FALSE(lock.locked());
    EXPECT_FALSE(lock.busy());
    EXPECT_EQ(lock.error(), ENOENT);
    EXPECT_FALSE(FileLock::lastBusy());

    // Through a link the lock lies beside the real file, where its save goes.
    fs::create_directories(root() + "/real");
    writeFile(root() + "/real/p.qx!", "x");
    fs::create_symlink(root() + "/real/p.qx!", root() + "/link.qx!");
    const FileLock linked(root() + "/link.qx!");
    EXPECT_TRUE(linked.locked());
    EXPECT_TRUE(fs::exists(root() + "/real/p.qx!.lock"));
    EXPECT_FALSE(FileLock(root() + "/real/p.qx!", 10ms).locked());
    EXPECT_TRUE(FileLock::isLockName("p.qx!.lock"));
    EXPECT_FALSE(FileLock::isLockName("p.qx!"));
}

TEST_F(FileLockTest, ABusySettingsFileRefusesChangesAndSaysWhy)
{
    SettingsStore &store = settingsStore();
    ASSERT_TRUE(store.writeText("proxy", "host"));
    const std::string before = readFile(store.filePath());
    {
        const FileLock other(store.filePath());
        ASSERT_TRUE(other.locked());
        EXPECT_FALSE(store.writeText("lastproject", "shop"));
        EXPECT_TRUE(FileLock::lastBusy());
        EXPECT_NE(settingsWriteFailedText().find(de("wird gerade von einem anderen Vantor!!-Programm geändert")),
                  std::string::npos);
        EXPECT_FALSE(store.writeNumber("tip", 2));
        EXPECT_FALSE(store.deleteValue("proxy"));
        EXPECT_FALSE(store.createSubkey("shop"));
        EXPECT_EQ(readFile(store.filePath()), before);
        // Reading needs no lock.
        EXPECT_EQ(store.readText("proxy"), "host");
    }
    ASSERT_TRUE(store.writeText("lastproject", "shop"));
    EXPECT_EQ(settingsWriteFailedText().find("anderen Vantor"), std::string::npos);
}

TEST_F(FileLockTest, ABusyProjectFileRefusesEverySaveAndSaysWhy)
{
    writeProject("p", "[homepage]\r\npath=/site/index.htm\r\n[research]\r\n1=alt\r\n2=\r\n");
    const std::string path = projectPath("p");
    const std::string before = readFile(path);
    WatchList list;
    list.load("p");
    ASSERT_TRUE(list.add("neu", WatchList::Kept));
    {
        const FileLock other(path);
        ASSERT_TRUE(other.locked());
        EXPECT_FALSE(SaveProjectData("p"));
        EXPECT_FALSE(SaveProjectOptions("p"));
        EXPECT_FALSE(SaveHomepagePath("p"));
        EXPECT_FALSE(profile::writeString(path, "project", "company", "Firma"));
        EXPECT_FALSE(profile::deleteKey(path, "homepage", "path"));
        EXPECT_FALSE(list.save("p"));
        EXPECT_FALSE(list.update("p", [](WatchList &) { return true; }));
        EXPECT_EQ(readFile(path), before);

        showProjectFailure(ui, ProjectFailure::SaveData, "p");
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_NE(ui.shown.back().text.find(de("Die Datei \"p.qx!\" wird gerade von einem anderen Vantor!!-Programm "
                                                  "geändert. Bitte versuchen Sie es in einigen Sekunden noch einmal.")),
                  std::string::npos);
    }
    EXPECT_TRUE(list.save("p"));
    EXPECT_TRUE(profile::writeString(path, "project", "company", "Firma"));
    EXPECT_NE(readFile(path).find("company=Firma"), std::string::npos);
    EXPECT_NE(readFile(path).find("1=neu"), std::string::npos);
    showProjectFailure(ui, ProjectFailure::SaveData, "p");
    EXPECT_EQ(ui.shown.back().text.find("anderen Vantor"), std::string::npos);
    // The lock file beside the project is no project.
    EXPECT_TRUE(fs::exists(path + ".lock"));
    EXPECT_EQ(files::listFiles(projectsDir() + "/*.qx!"), std::vector<std::string>{"p.qx!"});
}

TEST_F(FileLockTest, AWatchListUpdateKeepsWhatWasSavedSinceItWasShown)
{
    WatchList shown;
    shown.load("p");
    WatchList other;
    ASSERT_TRUE(other.update("p", [](WatchList &l) { return l.add("von nebenan", WatchList::Kept); }));
    ASSERT_TRUE(shown.update("p", [](WatchList &l) { return l.add("meins", WatchList::Kept); }));
    WatchList reread;
    reread.load("p");
    EXPECT_TRUE(reread.contains("von nebenan"));
    EXPECT_TRUE(reread.contains("meins"));
    // A change that decides against saving leaves the file alone.
    const std::string before = readFile(projectPath("p"));
    EXPECT_TRUE(reread.update("p", [](WatchList &l) { return !l.contains("meins") && l.add("x", 0); }));
    EXPECT_EQ(readFile(projectPath("p")), before);
}

} // namespace
} // namespace vantor
