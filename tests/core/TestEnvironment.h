#pragma once

#include "ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::testing {

// A fresh world for every test: its own temporary directory as program
// directory (with projects/), the settings store in it, default program
// settings, a reset project record with standard options, and a ScriptedUi
// as the current Ui.
class CoreTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary directory; also the program directory.
    const std::string &root() const { return m_root; }
    std::string projectsDir() const { return m_root + "/projects"; }
    std::string projectPath(const std::string &name) const { return projectsDir() + "/" + name + ".qx!"; }

    // Writes a file byte for byte (path in the file system's UTF-8).
    static void writeFile(const std::string &path, const std::string &content);
    static std::string readFile(const std::string &path);
    void writeProject(const std::string &name, const std::string &content) const
    {
        writeFile(projectPath(name), content);
    }

    // A site for a run: <root>/site with an empty vantor!! beside the
    // homepage index.htm (not written), the project "p" from the shipped
    // project file, the record pointing at the homepage and a fresh run
    // session. Returns the site directory.
    std::string makeSite();

    ScriptedUi ui;

private:
    std::string m_root;
};

} // namespace vantor::testing
