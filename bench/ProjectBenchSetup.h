#pragma once

// A program directory of its own for the project file benchmarks, and the
// project files they load and save.

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantor::bench {

class ProjectDirectory
{
public:
    ProjectDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantor-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_root = pattern;
        std::filesystem::create_directories(m_root + "/projects");
        ::setenv("VANTOR_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        setSettingsStorePath(SettingsStore::defaultFilePath());
        programSettings().programDirectory = m_root;
    }
    ~ProjectDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    ProjectDirectory(const ProjectDirectory &) = delete;
    ProjectDirectory &operator=(const ProjectDirectory &) = delete;

    std::string path(const std::string &name) const { return m_root + "/projects/" + name + ".qx!"; }

private:
    std::string m_root;
};

// A hand-edited project that ends in megabytes of empty lines, written in
// pieces so that making it does not count towards anybody's memory peak.
inline void writeBareLineEnds(const std::string &path, std::size_t megabytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[homepage]\r\npath=index.htm\r\ntitle1=Titel\r\n[config]\r\ntitl=1\r\n";
    const std::string block(1 << 20, '\n');
    for (std::size_t i = 0; i < megabytes; ++i)
        out << block;
    out << "[research]\r\n1=Brot\r\n";
}

// A project as the wizard leaves it: every list filled with short terms.
inline void fillRecord()
{
    ProjectRecord &r = projectRecord();
    r.path = "C:\\web\\index.htm";
    r.title1 = de("Frische Brötchen jeden Morgen");
    r.author = de("Bäckerei Keldrum");
    r.description = de("Unsere Bäckerei backt seit 1910 mit Sauerteig und ohne Zusatzstoffe.");
    r.startpage = "index.htm";
    for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
        r.homepageKeywords[i] = "Begriff " + std::to_string(i);
    for (int c = 0; c < ProjectRecord::kCopies; ++c) {
        for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
            r.copyKeywords[c][i] = "Kopie " + std::to_string(c) + " Begriff " + std::to_string(i);
        r.copyTitles[c] = "Titel der Kopie " + std::to_string(c);
        r.copyDescriptions[c] = "Beschreibung der Kopie " + std::to_string(c);
    }
    for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
        r.doorwayKeywords[i] = de("Tür ") + std::to_string(i);
}

} // namespace vantor::bench
