#include "project/ProjectManager.h"

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "position/RankStore.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "ui/Ui.h"

#include <algorithm>

namespace vantor::projects {

const char *const kStandardEntry = "Standardprojekt";

namespace {

std::function<void()> &loadedHandler()
{
    static std::function<void()> handler;
    return handler;
}

void say(const Status &status, const std::string &text)
{
    if (status)
        status(text);
}

// The steps that end both jobs, successful or not.
void finish(Ui &ui, const Status &status)
{
    ui.progress(0, 100);
    say(status, "");
}

bool loadBoth(const std::string &name, Ui &ui)
{
    bool ok = true;
    if (!LoadProjectData(name)) {
        showProjectFailure(ui, ProjectFailure::LoadData, name);
        ok = false;
    }
    if (!LoadProjectOptions(name)) {
        showProjectFailure(ui, ProjectFailure::LoadOptions, name);
        ok = false;
    }
    return ok;
}

} // namespace

bool isSafeName(const std::string &name)
{
    // Blanks at either end would not survive the settings file, and a name
    // that starts with a dot hides its file or climbs out of the directory.
    return isPlainProjectName(name) && name.front() != '.' && name.find("..") == std::string::npos &&
           name.front() != ' ' && name.back() != ' ';
}

std::vector<std::string> listEntries()
{
    std::vector<std::string> entries{kStandardEntry};
    for (const auto &key : settingsStore().subkeys())
        if (key != "default" && key.size() <= kMaxNameLength && isSafeName(key))
            entries.push_back(key);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const std::string &a, const std::string &b) { return lowerCp1252(a) < lowerCp1252(b); });
    return entries;
}

std::string nameOfEntry(const std::string &entry)
{
    // Only the entry itself: a project of the user's called "Standard" is
    // a part of the word too, and must open as itself.
    return entry == kStandardEntry ? std::string("default") : entry;
}

Info readInfo(const std::string &projectName)
{
    Info info;
    if (!isPlainProjectName(projectName))
        return info;
    const std::string file = projectFilePath(projectName);
    info.company = profile::readString(file, "project", "company", "", kMaxInfoLength);
    info.name = profile::readString(file, "project", "name", "", kMaxInfoLength);
    info.tel = profile::readString(file, "project", "tel", "", kMaxInfoLength);
    info.mail = profile::readString(file, "project", "mail", "", kMaxInfoLength);
    info.lastOptimized = profile::readString(file, "project", "lastoptimized", "", kMaxInfoLength);
    return info;
}

bool saveInfo(const Info &info, Ui &ui)
{
    const std::string file = projectFilePath(programSettings().currentProject);
    const auto cut = [](const std::string &text) { return text.substr(0, kMaxInfoLength); };
    bool ok = profile::writeString(file, "project", "company", cut(info.company));
    ok = profile::writeString(file, "project", "name", cut(info.name)) && ok;
    ok = profile::writeString(file, "project", "tel", cut(info.tel)) && ok;
    ok = profile::writeString(file, "project", "mail", cut(info.mail)) && ok;
    if (!ok) {
        // Not a silent loss: the user typed these and believes them kept.
        showProjectFailure(ui, ProjectFailure::SaveData, programSettings().currentProject);
        return false;
    }
    ui.message("Projektinformationen gespeichert", "Die Projektinformationen wurden im geladenen Projekt gespeichert.");
    return true;
}

std::optional<Problem> newNameProblem(const std::string &name, const std::vector<std::string> &listed)
{
    if (name == "default" || name == kStandardEntry || name == "project")
        return Problem{"Unerlaubter Projektname",
                       de("Bitte verwenden Sie im Projektnamen nicht die reservierten Begriffe \"default\", "
                          "\"project\" oder \"Standardprojekt\".")};
    if (name.empty())
        return Problem{"Kein Projektname",
                       de("Bitte geben Sie im Feld \"Neues Projekt\" einen gültigen Projektnamen ein.")};
    if (name.size() > kMaxNameLength)
        return Problem{"Projektname zu lang", "Bitte geben Sie im Feld \"Neues Projekt\" einen Projektnamen mit "
                                              "maximal 30 Zeichen ein."};
    if (!isSafeName(name))
        return Problem{"Unerlaubter Projektname",
                       de("Der Projektname wird als Dateiname verwendet. Bitte verwenden Sie darin keine Schrägstriche "
                          "(/ oder \\), keine Steuerzeichen, keine zwei Punkte "
                          "hintereinander, keine Leerzeichen am Anfang oder Ende und keinen Punkt am Anfang.")};
    const std::string lowered = lowerCp1252(name);
    for (const auto &entry : listed)
        if (lowerCp1252(entry) == lowered)
            return Problem{"Projekt existiert schon",
                           de("Das Projekt existiert schon, bitte wählen Sie einen neuen Namen.")};
    return std::nullopt;
}

bool open(const std::string &entry, const std::string &shownCurrent, Ui &ui, const Status &status)
{
    bool opened = false;
    if (entry.empty()) {
        ui.message(de("Projektname wählen"),
                   de("Um ein Projekt zu öffnen, wählen Sie eines aus der Liste. Ist noch kein Projekt vorhanden, "
                      "legen Sie ein neues an."));
    } else if (entry == shownCurrent) {
        ui.message("Projekt bereits geladen",
                   de("Projekt ist bereits geladen. Wählen Sie ein anderes Projekt, um es zu laden, oder klicken Sie "
                      "auf \"Abbruch\" um mit dem aktuellen Projekt zu arbeiten."));
    } else {
        const std::string name = nameOfEntry(entry);
        if (!isSafeName(name)) {
            ui.message("Unerlaubter Projektname", de("Das Projekt \"") + name + de("\" kann nicht geöffnet werden."));
        } else {
            say(status, "Lade Projekt...");
            ui.progress(20, 100);
            ui.pause(200);
            bool ok = LoadProjectData(name);
            if (!ok)
                showProjectFailure(ui, ProjectFailure::LoadData, name);
            say(status, "Projektdaten lesen...");
            ui.progress(60, 100);
            ui.pause(100);
            if (ok && !LoadProjectOptions(name)) {
                showProjectFailure(ui, ProjectFailure::LoadOptions, name);
                ok = false;
            }
            say(status, "Konfiguration lesen...");
            ui.progress(80, 100);
            ui.pause(200);
            ui.progress(100, 100);
            if (ok) {
                programSettings().currentProject = name;
                projectLoaded(ui);
                opened = true;
            } else {
                // The record holds part of the other project now; left so,
                // the next save would write it into the current project's
                // file. The current project comes back as it is stored.
                const std::string current = programSettings().currentProject;
                LoadProjectData(current);
                LoadProjectOptions(current);
            }
        }
    }
    ui.pause(100);
    say(status, "");
    ui.progress(0, 100);
    return opened;
}

bool remove(const std::string &entry, Ui &ui, const Status &status)
{
    say(status, de("Lösche Projekt..."));
    ui.progress(20, 100);
    ui.pause(100);
    bool removed = false;
    if (entry.empty()) {
        ui.message(de("Projektname wählen"), de("Um ein Projekt zu löschen, wählen Sie eines aus der Liste."));
    } else if (entry.find(kStandardEntry) != std::string::npos) {
        ui.message(de("Standardprojekt nicht löschbar"),
                   de("Das Standardprojekt kann nicht gelöscht werden. Dieses Projekt dient als Vorlage für alle "
                      "Projekte und ist daher elementarer Bestandteil des Programms."));
    } else if (!isSafeName(entry)) {
        ui.message("Unerlaubter Projektname", de("Das Projekt \"") + entry + de("\" kann nicht gelöscht werden."));
    } else if (ui.question(de("Projektdaten löschen"),
                           de("Wenn Sie die Projektdatei \"") + entry +
                               de("\" wirklich löschen möchten, klicken Sie auf \"OK\". Wenn nicht, klicken Sie auf "
                                  "\"Abbruch\"."))) {
        say(status, "Projektdaten lesen...");
        ui.progress(40, 100);
        ui.pause(100);
        const std::string file = projectFilePath(entry);
        // A project whose file is gone already still leaves the list.
        if (files::remove(file) || !files::entryExists(file)) {
            say(status, "Konfiguration lesen...");
            ui.progress(60, 100);
            if (settingsStore().deleteSubkey(entry) || !settingsStore().hasSubkey(entry)) {
                removed = true;
                // The history of its positions means nothing without it.
                RankStore::removeFor(entry);
                ui.progress(80, 100);
                ui.pause(100);
                ui.progress(100, 100);
                // Whichever project went, the standard project is current.
                loadBoth("default", ui);
                programSettings().currentProject = "default";
                projectLoaded(ui);
            }
        }
    }
    finish(ui, status);
    return removed;
}

bool create(const std::string &name, const NewProjectChoice &choice, Ui &ui)
{
    if (!isSafeName(name))
        return false;
    ClearForNewProject(!choice.currentOptions, choice.keepHomepageTexts, choice.keepHomepageKeywords,
                       choice.keepCopyTexts, choice.keepCopyKeywords, choice.keepDoorways);
    // The record is cleared for the new project while the old one is still
    // current: after a failed write, its next save would put the cleared
    // data over the user's. Back to what is stored, so that a second try
    // starts from the same data and a cancel loses nothing.
    const auto restoreCurrent = [] {
        const std::string current = programSettings().currentProject;
        LoadProjectData(current);
        LoadProjectOptions(current);
    };
    if (!SaveProjectData(name)) {
        showProjectFailure(ui, ProjectFailure::SaveData, name);
        restoreCurrent();
        return false;
    }
    if (!SaveProjectOptions(name)) {
        showProjectFailure(ui, ProjectFailure::SaveOptions, name);
        restoreCurrent();
        return false;
    }
    programSettings().currentProject = name;
    const std::string file = projectFilePath(name);
    for (const char *key : {"company", "name", "tel", "mail", "lastoptimized"})
        profile::deleteKey(file, "project", key);
    return true;
}

void setProjectLoadedHandler(std::function<void()> handler) { loadedHandler() = std::move(handler); }

void projectLoaded(Ui &ui)
{
    if (!loadedHandler())
        return;
    ui.showWait(de("Bitte warten...\nDie Merkliste wird aktualisiert."));
    ui.pause(500);
    loadedHandler()();
    ui.closeWait();
}

} // namespace vantor::projects
