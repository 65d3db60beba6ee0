#include "position/PositionOutcome.h"

#include "platform/Text.h"

namespace vantor::positionoutcome {

int image(PositionOutcome outcome)
{
    switch (outcome) {
    case PositionOutcome::Found:
        return 3;
    case PositionOutcome::EmptyPage:
    case PositionOutcome::NoMemory:
        return 1;
    case PositionOutcome::NoAnswer:
        return 8;
    case PositionOutcome::Unclear:
    case PositionOutcome::StartMissing:
    case PositionOutcome::StopMissing:
        return 4;
    case PositionOutcome::NotInTop:
        return 5;
    case PositionOutcome::Unused:
        break;
    }
    return kWorkingImage;
}

std::string failureText(PositionOutcome outcome)
{
    switch (outcome) {
    case PositionOutcome::NoAnswer:
        return "Timeout (Keine Antwort vom Server)";
    case PositionOutcome::EmptyPage:
        return de("Fehler (ungültige URL?)");
    case PositionOutcome::Unclear:
        return "Antwort nicht bekannt";
    case PositionOutcome::StartMissing:
        return "START_AFTER falsch";
    case PositionOutcome::StopMissing:
        return "STOP_AFTER falsch";
    case PositionOutcome::NoMemory:
        return "Thread: Kein Speicher!";
    default:
        return {};
    }
}

std::string text(PositionOutcome outcome, int count, const std::string &engine)
{
    if (outcome == PositionOutcome::Found)
        return "Position " + std::to_string(count);
    if (outcome == PositionOutcome::NotInTop)
        return "Nicht unter Top " + std::to_string(count);
    return engine + ": " + failureText(outcome);
}

std::string reportLine(const std::string &engine, const std::string &term, const std::string &shownText,
                       const std::string &linkPrefix, const std::string &foundPath)
{
    return engine + ": Begriff '" + term + "' " + shownText + " Link:" + linkPrefix + foundPath;
}

std::string successSuffix() { return ": Position-Analyse erfolgreich abgeschlossen"; }

Summary summarize(const std::string &engine, const std::vector<PositionOutcome> &outcomes)
{
    Summary summary;
    for (const PositionOutcome outcome : outcomes) {
        if (outcome == PositionOutcome::EmptyPage || outcome == PositionOutcome::Unclear)
            summary.reportToMaker = true;
    }
    summary.line = summary.reportToMaker ? engine + de(": Mind. 1 Dokument ergab ungültige Antwort vom Webserver")
                                         : engine + successSuffix();
    return summary;
}

} // namespace vantor::positionoutcome
