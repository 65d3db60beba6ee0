#include "CliFixture.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"

#include <chrono>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace vantor::testing {
namespace {

using namespace std::chrono_literals;

class ConcurrentWritersTest : public CliFixture
{
protected:
    // Runs a shell script with the program itself as $VANTOR, as a user's
    // script would; returns its exit status.
    static int shell(const std::string &script)
    {
        const int status = std::system(script.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Two programs at once, each running the command for its half of the
    // numbers $i; 0 when every run succeeded.
    static int twoAtOnce(const std::string &command, int each)
    {
        const std::string loop = "do \"$VANTOR\" " + command + " >/dev/null 2>>\"$ERRLOG\" || exit 1; i=$((i+1)); done";
        return shell("(i=0; while [ $i -lt " + std::to_string(each) + " ]; " + loop + ") & first=$!; "
                     + "(i=" + std::to_string(each) + "; while [ $i -lt " + std::to_string(2 * each) + " ]; " + loop
                     + ") & second=$!; wait $first; a=$?; wait $second; [ $a -eq 0 ] && [ $? -eq 0 ]");
    }

    void SetUp() override
    {
        CliFixture::SetUp();
        ::setenv("VANTOR", VANTOR_CLI_BINARY, 1);
        ::setenv("ERRLOG", (m_dir / "errors.log").c_str(), 1);
        // The first start sets everything up; the writers then find it done.
        ASSERT_EQ(shell("\"$VANTOR\" settings get tip >/dev/null 2>&1"), 0);
    }
};

TEST_F(ConcurrentWritersTest, NoSettingIsLostBetweenTwoPrograms)
{
    ASSERT_EQ(twoAtOnce("settings set wert$i inhalt$i", 200), 0) << slurp(m_dir / "errors.log");
    SettingsStore store(SettingsStore::defaultFilePath());
    int missing = 0;
    for (int i = 0; i < 400; ++i)
        if (store.readText("wert" + std::to_string(i)) != "inhalt" + std::to_string(i))
            ++missing;
    EXPECT_EQ(missing, 0);
}

TEST_F(ConcurrentWritersTest, NoWatchListEntryIsLostBetweenTwoPrograms)
{
    ASSERT_EQ(twoAtOnce("watchlist add begriff$i", 200), 0) << slurp(m_dir / "errors.log");
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    int missing = 0;
    for (int i = 0; i < 400; ++i)
        if (!printed(" begriff" + std::to_string(i) + "\n"))
            ++missing;
    EXPECT_EQ(missing, 0);
}

class BusyFileTest : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        FileLock::setDefaultWait(100ms);
        ASSERT_EQ(run({"settings", "set", "x", "1"}), 0);
    }
    void TearDown() override
    {
        FileLock::setDefaultWait(5000ms);
        CliFixture::TearDown();
    }
};

TEST_F(BusyFileTest, AFileAnotherProgramHoldsFailsWithTheProgramsMessage)
{
    const std::string settings = SettingsStore::defaultFilePath();
    {
        const FileLock other(settings);
        ASSERT_TRUE(other.locked());
        EXPECT_EQ(run({"settings", "set", "name", "wert"}), 1);
        EXPECT_TRUE(told("Fehler Code 7001")) << m_err.str();
        EXPECT_TRUE(told("wird gerade von einem anderen Vantor!!-Programm geändert")) << m_err.str();
        EXPECT_EQ(run({"settings", "unset", "x"}), 1);
        EXPECT_TRUE(told("wird gerade von einem anderen Vantor!!-Programm geändert")) << m_err.str();
    }
    EXPECT_EQ(run({"settings", "get", "name"}), 1); // nothing half-done

    const std::string project = files::osPath(projectFilePath("default"));
    {
        const FileLock other(project);
        ASSERT_TRUE(other.locked());
        EXPECT_EQ(run({"watchlist", "add", "hotel"}), 1);
        EXPECT_TRUE(told("Die Datei \"Standardprojekt.qx!\"") || told("Die Datei \"default.qx!\"")) << m_err.str();
        EXPECT_TRUE(told("Bitte versuchen Sie es in einigen Sekunden noch einmal.")) << m_err.str();
        EXPECT_EQ(run({"project", "info", "--company", "Firma"}), 1);
        EXPECT_TRUE(told("wird gerade von einem anderen Vantor!!-Programm geändert")) << m_err.str();
    }
    ASSERT_EQ(run({"watchlist", "show"}), 0);
    EXPECT_FALSE(printed("hotel"));
    // The lock files beside them show up in no listing of projects.
    ASSERT_EQ(run({"project", "list"}), 0);
    EXPECT_FALSE(printed(".lock")) << out();
}

TEST_F(BusyFileTest, AReadOnlySettingsFileIsNotReplaced)
{
    const std::string settings = SettingsStore::defaultFilePath();
    const std::string before = slurp(settings);
    ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
    EXPECT_EQ(run({"settings", "set", "name", "wert"}), 1);
    EXPECT_TRUE(told("Fehler Code 7001")) << m_err.str();
    EXPECT_EQ(slurp(settings), before);
    struct stat st {};
    ASSERT_EQ(::stat(settings.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

} // namespace
} // namespace vantor::testing
