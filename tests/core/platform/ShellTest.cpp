#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace vantor {
namespace {

// Every case starts from a machine whose opener we make up: a script in a
// directory of our own, our own PATH and display variables, and a fallback
// that records what it was handed.
class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-shell-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        for (const char *name : {"PATH", "DISPLAY", "WAYLAND_DISPLAY", "VANTOR_OPEN_COMMAND"}) {
            const char *value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::unsetenv("VANTOR_OPEN_COMMAND");
        ::setenv("PATH", (m_dir.string() + ":/usr/bin:/bin").c_str(), 1);
        setOpenFallback([this](const std::string &target) {
            m_fellBack.push_back(target);
            return true;
        });
    }
    void TearDown() override
    {
        setOpenFallback(nullptr);
        for (const auto &[name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        fs::remove_all(m_dir);
    }

    // An xdg-open of our own that notes its argument and ends as told.
    void fakeXdgOpen(const std::string &body)
    {
        const fs::path script = m_dir / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\necho \"$1\" >> '" << (m_dir / "called").string() << "'\n" << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }
    bool called() const { return fs::exists(m_dir / "called"); }

    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
    std::vector<std::string> m_fellBack;
};

TEST_F(ShellTest, AnOpenerThatGivesUpHandsTheTargetToTheFallback)
{
    ::setenv("DISPLAY", ":99", 1);
    fakeXdgOpen("echo 'xdg-open: no method available for opening' >&2; exit 3");
    EXPECT_TRUE(shellOpen("/site/~report.htm"));
    EXPECT_TRUE(called());
    EXPECT_EQ(m_fellBack, std::vector<std::string>{"/site/~report.htm"});

    // Without a fallback (the command line) the failure is the caller's.
    setOpenFallback(nullptr);
    EXPECT_FALSE(shellOpen("/site/~report.htm"));
    EXPECT_FALSE(systemOpen("/site/~report.htm"));
}

TEST_F(ShellTest, AnOpenerThatSucceedsIsTheEnd)
{
    ::setenv("DISPLAY", ":99", 1);
    fakeXdgOpen("exit 0");
    EXPECT_TRUE(shellOpen("http://127.0.0.1:8080/"));
    EXPECT_TRUE(called());
    EXPECT_TRUE(m_fellBack.empty());
}

TEST_F(ShellTest, ABrowserThatStaysInFrontCountsAsStarted)
{
    ::setenv("DISPLAY", ":99", 1);
    fakeXdgOpen("sleep 4");
    EXPECT_TRUE(shellOpen("/site/index.htm"));
    EXPECT_TRUE(m_fellBack.empty());
}

TEST_F(ShellTest, WithoutADisplayNothingIsStarted)
{
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    fakeXdgOpen("exit 0");
    EXPECT_TRUE(shellOpen("/site/index.htm"));
    EXPECT_FALSE(called());
    EXPECT_EQ(m_fellBack.size(), 1u);

    // A Wayland session is a display too.
    ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_TRUE(systemOpen("/site/index.htm"));
    EXPECT_TRUE(called());
}

TEST_F(ShellTest, AMissingOpenerIsAFailureNotASuccess)
{
    ::setenv("DISPLAY", ":99", 1);
    ::setenv("PATH", m_dir.string().c_str(), 1); // no xdg-open anywhere
    EXPECT_FALSE(systemOpen("/site/index.htm"));
    ::setenv("VANTOR_OPEN_COMMAND", (m_dir / "fehlt").c_str(), 1);
    EXPECT_FALSE(systemOpen("/site/index.htm"));
    EXPECT_TRUE(shellOpen("/site/index.htm"));
    EXPECT_EQ(m_fellBack.size(), 1u);
}

TEST_F(ShellTest, WebAddressesAreToldFromDocuments)
{
    EXPECT_TRUE(isWebAddress("http://127.0.0.1/"));
    EXPECT_TRUE(isWebAddress("HTTPS://example.org/"));
    EXPECT_FALSE(isWebAddress("/home/anna/site/index.htm"));
    EXPECT_FALSE(isWebAddress("file:///home/anna/site/index.htm"));
    EXPECT_FALSE(isWebAddress("http"));
}

} // namespace
} // namespace vantor
