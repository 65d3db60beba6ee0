#pragma once

#include "wizard/WizardPages.h"

#include <optional>
#include <string>

namespace vantor {

class Ui;

// What the site data wizard needs from whoever shows it.
class SiteWizardHost
{
public:
    virtual ~SiteWizardHost() = default;
    virtual Ui &ui() = 0;
    // The file dialog "Homepage öffnen (Startseite der Web-Site)", preset
    // to the stored path; nothing when the user cancels.
    virtual std::optional<std::string> chooseHomepageFile(const std::string &storedPath) = 0;
    // One data page of the full form, shown on the record as it stands; it
    // stores its fields into the record whatever its result.
    virtual PageResult showPage(WizardPage page) = 0;
    // "Wizard beenden?", asked when a page is cancelled.
    virtual EndChoice askEndWizard() = 0;
    // The optimisation dialog, returning when it is closed.
    virtual void runOptimization() = 0;
};

// The filter list of the homepage file dialog, in the "text|patterns|...||"
// form the dialogs have always been given, and its title. Both are UTF-8:
// only the GUI's file dialog shows them.
extern const char *const kHomepageFilter;
extern const char *const kHomepageDialogTitle;

// Why a chosen homepage path (UTF-8, as the file system gives it) cannot be
// kept in the project file: title and text of the message, or nothing when
// it can. The project file holds the path in cp1252 and in a field of fixed
// length, so a path that does not fit would be saved cut or with '?' in it
// and then point to another file.
struct PathProblem {
    std::string title;
    std::string text;
};
std::optional<PathProblem> homepagePathProblem(const std::string &utf8Path);

// The file dialog and the fields derived from the chosen path. False when
// the user cancels.
bool ChooseHomepage(SiteWizardHost &host);

// Reads the homepage file and checks its head and body; shows what is
// wrong. The notice on frames does not fail.
bool CheckHomepageFile(Ui &ui);

// Loads the options and data of the project again for the optimisation,
// showing what fails; the chosen homepage, when given, then takes the place
// of the stored path (the loads must not bring back an older one).
bool LoadForOptimization(Ui &ui, const std::string &project, const std::optional<std::string> &chosenPath);

// The chain of data pages: next goes on, back returns to the page shown
// before, cancel asks whether to end (and save). True when the last page was
// left with next.
bool RunPageSequence(SiteWizardHost &host, const std::string &project);

// "Web-Site" (quick false) and "Web-Site Quick" (quick true).
void RunSiteWizard(bool quick, SiteWizardHost &host);

} // namespace vantor
