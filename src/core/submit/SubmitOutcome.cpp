#include "submit/SubmitOutcome.h"

#include "platform/Text.h"
#include "project/MakerContact.h"

#include <algorithm>

namespace vantor::submitoutcome {

SubmitOutcome fromAnswer(SubmitAnswer answer)
{
    switch (answer) {
    case SubmitAnswer::Error:
        return SubmitOutcome::EngineError;
    case SubmitAnswer::Accepted:
        return SubmitOutcome::Accepted;
    case SubmitAnswer::Rejected:
        return SubmitOutcome::Rejected;
    case SubmitAnswer::AlreadyListed:
        return SubmitOutcome::AlreadyListed;
    case SubmitAnswer::Down:
        return SubmitOutcome::Down;
    case SubmitAnswer::Unknown:
        break;
    }
    return SubmitOutcome::Unknown;
}

std::string text(SubmitOutcome outcome)
{
    switch (outcome) {
    case SubmitOutcome::Accepted:
        return "Erfolgreich angemeldet";
    case SubmitOutcome::AlreadyListed:
        return "Ist bereits eingetragen";
    case SubmitOutcome::Rejected:
        return de("Abgelehnt (URL ungültig oder kann nicht angemeldet werden)");
    case SubmitOutcome::EngineError:
    case SubmitOutcome::Refused:
    case SubmitOutcome::Redirected:
    case SubmitOutcome::NotFound:
        return de("Fehler (ungültige URL oder nicht indexierbar)");
    case SubmitOutcome::Unknown:
        return "Antwort nicht bekannt";
    case SubmitOutcome::Down:
        return de("Abgelehnt wegen Wartung/Überlastung des Servers");
    case SubmitOutcome::NoAnswer:
        return "Timeout (Keine Antwort vom Server)";
    case SubmitOutcome::Pending:
    case SubmitOutcome::Unused:
        break;
    }
    return {};
}

int image(SubmitOutcome outcome)
{
    switch (outcome) {
    case SubmitOutcome::Accepted:
        return 3;
    case SubmitOutcome::AlreadyListed:
        return 5;
    case SubmitOutcome::Rejected:
        return 9;
    case SubmitOutcome::EngineError:
    case SubmitOutcome::Refused:
    case SubmitOutcome::Redirected:
    case SubmitOutcome::NotFound:
        return 1;
    case SubmitOutcome::Down:
        return 7;
    case SubmitOutcome::NoAnswer:
        return 8;
    case SubmitOutcome::Unknown:
    case SubmitOutcome::Pending:
    case SubmitOutcome::Unused:
        break;
    }
    return kWorkingImage;
}

Summary summarize(const std::string &target, const std::vector<SubmitOutcome> &outcomes)
{
    auto count = [&](std::initializer_list<SubmitOutcome> kinds) {
        return std::any_of(outcomes.begin(), outcomes.end(), [&](SubmitOutcome outcome) {
            return std::find(kinds.begin(), kinds.end(), outcome) != kinds.end();
        });
    };
    const bool rejected = count({SubmitOutcome::Rejected});
    const bool already = count({SubmitOutcome::AlreadyListed});
    const bool engineError = count({SubmitOutcome::EngineError});
    const bool invalid = count({SubmitOutcome::Redirected, SubmitOutcome::NotFound, SubmitOutcome::Unknown});
    const bool internal = count({SubmitOutcome::Refused});
    const std::string tryAgain = de("Bitte überprüfen Sie die eingegeben URL der Homepage oder probieren Sie es zu "
                                    "einem späteren Zeitpunkt noch einmal.");

    // Every rule that applies adds its advice; the last one names the line.
    Summary summary;
    if (rejected) {
        summary.line = target + ": Mind. 1 Dokument wurde nicht akzeptiert";
        summary.advice.push_back(de("Wählen Sie eine andere Top-Level Domain für bessere Erfolge (*.de, *.com, "
                                    "*.net, usw.)"));
    } else if (!invalid && !internal && !engineError) {
        summary.line = target + ": Anmeldung erfolgreich abgeschlossen";
        return summary;
    }
    if (already) {
        summary.line = target + ": Mind. 1 Dokument ist bereits angemeldet";
        summary.advice.push_back(de("Der Abstand zwischen den Anmeldungen sollte nicht zu kurz sein (mind. 1 Woche), "
                                    "warten Sie also noch etwas"));
    }
    if (engineError) {
        summary.line = target + ": Mind. 1 Dokument konnte nicht angemeldet werden";
        summary.advice.push_back(tryAgain);
    }
    if (invalid) {
        summary.line = target + de(": Mind. 1 Dokument ergab ungültige Antwort vom Webserver");
        summary.advice.push_back(de("Sollte nach 3 Tagen die Anmeldung immer noch fehlschlagen, schreiben Sie bitte "
                                    "an ") +
                                 kSupportAddress + ".");
        summary.advice.push_back(de("Bitte probieren Sie die Anmeldung in den nächsten Tagen noch einmal. Sie "
                                    "erhalten aktuelle Daten in der Regel direkt vom Keldrum Webserver."));
        summary.reportToMaker = true;
    }
    if (internal) {
        summary.line = target + ": Anmeldung wurde unterbrochen durch internen Fehler";
        summary.advice.push_back(tryAgain);
    }
    return summary;
}

bool addUnlessBegun(std::vector<std::string> &list, const std::string &line)
{
    const std::string lower = lowerCp1252(line);
    for (const std::string &held : list) {
        if (lowerCp1252(held).rfind(lower, 0) == 0)
            return false;
    }
    list.push_back(line);
    return true;
}

} // namespace vantor::submitoutcome
