#include "Cli.h"

#include "CliUi.h"
#include "platform/Text.h"
#include "project/Configuration.h"
#include "project/Guidelines.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "research/WatchList.h"
#include "ui/Ui.h"

#include <algorithm>
#include <ostream>

namespace vantor {

namespace {

// Runs a job with the command-line Ui as the current one.
template <typename Job>
int withUi(std::ostream &err, bool yes, Job job)
{
    CliUi ui(err, yes);
    setCurrentUi(&ui);
    const int status = job(ui);
    setCurrentUi(nullptr);
    return status;
}

bool isListed(const std::string &entry)
{
    const auto entries = projects::listEntries();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

} // namespace

std::string Cli::entryOf(const std::string &utf8Name)
{
    const std::string name = toCp1252(utf8Name);
    return name == "default" ? std::string(projects::kStandardEntry) : name;
}

int Cli::projectNew(const std::vector<std::string> &args)
{
    if (args.size() < 3)
        return usageError("project new: NAME fehlt / missing");
    projects::NewProjectChoice choice;
    for (std::size_t i = 3; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--current-options")
            choice.currentOptions = true;
        else if (a == "--keep-texts")
            choice.keepHomepageTexts = true;
        else if (a == "--keep-keywords")
            choice.keepHomepageKeywords = true;
        else if (a == "--keep-copy-texts")
            choice.keepCopyTexts = true;
        else if (a == "--keep-copy-keywords")
            choice.keepCopyKeywords = true;
        else if (a == "--keep-doorways")
            choice.keepDoorways = true;
        else
            return usageError("project new: falsches Argument / wrong argument: " + a);
    }
    if (!fitsCp1252(args[2]))
        return usageError("Ungültiger Projektname / invalid project name: " + args[2]);
    const std::string name = toCp1252(args[2]);
    if (const auto problem = projects::newNameProblem(name, projects::listEntries()))
        return fail(problem->title, problem->text);
    return withUi(m_err, false, [&](Ui &ui) {
        // The data to take over are the current project's as stored.
        const std::string current = programSettings().currentProject;
        if (!LoadProjectData(current) || !LoadProjectOptions(current)) {
            showProjectFailure(ui, ProjectFailure::LoadData, current);
            return 1;
        }
        const std::string shown = displayNameMain(current);
        if (!projects::create(name, choice, ui) || !projects::open(name, shown, ui, nullptr))
            return 1;
        SaveLastProject(name);
        m_out << "Aktuelles Projekt: " << toUtf8(displayNameMain(name)) << '\n';
        return 0;
    });
}

int Cli::projectOpen(const std::string &utf8Name)
{
    const std::string entry = entryOf(utf8Name);
    if (!isListed(entry))
        return fail("Projekt nicht gefunden", de("Es gibt kein Projekt \"") + entry + "\".");
    return withUi(m_err, false, [&](Ui &ui) {
        const std::string shown = displayNameMain(programSettings().currentProject);
        if (!projects::open(entry, shown, ui, nullptr))
            return 1;
        SaveLastProject(programSettings().currentProject);
        m_out << "Aktuelles Projekt: " << toUtf8(displayNameMain(programSettings().currentProject)) << '\n';
        return 0;
    });
}

int Cli::projectDelete(const std::vector<std::string> &args)
{
    bool yes = false;
    std::optional<std::string> name;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--yes")
            yes = true;
        else if (!name)
            name = args[i];
        else
            return usageError("project delete: falsches Argument / wrong argument: " + args[i]);
    }
    if (!name)
        return usageError("project delete: NAME fehlt / missing");
    const std::string entry = entryOf(*name);
    // The standard project gets its own message, listed or not.
    if (entry.find(projects::kStandardEntry) == std::string::npos && !isListed(entry))
        return fail("Projekt nicht gefunden", de("Es gibt kein Projekt \"") + entry + "\".");
    return withUi(m_err, yes, [&](Ui &ui) {
        if (!projects::remove(entry, ui, nullptr))
            return 1;
        SaveLastProject(programSettings().currentProject);
        m_out << "Aktuelles Projekt: " << toUtf8(displayNameMain(programSettings().currentProject)) << '\n';
        return 0;
    });
}

int Cli::projectInfo(const std::vector<std::string> &args)
{
    projects::Info info = projects::readInfo(programSettings().currentProject);
    bool change = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (i + 1 >= args.size() || (a != "--company" && a != "--name" && a != "--tel" && a != "--mail"))
            return usageError("project info: falsches Argument / wrong argument: " + a);
        const std::string &value = args[++i];
        if (!fitsCp1252(value) || value.find_first_of("\r\n") != std::string::npos)
            return usageError("project info: Wert nicht speicherbar / value cannot be stored: " + value);
        (a == "--company" ? info.company : a == "--name" ? info.name : a == "--tel" ? info.tel : info.mail) =
            toCp1252(value);
        change = true;
    }
    if (change)
        return withUi(m_err, false, [&](Ui &ui) { return projects::saveInfo(info, ui) ? 0 : 1; });
    m_out << "project=" << toUtf8(displayNameMain(programSettings().currentProject)) << '\n'
          << "company=" << toUtf8(info.company) << '\n'
          << "name=" << toUtf8(info.name) << '\n'
          << "tel=" << toUtf8(info.tel) << '\n'
          << "mail=" << toUtf8(info.mail) << '\n'
          << "lastoptimized=" << toUtf8(info.lastOptimized) << '\n';
    return 0;
}

int Cli::configCommand(const std::vector<std::string> &args)
{
    const std::string verb = args.size() >= 2 ? args[1] : std::string();
    if (verb == "show" && args.size() == 2) {
        return withUi(m_err, false, [&](Ui &ui) {
            const configuration::Values values = configuration::open(ui);
            for (const auto &row : configuration::rows()) {
                if (std::string(row.code) == "hiddenForm")
                    continue;
                m_out << row.code << '=' << configuration::fieldValue(values.options, row);
                if (const guidelines::Technique *technique = guidelines::find(row.code))
                    m_out << ' ' << guidelines::markText(technique->mark);
                m_out << '\n';
            }
            m_out << "sonz=" << values.options.sonz << '\n' << "usertype=" << values.userLevel << '\n';
            return 0;
        });
    }
    if (verb == "set" && args.size() == 4) {
        const std::string &code = args[2];
        const std::string &text = args[3];
        const configuration::Row *row = configuration::findRow(code);
        if (code == "hiddenForm")
            return usageError("config set: \"Verborgenes Formular\" gilt nur bis zum Programmende und wird nicht "
                              "gespeichert / is not stored");
        if (!row && code != "sonz" && code != "usertype")
            return usageError("config set: unbekannter Code / unknown code: " + code);
        const int highest = row ? (row->single ? 1 : 3) : code == "sonz" ? 3 : 2;
        const int lowest = code == "usertype" ? 1 : 0;
        if (text.size() != 1 || text[0] < '0' + lowest || text[0] > '0' + highest)
            return usageError("config set: Wert " + std::to_string(lowest) + " bis " + std::to_string(highest) +
                              " erwartet / value expected: " + text);
        const int value = text[0] - '0';
        return withUi(m_err, false, [&](Ui &ui) {
            configuration::Values values = configuration::open(ui);
            if (row)
                configuration::field(values.options, *row) = value;
            else if (code == "sonz")
                configuration::chooseSignSet(values, value, ui);
            else
                values.userLevel = value;
            return configuration::apply(values, ui) ? 0 : 1;
        });
    }
    if (verb == "modern" && args.size() == 2) {
        return withUi(m_err, false, [&](Ui &ui) {
            configuration::Values values = configuration::open(ui);
            if (!configuration::modern(values, ui))
                return 1;
            m_out << "Zeitgemäß: riskante und wirkungslose Techniken aus, empfohlene an, keine Kopien und keine "
                     "Zugangsseiten.\n";
            return 0;
        });
    }
    if (verb == "reset" && args.size() == 2) {
        return withUi(m_err, false, [&](Ui &ui) {
            configuration::Values values = configuration::open(ui);
            return configuration::reset(values, ui) ? 0 : 1;
        });
    }
    return usageError("config: show, set CODE WERT, modern oder reset erwartet / expected show, set, modern or reset");
}

int Cli::watchListCommand(const std::vector<std::string> &args)
{
    const std::string verb = args.size() >= 2 ? args[1] : std::string();
    const std::string project = programSettings().currentProject;
    WatchList list;
    if (verb == "show" && args.size() == 2) {
        list.load(project);
        for (const auto &entry : list.entries())
            m_out << entry.kind << ' ' << toUtf8(entry.text) << '\n';
        return 0;
    }
    if ((verb == "add" || verb == "delete") && args.size() >= 3) {
        int kind = WatchList::EngineInput;
        if (verb == "add" && args.size() == 5 && args[3] == "--kind" && args[4].size() == 1 && args[4][0] >= '0' &&
            args[4][0] <= '2')
            kind = args[4][0] - '0';
        else if (args.size() != 3)
            return usageError("watchlist: falsche Argumente / wrong arguments");
        if (!fitsCp1252(args[2]) || args[2].empty() || args[2].find_first_of("\r\n") != std::string::npos)
            return usageError("watchlist: Eintrag nicht speicherbar / entry cannot be stored: " + args[2]);
        const std::string text = toCp1252(args[2]);
        if (text.size() > WatchList::kMaxText)
            return fail("Eintrag zu lang", de("Ein Eintrag der Merkliste hat höchstens 149 Zeichen."));
        // One locked step from the load to the save: a second program
        // adding at the same time must not lose its entry or ours.
        bool changed = false;
        const bool saved = list.update(project, [&](WatchList &current) {
            if (verb == "add")
                return changed = current.add(text, kind);
            const auto &entries = current.entries();
            const auto it = std::find_if(entries.begin(), entries.end(),
                                         [&](const WatchList::Entry &e) { return e.text == text; });
            if (it == entries.end())
                return false;
            current.remove({static_cast<std::size_t>(it - entries.begin())});
            return changed = true;
        });
        if (saved && !changed && verb == "add") {
            m_err << "Bereits in der Merkliste / already there: " << args[2] << '\n';
            return 0;
        }
        if (saved && !changed)
            return fail("Nicht in der Merkliste", de("\"") + text + de("\" steht nicht in der Merkliste."));
        if (!saved) {
            withUi(m_err, false, [&](Ui &ui) {
                showProjectFailure(ui, ProjectFailure::SaveData, project);
                return 1;
            });
            return 1;
        }
        return 0;
    }
    return usageError("watchlist: show, add TEXT oder delete TEXT erwartet / expected show, add or delete");
}

} // namespace vantor
