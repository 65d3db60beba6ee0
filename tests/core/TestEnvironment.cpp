#include "TestEnvironment.h"

#include "net/DataFileFetch.h"
#include "optimizer/OptimizationRun.h"
#include "platform/SettingsStore.h"
#include "project/InternetAccess.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vantor::testing {

void CoreTest::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "vantor-core-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    fs::create_directories(projectsDir());

    ::setenv("VANTOR_CONFIG_HOME", (m_root + "/config").c_str(), 1);
    // Never the real per-user program directory of whoever runs the tests.
    ::setenv("XDG_DATA_HOME", (m_root + "/xdg-data").c_str(), 1);
    ::unsetenv("VANTOR_DATA_DIR");
    setSettingsStorePath(SettingsStore::defaultFilePath());

    programSettings() = ProgramSettings{};
    programSettings().programDirectory = m_root;
    ResetProjectRecord();
    RestoreStandardOptions();
    DataFileFetch::reset();
    setCurrentUi(&ui);
}

void CoreTest::TearDown()
{
    setCurrentUi(nullptr);
    setConnectionTestFetcher([](const std::string &, bool, Ui &, std::string &, std::string &error) {
        error = "no fetcher";
        return false;
    });
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("VANTOR_DATA_DIR");
    std::error_code ec;
    // Directories a test made read-only must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(m_root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory())
            ::chmod(it->path().c_str(), 0755);
    fs::remove_all(m_root, ec);
}

std::string CoreTest::makeSite()
{
    sessionLineEnd().clear();
    const std::string site = m_root + "/site";
    fs::create_directories(site + "/vantor!!");
    fs::copy_file(std::string(VANTOR_SOURCE_DATA_DIR) + "/projects/project.qx!", projectPath("p"),
                  fs::copy_options::overwrite_existing);
    projectRecord().path = site + "/index.htm";
    return site;
}

void CoreTest::writeFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out) << path;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string CoreTest::readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vantor::testing
