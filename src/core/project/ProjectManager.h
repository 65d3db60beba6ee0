#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// The work behind the project manager: listing, opening, deleting and
// creating projects and the project information. The dialog and the command
// line both call these; progress goes to Ui::progress (0..100) and the
// status line to the status function.
namespace projects {

constexpr std::size_t kMaxNameLength = 30;
constexpr std::size_t kMaxInfoLength = 259;
extern const char *const kStandardEntry; // "Standardprojekt"

using Status = std::function<void(const std::string &text)>;

// "Standardprojekt" and every other project, sorted as the list shows them
// (without regard to case). Names too long for the list or unsafe as a file
// name are left out: they could not be opened without harm.
std::vector<std::string> listEntries();
// The project a list entry stands for.
std::string nameOfEntry(const std::string &entry);

struct Info {
    std::string company, name, tel, mail, lastOptimized;
};
Info readInfo(const std::string &projectName);
// "Speichern": into the current project's file, then the confirmation.
bool saveInfo(const Info &info, Ui &ui);

struct Problem {
    std::string title;
    std::string text;
};
// Why a name cannot be a new project (the checks in the order the user
// meets them), or nothing. listed: the entries of the list.
std::optional<Problem> newNameProblem(const std::string &name, const std::vector<std::string> &listed);
// A name is used as a file name and a settings key: it must stay inside the
// project directory and be storable.
bool isSafeName(const std::string &name);

// "Projekt öffnen" of a list entry; shownCurrent is what the dialog shows as
// the current project. True when the project was loaded and made current.
bool open(const std::string &entry, const std::string &shownCurrent, Ui &ui, const Status &status);
// "Projekt löschen": asks first; afterwards the standard project is current.
// True when the project was deleted.
bool remove(const std::string &entry, Ui &ui, const Status &status);

// What a new project takes over from the current one.
struct NewProjectChoice {
    bool currentOptions = false;
    bool keepHomepageTexts = false;
    bool keepHomepageKeywords = false;
    bool keepCopyTexts = false;
    bool keepCopyKeywords = false;
    bool keepDoorways = false;
};
// The options dialog's "Neues Projekt erstellen": writes the new project and
// makes it current. False when a write failed (the dialog stays open).
bool create(const std::string &name, const NewProjectChoice &choice, Ui &ui);

// Called after another project was loaded, so that the watch list follows.
void setProjectLoadedHandler(std::function<void()> handler);
// Shows the wait window while the handler refreshes the watch list.
void projectLoaded(Ui &ui);

} // namespace projects
} // namespace vantor
