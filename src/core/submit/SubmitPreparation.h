#pragma once

#include "submit/SubmitSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// Everything between the user's "Anmeldung durchführen" and the choice of
// targets, shared by the dialog and the command line: the checks of what was
// typed, the saved entries, the fresh data files with their SYSTEM entries,
// the document list and the offered targets.
namespace submitprep {

constexpr const char *kSubmitFile = "submit_d.dat";
constexpr const char *kListsFile = "submit_lists_d.dat";
// The settings flag of the maker's one-time notice.
constexpr const char *kNoticeFlag = "submitmsgshowed";

// "Projekt: <name> (<homepage file>)" above the dialog.
std::string projectCaption(const std::string &projectName, const std::string &homepagePath);
// A project without a homepage file cannot submit anything yet.
std::string notOptimizedTitle();
std::string notOptimizedText();
// Both data files have to be in Data/ when the dialog opens; the first one
// missing is reported ("Datei fehlt!") and false comes back.
bool dataFilesPresent(Ui &ui);
// The read error of the submission's data ("Fehler aufgetreten").
std::string readErrorTitle();
std::string readErrorText();

struct Prepared {
    std::vector<std::string> documents;
    std::vector<std::string> offered;
    std::string submitText;
    std::string listsText;
};

// The e-mail checks, then the URL checks; the first failing one is shown
// and true comes back. Nothing is saved.
bool refused(const submitsettings::Entries &entries, Ui &ui);

// After the checks passed: saves the three entries to the project file,
// brings both data files up to date (the dial-up prompt first when the
// settings ask for it), evaluates the SYSTEM entries, builds the document
// list by the mode (or takes `documents` when given, at most 1,000) and
// reads the offered targets. Every refusal was shown when nullopt comes
// back.
std::optional<Prepared> prepare(const submitsettings::Entries &entries, const std::string &projectFile,
                                const std::string &homepagePath, Ui &ui,
                                const std::optional<std::vector<std::string>> &documents = std::nullopt);

} // namespace submitprep

} // namespace vantor
