#include "wizard/SiteWizard.h"

#include "optimizer/PageEncoding.h"

#include "optimizer/FindLiteral.h"
#include "optimizer/PageText.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"

#include <fstream>
#include <new>
#include <vector>

namespace vantor {

const char *const kHomepageFilter =
    "HTML Datei (*.htm;*.html;*.htx;*.asp;*.shtml;*.shtm;*.sht)|*.htm;*.html;*.htx;*.asp;*.shtml;*.shtm;*.sht|"
    "SHTML Datei (*.shtml;*.shtm;*.sht)|*.shtml;*.shtm;*.sht|Vorproduziertes HTML (*.asp; *.htx)|*.asp; *.htx|"
    "Rich Text Format (*.rtf)|*.rtf|Parsed HTML (*.phtml;*.php)|*.phtml;*.php|Alle Dateien (*.*)|*.*||";
// UTF-8, as the file dialog takes it.
const char *const kHomepageDialogTitle = "Homepage öffnen (Startseite der Web-Site)";

namespace {

} // namespace

std::optional<PathProblem> homepagePathProblem(const std::string &utf8Path)
{
    constexpr std::size_t capacity = decltype(ProjectRecord::path)::capacity;
    if (!fitsCp1252(utf8Path))
        return PathProblem{de("Pfad nicht möglich"),
                           de("Der Pfad \"") + toCp1252(utf8Path) +
                               de("\" enthält Zeichen, die Vantor!! in der Projektdatei nicht speichern kann. "
                                  "Benennen Sie die Datei oder ihr Verzeichnis um (z.B. ohne Sonderzeichen außerhalb "
                                  "des westeuropäischen Zeichensatzes).")};
    const std::string path = toCp1252(utf8Path);
    if (path.size() > capacity || path.find_first_of("\r\n") != std::string::npos)
        return PathProblem{de("Pfad nicht möglich"),
                           de("Der Pfad der Homepage-Datei ist länger als ") + std::to_string(capacity) +
                               de(" Zeichen oder enthält einen Zeilenumbruch und kann in der Projektdatei nicht "
                                  "gespeichert werden. Verschieben Sie die Site in ein Verzeichnis mit kürzerem "
                                  "Pfad.")};
    return std::nullopt;
}

bool ChooseHomepage(SiteWizardHost &host)
{
    ProjectRecord &record = projectRecord();
    const auto chosen = host.chooseHomepageFile(record.path.str());
    if (!chosen)
        return false;
    record.path.set(*chosen);
    record.deriveHomepageFields();
    return true;
}

bool CheckHomepageFile(Ui &ui)
{
    const std::string path = projectRecord().path.str();
    std::string text;
    // Opened once on its own, so that a file we may not read gets the read
    // error and not the one about a damaged file.
    if (!files::isFile(path) || !std::ifstream(files::osPath(path), std::ios::binary).is_open()) {
        ui.message("Lesefehler", de("Fehler beim Lesen der Datei \"") + path +
                                     de("\". Schließen Sie alle Programme, die die Datei verwenden oder ändern Sie "
                                        "die Zugriffsrechte "));
        return false;
    }
    try {
        if (!files::read(path, text)) {
            ui.systemError("Fehler Code 2002", de("Dateigröße konnte nicht gelesen werden. Die zu öffnenden Datei "
                                                  "ist möglicherweise defekt."));
            return false;
        }
        // A page saved as UTF-16 is checked for its elements as the engine
        // will read it.
        if (const Utf16 order = detectUtf16(text); order != Utf16::None)
            text = utf16ToUtf8(text, order);
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }

    struct Check {
        // Found in any case: editors write <Head> as often as <head>.
        const char *tag;
        bool frameElementSuffices;
        const char *title;
        const char *message;
    };
    static const Check checks[] = {
        {"<HEAD", false, "Kein Element <HEAD> gefunden",
         "Fügen Sie das Element <HEAD> in die Homepage ein! Näheres dazu in der Hilfe."},
        {"</HEAD", false, "Kein Element </HEAD> gefunden",
         "Fügen Sie das Element </HEAD> in die Homepage ein! Näheres dazu in der Hilfe."},
        {"<BODY", true, "Kein Element <BODY> gefunden",
         "Vantor!! konnte das Element <BODY> in der Homepage nicht finden. Bitte fügen Sie dieses noch ein, damit "
         "es eine gültige HTML-Datei ist. Näheres dazu in der Hilfe."},
        {"</BODY", true, "Kein Element </BODY> gefunden",
         "Fügen Sie das Element </BODY> in die Homepage ein! Näheres dazu in der Hilfe."},
    };
    const bool frames = hasFrameTag(text);
    for (const auto &check : checks) {
        if (!hasTag(text, check.tag) && !(check.frameElementSuffices && frames)) {
            ui.message(de(check.title), de(check.message));
            return false;
        }
    }
    if (frames) {
        openHelp(help::kFramePages);
        ui.message(de("Homepage enthält Frames"),
                   de("Die Homepage enthält Frames. Beachten Sie bitte unbedingt die Hinweise in der Hilfe für "
                      "Seiten mit Frames, um eine möglichst gute Optimierung zu gewährleisten!"));
    }
    return true;
}

bool LoadForOptimization(Ui &ui, const std::string &project, const std::optional<std::string> &chosenPath)
{
    if (!LoadProjectOptions(project)) {
        showProjectFailure(ui, ProjectFailure::LoadOptions, project);
        return false;
    }
    if (!LoadProjectData(project)) {
        showProjectFailure(ui, ProjectFailure::LoadData, project);
        return false;
    }
    if (chosenPath)
        projectRecord().path.set(*chosenPath);
    projectRecord().deriveHomepageFields();
    return true;
}

namespace {

// The page that follows; the copy pages only with their options.
WizardPage pageAfter(WizardPage page)
{
    const ProjectOptions &options = projectOptions();
    switch (page) {
    case WizardPage::Titles:
        return WizardPage::KeywordGrid;
    case WizardPage::KeywordGrid:
        if (options.tico != 0)
            return WizardPage::CopyTitles;
        [[fallthrough]];
    case WizardPage::CopyTitles:
        if (options.deco != 0)
            return WizardPage::CopyDescriptions;
        [[fallthrough]];
    case WizardPage::CopyDescriptions:
        return WizardPage::Doorways;
    case WizardPage::Doorways:
    case WizardPage::KindOfOptimisation:
        break;
    }
    return WizardPage::KindOfOptimisation;
}

} // namespace

bool RunPageSequence(SiteWizardHost &host, const std::string &project)
{
    std::vector<WizardPage> shown;
    WizardPage page = WizardPage::Titles;
    for (;;) {
        switch (host.showPage(page)) {
        case PageResult::Next:
            if (page == WizardPage::KindOfOptimisation)
                return true;
            shown.push_back(page);
            page = pageAfter(page);
            break;
        case PageResult::Back:
            // The first page has no back button; a host that still says so
            // gets the page again.
            if (!shown.empty()) {
                page = shown.back();
                shown.pop_back();
            }
            break;
        case PageResult::Cancel:
            switch (host.askEndWizard()) {
            case EndChoice::BackToWizard:
                break;
            case EndChoice::EndAndSave:
                if (!SaveProjectData(project))
                    showProjectFailure(host.ui(), ProjectFailure::SaveData, project);
                return false;
            case EndChoice::End:
                return false;
            }
            break;
        }
    }
}

void RunSiteWizard(bool quick, SiteWizardHost &host)
{
    Ui &ui = host.ui();
    const std::string project = programSettings().currentProject;
    if (programSettings().userLevel == 1)
        ui.message(de("Homepage öffnen"), de("Bitte öffnen Sie im folgenden Dialog die Homepage der zu "
                                             "optimierenden Web-Site. Die Homepage ist die Startseite Ihrer "
                                             "Web-Site."));
    LoadProjectData(project);
    if (!ChooseHomepage(host))
        return;
    const std::string chosen = projectRecord().path.str();
    if (!SaveHomepagePath(project)) {
        showProjectFailure(ui, ProjectFailure::SaveData, project);
        return;
    }
    if (!LoadForOptimization(ui, project, chosen))
        return;
    if (!CheckHomepageFile(ui))
        return;
    if (quick) {
        host.runOptimization();
        return;
    }
    if (!RunPageSequence(host, project))
        return;
    if (!SaveProjectData(project)) {
        showProjectFailure(ui, ProjectFailure::SaveData, project);
        return;
    }
    host.runOptimization();
}

} // namespace vantor
