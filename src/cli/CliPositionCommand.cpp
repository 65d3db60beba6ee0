#include "Cli.h"

#include "CliUi.h"
#include "platform/Text.h"
#include "position/PositionPreparation.h"
#include "position/PositionRun.h"
#include "position/PositionTerms.h"
#include "position/RankStore.h"
#include "position/RankingReport.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitReport.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

namespace vantor {

namespace {

// The run's pauses spread the load on the engines; here they are real
// waits too.
class PositionCliUi : public CliUi
{
public:
    using CliUi::CliUi;
    void pause(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
};

} // namespace

int Cli::positionCommand(const std::vector<std::string> &args)
{
    const std::string projectFile = projectFilePath(programSettings().currentProject);
    std::optional<std::string> domain;
    std::string domainList;
    std::vector<std::string> wantedEngines;
    std::vector<std::string> wantedTerms;
    bool listEngines = false;
    bool listTerms = false;
    bool yes = false;
    std::optional<std::string> htmlFile;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--list-engines") {
            listEngines = true;
        } else if (a == "--list-terms") {
            listTerms = true;
        } else if (a == "--yes") {
            yes = true;
        } else if (i + 1 >= args.size()) {
            return usageError("position: falsches Argument / wrong argument: " + a);
        } else if (a == "--domain" || a == "--domain-list" || a == "--engine" || a == "--term" || a == "--html") {
            const std::string &value = args[++i];
            if (!fitsCp1252(value))
                return usageError("Ungültiges Argument / invalid argument: " + value);
            const std::string text = toCp1252(value);
            if (a == "--domain")
                domain = text;
            else if (a == "--domain-list")
                domainList = text;
            else if (a == "--engine")
                wantedEngines.push_back(text);
            else if (a == "--term")
                wantedTerms.push_back(text);
            else
                htmlFile = text;
        } else {
            return usageError("position: falsches Argument / wrong argument: " + a);
        }
    }

    // The terms given, as the list dialog would take them, else those of
    // the project.
    const std::vector<std::string> terms = wantedTerms.empty() ? positionterms::collect(projectRecord())
                                                               : positionterms::withoutDuplicates(wantedTerms);
    if (listTerms) {
        for (const std::string &term : terms)
            m_out << toUtf8(term) << '\n';
        if (!listEngines)
            return 0;
    }

    // Typing the command is the consent to go online.
    programSettings().httpInform = 0;
    PositionCliUi ui(m_err, yes);
    positionprep::DialogState state;

    if (!listEngines) {
        if (!domain)
            domain = positionprep::readDomain(projectFile);
        if (!positionprep::domainAccepted(*domain, ui))
            return 1;
        if (!positionprep::saveDomain(projectFile, *domain))
            return fail(de("Fehler beim Speichern"),
                        de("Die Domain-Adresse konnte nicht im Projekt gespeichert werden. Bitte prüfen Sie, ob die "
                           "Projektdatei beschreibbar ist."));
    }

    const auto prepared = positionprep::prepare(state, ui);
    if (!prepared)
        return 1;
    if (listEngines) {
        for (const std::string &engine : prepared->offered)
            m_out << toUtf8(engine) << '\n';
        return 0;
    }

    const std::vector<std::string> engines = wantedEngines.empty() ? prepared->offered : wantedEngines;
    for (const std::string &engine : engines) {
        if (std::find(prepared->offered.begin(), prepared->offered.end(), engine) == prepared->offered.end())
            return usageError("position: nicht angeboten / not offered: " + toUtf8(engine)
                              + " (vantor-cli position --list-engines)");
    }
    if (engines.empty())
        return fail(de("Keine Suchmaschinen"),
                    de("Die Daten für die Positionsermittlung bieten keine Suchmaschine an."));
    if (terms.empty())
        return fail(de("Keine Suchbegriffe"),
                    de("Das Projekt enthält keine Suchbegriffe. Geben Sie im Wizard Suchbegriffe für die Homepage "
                       "ein oder nennen Sie sie mit --term."));

    PositionRunInput input;
    input.domain = *domain;
    input.domainList = positionterms::readDomainList(domainList);
    input.terms = terms;
    input.engines = engines;
    input.positionText = prepared->text;
    NullPositionView view;
    PositionRun run(ui, view, std::move(input));
    const PositionRun::Result result = run.run();
    // Kept before anything is printed: the history is what the next run
    // compares with.
    RankStore::recordRun(programSettings().currentProject, run, ui);
    for (const std::string &line : run.report())
        m_out << toUtf8(line) << '\n';
    m_out.flush();

    bool saved = true;
    if (htmlFile)
        saved = submitreport::save(*htmlFile, rankingreport::html(run.report(), *domain, submitreport::now()), ui);
    if (result != PositionRun::Result::Done || !saved)
        return 1;
    const bool allDone = std::all_of(engines.begin(), engines.end(), [&](const std::string &engine) {
        const std::string done = engine + positionoutcome::successSuffix();
        return std::find(run.report().begin(), run.report().end(), done) != run.report().end();
    });
    return allDone ? 0 : 1;
}

} // namespace vantor
