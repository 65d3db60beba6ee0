#include "Cli.h"

#include "CliUi.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitOutcome.h"
#include "submit/SubmitPreparation.h"
#include "submit/SubmitReport.h"
#include "submit/SubmitRun.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <thread>

namespace vantor {

namespace {

// The run's pauses spread the load on the engines' servers; on the command
// line they are real waits too.
class SubmitCliUi : public CliUi
{
public:
    SubmitCliUi(std::ostream &messages, bool yes)
        : CliUi(messages, yes)
        , m_messages(messages)
        , m_yes(yes)
    {
    }
    bool questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                      const std::string &goButton) override
    {
        message(title, text);
        m_messages << "-> " << toUtf8(m_yes ? goButton : stopButton) << '\n';
        return m_yes;
    }
    void pause(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

private:
    std::ostream &m_messages;
    bool m_yes;
};

// Every outcome as it arrives, accepted ones too.
class CliSubmitView : public NullSubmitView
{
public:
    explicit CliSubmitView(std::ostream &out)
        : m_out(out)
    {
    }
    void outcomeShown(int, const std::string &target, const std::string &document, SubmitOutcome outcome) override
    {
        m_out << toUtf8(target) << ": " << toUtf8(document) << " > " << toUtf8(submitoutcome::text(outcome))
              << std::endl;
    }

private:
    std::ostream &m_out;
};

bool readDocumentFile(const std::string &path, std::vector<std::string> &documents)
{
    std::string content;
    if (!files::read(path, content))
        return false;
    std::size_t start = 0;
    while (start < content.size() && documents.size() < 1000) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            documents.push_back(fitsCp1252(line) ? toCp1252(line) : line);
        start = end + 1;
    }
    return true;
}

} // namespace

int Cli::submitCommand(const std::vector<std::string> &args)
{
    const std::string projectFile = projectFilePath(programSettings().currentProject);
    submitsettings::Entries entries = submitsettings::readEntries(projectFile);
    std::vector<std::string> wanted;
    bool all = false;
    bool listTargets = false;
    bool listDocuments = false;
    bool yes = false;
    std::optional<std::string> documentFile;
    std::optional<std::string> htmlFile;
    std::optional<std::string> csvFile;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--all") {
            all = true;
        } else if (a == "--list-targets") {
            listTargets = true;
        } else if (a == "--list-documents") {
            listDocuments = true;
        } else if (a == "--yes") {
            yes = true;
        } else if (!hasValue) {
            return usageError("submit: falsches Argument / wrong argument: " + a);
        } else if (a == "--mode") {
            const std::string &mode = args[++i];
            if (mode == "start")
                entries.mode = submitdocs::Mode::StartPageOnly;
            else if (mode == "optimal")
                entries.mode = submitdocs::Mode::Optimal;
            else if (mode == "complete")
                entries.mode = submitdocs::Mode::Complete;
            else
                return usageError("submit: --mode start|optimal|complete erwartet / expected");
        } else if (a == "--url" || a == "--email" || a == "--target") {
            const std::string &value = args[++i];
            if (!fitsCp1252(value))
                return usageError("Ungültiges Argument / invalid argument: " + value);
            if (a == "--url")
                entries.url = toCp1252(value);
            else if (a == "--email")
                entries.email = toCp1252(value);
            else
                wanted.push_back(toCp1252(value));
        } else if (a == "--documents" || a == "--html" || a == "--csv") {
            const std::string path = toCp1252(args[++i]);
            (a == "--documents" ? documentFile : a == "--html" ? htmlFile : csvFile) = path;
        } else {
            return usageError("submit: falsches Argument / wrong argument: " + a);
        }
    }
    if (!listTargets && !listDocuments && wanted.empty() && !all)
        return usageError("submit: --target NAME oder --all erwartet / expected");
    if (all && !wanted.empty())
        return usageError("submit: --target und --all schließen sich aus / exclude each other");

    // Typing the command is the consent to go online.
    programSettings().httpInform = 0;
    SubmitCliUi ui(m_err, yes);
    const std::string homepagePath = projectRecord().path.str();
    if (homepagePath.empty())
        return fail(submitprep::notOptimizedTitle(), submitprep::notOptimizedText());

    std::optional<std::vector<std::string>> documents;
    if (documentFile) {
        documents.emplace();
        if (!readDocumentFile(*documentFile, *documents))
            return fail(de("Datei nicht gefunden"),
                        de("Die Liste der Dokumente \"") + *documentFile + de("\" konnte nicht gelesen werden."));
    }
    if (submitprep::refused(entries, ui))
        return 1;
    const auto prepared = submitprep::prepare(entries, projectFile, homepagePath, ui, documents);
    if (!prepared)
        return 1;

    if (listTargets || listDocuments) {
        for (const std::string &target : listTargets ? prepared->offered : std::vector<std::string>())
            m_out << toUtf8(target) << '\n';
        for (const std::string &document : listDocuments ? prepared->documents : std::vector<std::string>())
            m_out << toUtf8(document) << '\n';
        return 0;
    }

    std::vector<std::string> targets = all ? prepared->offered : wanted;
    for (const std::string &target : targets) {
        if (std::find(prepared->offered.begin(), prepared->offered.end(), target) == prepared->offered.end())
            return usageError("submit: nicht angeboten / not offered: " + toUtf8(target)
                              + " (vantor-cli submit --list-targets)");
    }
    if (targets.empty())
        return fail(de("Keine Suchmaschinen"), de("Die Daten für die automatische Anmeldung bieten keine "
                                                  "Suchmaschine an."));

    SubmitRunInput input;
    input.homepage = entries.url;
    input.documents = prepared->documents;
    input.targets = targets;
    input.email = entries.email;
    input.submitText = prepared->submitText;
    input.listsText = prepared->listsText;
    CliSubmitView view(m_out);
    SubmitRun run(ui, view, std::move(input));
    const SubmitRun::Result result = run.run();

    m_out << "Report:\n";
    for (const std::string &line : run.report())
        m_out << toUtf8(line) << '\n';
    m_out << "To Do's:\n";
    for (const std::string &line : run.advice())
        m_out << toUtf8(line) << '\n';

    bool saved = true;
    const submitreport::Stamp stamp = submitreport::now();
    if (htmlFile)
        saved = submitreport::save(*htmlFile, submitreport::html(run.report(), run.advice(), entries.url, stamp), ui)
            && saved;
    if (csvFile)
        saved = submitreport::save(*csvFile,
                                   submitreport::csv(run.report(), run.advice(), entries.url, stamp, targets), ui)
            && saved;

    if (result != SubmitRun::Result::Done || !saved)
        return 1;
    const bool allDone = std::all_of(targets.begin(), targets.end(), [&](const std::string &target) {
        const std::string done = target + ": Anmeldung erfolgreich abgeschlossen";
        return std::find(run.report().begin(), run.report().end(), done) != run.report().end();
    });
    return allDone ? 0 : 1;
}

} // namespace vantor
