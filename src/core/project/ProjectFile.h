#pragma once

#include <string>

namespace vantor {

class Ui;

// Loading and saving the current project's file into the global record and
// options. Every operation takes the project name (not a file name).

std::string projectDirectory();
std::string projectFilePath(const std::string &name);
bool projectFileExists(const std::string &name);

bool LoadProjectData(const std::string &name);
bool LoadProjectOptions(const std::string &name);
bool SaveProjectData(const std::string &name);
bool SaveProjectOptions(const std::string &name);
// Writes only homepage/makedirs (whether doorway directories may be made);
// fails without writing when the project file does not exist.
bool SaveMakeDirs(const std::string &name);
bool SaveHomepagePath(const std::string &name);
void ResetProjectRecord();
void RestoreStandardOptions();
void ClearForNewProject(bool standardOptions, bool keepHomepageTexts, bool keepHomepageKeywords,
                        bool keepCopyTexts, bool keepCopyKeywords, bool keepDoorways);

// The lookup of a key inside a section of a project file's text: sections
// and keys compare case-sensitively, one pair of enclosing double quotes is
// removed. False when the key is not in the section.
bool readSectionValue(std::string_view text, std::string_view section, std::string_view key, std::string &value);

// Display names of a project: the main window and the project manager show
// "Standardprojekt" when the name contains "default"; the wizard pages and
// the research and submission dialogs when the name is a part of "default".
std::string displayNameMain(const std::string &name);
std::string displayNameWizard(const std::string &name);

// True when a text is usable as a project name inside the project directory:
// no directory separators, no control characters, not empty.
bool isPlainProjectName(const std::string &name);

// The messages shown when an operation above returns false.
enum class ProjectFailure {
    LoadAtStart,        // falls back to the standard project
    LoadDefaultAtStart, // goes on with the empty record
    LoadData,
    LoadOptions,
    SaveData, // also SaveHomepagePath
    SaveOptions,
};
void showProjectFailure(Ui &ui, ProjectFailure failure, const std::string &name);

} // namespace vantor
