#include "Cli.h"

#include "CliUi.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "research/ResearchStart.h"
#include "research/WatchList.h"

#include <ostream>

namespace vantor {

int Cli::researchCommand(const std::vector<std::string> &args)
{
    std::optional<std::string> typed;
    bool asOneWord = false;
    bool rememberLeft = false;
    bool rememberRight = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--as-one-word")
            asOneWord = true;
        else if (a == "--remember-all-left")
            rememberLeft = true;
        else if (a == "--remember-all-right")
            rememberRight = true;
        else if (a.rfind("--", 0) == 0 || typed)
            return usageError("research: falsches Argument / wrong argument: " + a);
        else
            typed = a;
    }
    if (!typed)
        return usageError("research: Suchbegriff erwartet / search term expected");

    // Typing the command is the consent to go online.
    programSettings().httpInform = 0;
    CliUi ui(m_err, false);
    if (!research::dataFilePresent(ui))
        return 1;
    // The dialog's field lower-cases every letter as it is typed; a
    // character cp1252 lacks becomes '?' and is refused by the rules.
    const std::string term = lowerCp1252(toCp1252(*typed));
    research::DialogState state;
    ResearchView view;
    const research::Outcome outcome = research::startResearch(term, asOneWord, state, ui, view);
    if (outcome.status != research::Outcome::Status::Finished)
        return 1;

    m_out << "Suchmaschinen Eingaben:\n";
    for (const std::string &row : outcome.keywords)
        m_out << toUtf8(row) << '\n';
    m_out << "Varianten, Synonyme, verwandte Begriffe:\n";
    for (const std::string &row : outcome.variants)
        m_out << toUtf8(row) << '\n';
    m_out.flush();

    const std::string project = programSettings().currentProject;
    if ((rememberLeft && !research::rememberTerms(project, outcome.keywords, nullptr, WatchList::EngineInput))
        || (rememberRight && !research::rememberTerms(project, outcome.variants, nullptr, WatchList::Variant)))
        return fail(de("Merkliste nicht gespeichert"),
                    de("Die Merkliste des Projekts konnte nicht gespeichert werden. Bitte prüfen Sie, ob die "
                       "Projektdatei beschreibbar ist, und probieren Sie es noch einmal."));
    return 0;
}

} // namespace vantor
