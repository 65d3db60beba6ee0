#include "position/PositionPreparation.h"

#include "net/DataFileFetch.h"
#include "net/HttpGet.h"
#include "net/ServiceCheck.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "position/PositionEngine.h"
#include "project/ProgramSettings.h"
#include "submit/SubmitDocuments.h"
#include "ui/Ui.h"

namespace vantor::positionprep {

namespace {

bool askDialUp(DialogState &state, Ui &ui)
{
    state.askedBeforeConnect = true;
    return ui.question(httpget::dialUpTitle(), httpget::dialUpText());
}

} // namespace

std::string readErrorTitle() { return "Fehler aufgetreten"; }

std::string readErrorText()
{
    return de("Beim Lesen der Daten für die Positionsermittlung ist ein Fehler aufgetreten. Bitte starten Sie "
              "Vantor!! neu und probieren Sie es noch einmal.\nSollte das Problem weiter bestehen, installieren Sie "
              "Vantor!! nochmals.");
}

bool domainAccepted(const std::string &domain, Ui &ui)
{
    // The same words as the submission's URL field: it is the same entry.
    if (const auto problem = submitdocs::urlProblem(domain)) {
        ui.message(problem->title, problem->text);
        return false;
    }
    return true;
}

std::string readDomain(const std::string &projectFile)
{
    return profile::readString(projectFile, "project", "submiturl", "");
}

bool saveDomain(const std::string &projectFile, const std::string &domain)
{
    return profile::writeString(projectFile, "project", "submiturl", domain);
}

std::optional<Prepared> prepare(DialogState &state, Ui &ui)
{
    if (!DataFileFetch::fetched(kDataFile)) {
        if (programSettings().httpInform != 0 && !state.askedBeforeConnect && !askDialUp(state, ui))
            return std::nullopt;
        DataFileFetch::fetch({kDataFile}, ui, false);
    }
    Prepared prepared;
    const ServiceCheck::Texts texts{readErrorTitle(), readErrorText()};
    if (ServiceCheck::run(DataFileFetch::path(kDataFile), kNoticeFlag, texts, ui, settingsStore(), prepared.text)
        != ServiceCheck::Result::Go)
        return std::nullopt;
    prepared.offered = positionengines::offered(prepared.text);
    return prepared;
}

bool readyToConnect(DialogState &state, Ui &ui)
{
    if (state.askedBeforeConnect || programSettings().httpInform == 0)
        return true;
    return askDialUp(state, ui);
}

} // namespace vantor::positionprep
