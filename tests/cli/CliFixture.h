#pragma once

#include "Cli.h"

#include "net/DataFileFetch.h"
#include "platform/SettingsStore.h"
#include "submit/SubmitRun.h"
#include "project/ProgramSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vantor::testing {

// A command-line world of its own for every test: settings and program
// directory in a temporary directory, the shipped files as the install.
class CliFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        m_dir = fs::temp_directory_path() / ("vantor-cli-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        ::setenv("VANTOR_CONFIG_HOME", (m_dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_dir / "data").c_str(), 1);
        ::setenv("VANTOR_DATA_DIR", VANTOR_SOURCE_DATA_DIR, 1);
        setSettingsStorePath(SettingsStore::defaultFilePath());
        programSettings() = ProgramSettings{};
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Every call is a fresh program run.
    int run(std::vector<std::string> args)
    {
        m_out.str({});
        m_err.str({});
        programSettings() = ProgramSettings{};
        // What a program run remembers of the network: fetched data files,
        // the maker told of broken answers.
        DataFileFetch::reset();
        SubmitRun::resetMakerReport();
        Cli cli(m_out, m_err);
        return cli.run(args);
    }

    std::string out() const { return m_out.str(); }
    bool printed(const std::string &text) const { return m_out.str().find(text) != std::string::npos; }
    bool told(const std::string &text) const { return m_err.str().find(text) != std::string::npos; }

    static std::string slurp(const std::filesystem::path &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

} // namespace vantor::testing
