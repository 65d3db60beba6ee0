#include "submit/SubmitPreparation.h"

#include "net/DataFile.h"
#include "net/DataFileFetch.h"
#include "net/ServiceCheck.h"
#include "optimizer/StartSigns.h"
#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "submit/SubmitDocuments.h"
#include "submit/SubmitTarget.h"
#include "ui/Ui.h"

namespace vantor::submitprep {

std::string projectCaption(const std::string &projectName, const std::string &homepagePath)
{
    return de("Projekt: ") + displayNameWizard(projectName) + " (" + homepagePath + ")";
}

std::string notOptimizedTitle() { return de("Noch nicht optimiert"); }

std::string notOptimizedText()
{
    return de("Für dieses Projekt wurde noch keine Startseite (Homepage) festgelegt. Starten Sie im Wizard "
              "\"Web-Site\" und geben Sie die Datei an (unabhängig davon, ob Sie eine Optimierung tatsächlich "
              "durchführen). Dann können Sie erst eine Anmeldung durchführen.");
}

bool dataFilesPresent(Ui &ui)
{
    const std::vector<std::string> names = {kSubmitFile, kListsFile};
    // A fresh installation may not have them yet; they come from the
    // maker's server anyway, so we fetch before we call them missing.
    std::vector<std::string> missing;
    for (const std::string &name : names) {
        if (!files::isFile(DataFileFetch::path(name)))
            missing.push_back(name);
    }
    if (!missing.empty())
        DataFileFetch::fetch(missing, ui);
    for (const std::string &name : names) {
        if (files::isFile(DataFileFetch::path(name)))
            continue;
        ui.message(de("Datei fehlt!"),
                   de("Datei '") + name
                       + de("' im Unterverzeichnis '\\Data' von Vantor!! nicht gefunden. Die Suchmaschinen-Anmeldung "
                            "kann nicht ausgeführt werden.\nBitte probieren Sie es noch einmal oder installieren Sie "
                            "Vantor!! erneut."));
        return false;
    }
    return true;
}

std::string readErrorTitle() { return de("Fehler aufgetreten"); }

std::string readErrorText()
{
    return de("Beim Lesen der Daten für die automatische Anmeldung ist ein Fehler aufgetreten. Bitte starten Sie "
              "Vantor!! neu und probieren Sie es noch einmal.\nSollte das Problem weiter bestehen, installieren Sie "
              "Vantor!! nochmals.");
}

bool refused(const submitsettings::Entries &entries, Ui &ui)
{
    if (const auto problem = submitdocs::emailProblem(entries.email)) {
        ui.message(problem->title, problem->text);
        return true;
    }
    if (const auto problem = submitdocs::urlProblem(entries.url)) {
        ui.message(problem->title, problem->text);
        return true;
    }
    return false;
}

std::optional<Prepared> prepare(const submitsettings::Entries &entries, const std::string &projectFile,
                                const std::string &homepagePath, Ui &ui,
                                const std::optional<std::vector<std::string>> &documents)
{
    // Written before anything goes online, so what the user typed is kept
    // however the rest ends.
    submitsettings::saveEntries(projectFile, entries);

    if (!DataFileFetch::fetch({kSubmitFile, kListsFile}, ui))
        return std::nullopt;
    Prepared prepared;
    const ServiceCheck::Texts texts{readErrorTitle(), readErrorText()};
    if (ServiceCheck::run(DataFileFetch::path(kSubmitFile), kNoticeFlag, texts, ui, settingsStore(),
                          prepared.submitText)
        != ServiceCheck::Result::Go)
        return std::nullopt;

    if (documents) {
        prepared.documents = *documents;
        if (prepared.documents.size() > submitdocs::kMaxDocuments)
            prepared.documents.resize(submitdocs::kMaxDocuments);
    } else {
        prepared.documents = submitdocs::buildList(entries.mode, entries.url, homepagePath,
                                                   StartSigns::fromSettings(projectOptions().sonz),
                                                   submitsettings::readExtensions(projectFile));
    }

    if (!DataFile::load(DataFileFetch::path(kListsFile), prepared.listsText)) {
        ui.message(readErrorTitle(), readErrorText());
        return std::nullopt;
    }
    submittargets::Offered offered = submittargets::readOffered(prepared.submitText, prepared.listsText);
    if (offered.listWithoutSize) {
        ui.message(readErrorTitle(), readErrorText());
        return std::nullopt;
    }
    prepared.offered = std::move(offered.targets);
    return prepared;
}

} // namespace vantor::submitprep
