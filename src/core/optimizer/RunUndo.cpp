#include "optimizer/RunUndo.h"

#include "optimizer/OutputManifest.h"
#include "optimizer/RunBackup.h"
#include "optimizer/SiteGuard.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "ui/Ui.h"

#include <algorithm>
#include <climits>
#include <map>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

struct Operation {
    std::string op;
    std::string blob; // R, D: kept file; L: R or D
    std::string path;
    std::string extra; // L: link target; W: size
    std::string hash;  // W
};

struct Journal {
    std::string site;
    std::string homepage;
    std::time_t started = 0;
    bool finished = false;
    std::vector<Operation> operations;
};

bool readJournal(const std::string &directory, Journal &journal)
{
    std::string text;
    if (!files::read(files::join(directory, RunBackup::kJournalName), text))
        return false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break; // a line cut by a killed run tells nothing certain
        const auto fields = splitJournalLine(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (fields.empty())
            continue;
        const std::string &op = fields[0];
        if (op == "site" && fields.size() >= 2)
            journal.site = fields[1];
        else if (op == "homepage" && fields.size() >= 2)
            journal.homepage = fields[1];
        else if (op == "started" && fields.size() >= 2)
            journal.started = static_cast<std::time_t>(std::strtoll(fields[1].c_str(), nullptr, 10));
        else if (op == "finished")
            journal.finished = true;
        else if (fields.size() >= 3 && !fields[2].empty()) {
            Operation operation;
            operation.op = op;
            operation.blob = fields[1];
            operation.path = fields[2];
            if (fields.size() >= 4)
                operation.extra = fields[3];
            if (fields.size() >= 5)
                operation.hash = fields[4];
            journal.operations.push_back(std::move(operation));
        }
    }
    return true;
}

// What is at a path: nothing, a link (to where) or a file (its hash).
struct State {
    enum Kind { Absent, Link, File, Other } kind = Absent;
    std::string value;
    bool operator==(const State &) const = default;
};

State stateOf(const std::string &path, bool asLink)
{
    State state;
    struct stat st {};
    const std::string os = files::osPath(path);
    if (::lstat(os.c_str(), &st) != 0)
        return state;
    if (S_ISLNK(st.st_mode) && asLink) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(os.c_str(), target, sizeof target - 1);
        state.kind = State::Link;
        state.value.assign(target, length > 0 ? static_cast<std::size_t>(length) : 0);
        return state;
    }
    std::string content;
    if (!files::isFile(path) || !files::read(path, content)) {
        state.kind = State::Other;
        return state;
    }
    state.kind = State::File;
    state.value = OutputManifest::contentHash(content);
    return state;
}

// One path the run touched, from its first and last journal entries.
struct Touched {
    std::string path;
    bool original = false; // false: the run made it
    bool originalIsLink = false;
    std::string blob;       // the kept bytes, when original and no link
    std::string linkTarget; // when originalIsLink
    bool deletedByRun = false;
    // What the run left there; unknown when it was killed between keeping
    // an entry and noting its write.
    State final;
    bool finalKnown = false;
};

std::vector<Touched> touchedPaths(const Journal &journal)
{
    std::vector<Touched> result;
    std::map<std::string, std::size_t> index;
    for (const Operation &operation : journal.operations) {
        if (operation.op == "MD" || operation.op == "RD")
            continue;
        auto found = index.find(operation.path);
        if (found == index.end()) {
            Touched touched;
            touched.path = operation.path;
            if (operation.op == "R" || operation.op == "D") {
                touched.original = true;
                touched.blob = operation.blob;
                touched.deletedByRun = operation.op == "D";
            } else if (operation.op == "L") {
                touched.original = true;
                touched.originalIsLink = true;
                touched.linkTarget = operation.extra;
                touched.deletedByRun = operation.blob == "D";
            } else if (operation.op != "M") {
                continue; // a W without its M: the journal was cut before it
            }
            // Deleted by the run: gone is what the run left. Otherwise only a
            // written entry tells what the run left there.
            touched.finalKnown = touched.deletedByRun;
            found = index.emplace(operation.path, result.size()).first;
            result.push_back(std::move(touched));
        }
        Touched &touched = result[found->second];
        if (operation.op == "W") {
            touched.final = State{State::File, operation.hash};
            touched.finalKnown = true;
        } else if (operation.op == "X") {
            touched.final = State{};
            touched.finalKnown = true;
        }
    }
    return result;
}

void tell(Ui &ui, const char *title, const std::string &text) { ui.message(de(title), text); }

} // namespace

std::vector<RunUndo::KeptRun> RunUndo::list(const std::string &project)
{
    std::vector<KeptRun> runs;
    const std::string root = RunBackup::rootFor(project);
    std::vector<std::string> names = files::listDirectories(files::join(root, "*"));
    std::sort(names.begin(), names.end(), RunBackup::runsInOrder);
    for (const std::string &name : names) {
        const std::string directory = files::join(root, name);
        Journal journal;
        if (!readJournal(directory, journal))
            continue;
        KeptRun run;
        run.id = name;
        run.started = journal.started;
        run.finished = journal.finished;
        run.undone = files::entryExists(files::join(directory, RunBackup::kUndoneName));
        run.site = journal.site;
        run.files = static_cast<int>(touchedPaths(journal).size());
        runs.push_back(std::move(run));
    }
    return runs;
}

RunUndo::Result RunUndo::undo(Ui &ui, const std::string &project, const std::string &runId, std::string &undoneId,
                              int &restoredFiles)
{
    restoredFiles = 0;
    const std::vector<KeptRun> runs = list(project);
    const KeptRun *chosen = nullptr;
    if (runId.empty()) {
        for (auto it = runs.rbegin(); it != runs.rend(); ++it)
            if (!it->undone) {
                chosen = &*it;
                break;
            }
        if (chosen == nullptr) {
            tell(ui, "Nichts rückgängig zu machen",
                 de("Für das Projekt \"") + project +
                     de("\" ist keine Optimierung gespeichert, die noch rückgängig gemacht werden kann."));
            return Result::NothingToUndo;
        }
    } else {
        for (const KeptRun &run : runs)
            if (run.id == runId)
                chosen = &run;
        if (chosen == nullptr) {
            tell(ui, "Optimierung nicht gefunden",
                 de("Für das Projekt \"") + project + de("\" ist keine Optimierung \"") + runId +
                     de("\" gespeichert. Es werden die letzten ") + std::to_string(RunBackup::kKeptRuns) +
                     de(" Optimierungen aufbewahrt."));
            return Result::UnknownRun;
        }
        if (chosen->undone) {
            tell(ui, "Bereits rückgängig gemacht",
                 de("Die Optimierung \"") + runId + de("\" wurde bereits rückgängig gemacht."));
            return Result::AlreadyUndone;
        }
    }
    undoneId = chosen->id;
    const std::string directory = files::join(RunBackup::rootFor(project), chosen->id);
    Journal journal;
    readJournal(directory, journal);
    std::vector<Touched> touched = touchedPaths(journal);

    // What each path must look like to be undone, and whether somebody
    // changed it after the run.
    std::vector<std::string> edited;
    std::vector<bool> isEdited(touched.size(), false);
    for (std::size_t i = 0; i < touched.size(); ++i) {
        Touched &t = touched[i];
        const State now = stateOf(t.path, t.originalIsLink);
        State original;
        if (t.original) {
            original.kind = t.originalIsLink ? State::Link : State::File;
            if (t.originalIsLink) {
                original.value = t.linkTarget;
            } else {
                std::string content;
                files::read(files::join(files::join(directory, "files"), t.blob), content);
                original.value = OutputManifest::contentHash(content);
            }
        }
        if (now == original || !t.finalKnown || now == t.final)
            continue;
        isEdited[i] = true;
        edited.push_back(t.path);
    }
    if (!edited.empty()) {
        std::tm local{};
        localtime_r(&chosen->started, &local);
        char when[32];
        std::strftime(when, sizeof when, "%d.%m.%Y um %H:%M", &local);
        const std::string text =
            de("Seit der Optimierung vom ") + when + de(" wurden ") + std::to_string(edited.size()) +
            (edited.size() == 1 ? de(" Datei geändert: \"") : de(" Dateien geändert, z.B. \"")) + edited.front() +
            de("\".\nKlicken Sie auf \"OK\", um trotzdem den Stand vor der Optimierung wiederherzustellen. Die "
               "geänderten Fassungen werden in der Sicherung \"") +
            directory + de("\" aufbewahrt. Klicken Sie auf \"Abbruch\", um nichts zu verändern.");
        // Abbruch is the safe answer: the changes stay where they are.
        if (!ui.questionDefaultNo(de("Dateien wurden geändert"), text))
            return Result::Declined;
    }

    SiteGuard guard(journal.site);
    OutputManifest manifest(OutputManifest::pathFor(project));
    manifest.load();
    std::vector<std::string> failed;

    // Directories the run removed come back before their files.
    for (const Operation &operation : journal.operations)
        if (operation.op == "RD" && !files::isDirectory(operation.path)) {
            if (files::createDirectories(operation.path))
                manifest.addDirectory(operation.path);
            else
                failed.push_back(operation.path);
        }

    int editedKept = 0;
    for (std::size_t i = 0; i < touched.size(); ++i) {
        const Touched &t = touched[i];
        const bool homepage = t.path == journal.homepage;
        if (!t.original && !files::entryExists(t.path)) {
            // Made by the run and gone since: nothing to take back.
            manifest.forget(t.path);
            ++restoredFiles;
            continue;
        }
        // A folder of the site removed by hand since the run comes back
        // with the files it held before.
        const std::string parent = files::directoryOf(t.path);
        if (t.original && !files::isDirectory(parent) && !SiteGuard::isLink(parent) &&
            parent.compare(0, journal.site.size(), journal.site) == 0)
            files::createDirectories(parent);
        if (!homepage && guard.fileTarget(t.path) == SiteGuard::Verdict::Outside && !SiteGuard::isLink(t.path)) {
            failed.push_back(t.path);
            continue;
        }
        if (isEdited[i] && files::isFile(t.path)) {
            std::string content;
            if (!files::read(t.path, content) ||
                !files::writeAtomic(files::join(directory, "edited-" + std::to_string(++editedKept) + "-" +
                                                               files::fileNameOf(t.path)),
                                    content)) {
                failed.push_back(t.path);
                continue;
            }
        }
        bool ok = true;
        if (!t.original) {
            if (files::entryExists(t.path))
                ok = files::remove(t.path) || ::unlink(files::osPath(t.path).c_str()) == 0;
            if (ok)
                manifest.forget(t.path);
        } else if (t.originalIsLink) {
            const State now = stateOf(t.path, true);
            if (!(now.kind == State::Link && now.value == t.linkTarget)) {
                if (files::entryExists(t.path))
                    ::unlink(files::osPath(t.path).c_str());
                ok = ::symlink(t.linkTarget.c_str(), files::osPath(t.path).c_str()) == 0;
            }
        } else {
            std::string content;
            ok = files::read(files::join(files::join(directory, "files"), t.blob), content);
            if (ok && stateOf(t.path, false) != State{State::File, OutputManifest::contentHash(content)}) {
                // A link put where our file stood is replaced, not followed;
                // the homepage alone is written through as always.
                if (!homepage && SiteGuard::isLink(t.path))
                    ::unlink(files::osPath(t.path).c_str());
                ok = files::writeAtomic(t.path, content);
            }
            if (ok && t.deletedByRun)
                manifest.addFile(t.path, content);
        }
        if (ok)
            ++restoredFiles;
        else
            failed.push_back(t.path);
    }

    // Directories the run made go when they are empty again.
    for (auto it = journal.operations.rbegin(); it != journal.operations.rend(); ++it)
        if (it->op == "MD" && files::isDirectory(it->path) && !SiteGuard::isLink(it->path)) {
            if (files::removeDirectory(it->path))
                manifest.forget(it->path);
        }

    if (!failed.empty()) {
        tell(ui, "Rückgängig machen unvollständig",
             de("Die Optimierung \"") + chosen->id + de("\" konnte nicht vollständig rückgängig gemacht werden. ") +
                 std::to_string(failed.size()) + de(" Datei(en) konnten nicht wiederhergestellt werden, z.B. \"") +
                 failed.front() + de("\". Die gesicherten Dateien liegen in \"") + directory + "\".");
        return Result::Incomplete;
    }
    files::writeAtomic(files::join(directory, RunBackup::kUndoneName), chosen->id + "\n");
    return Result::Done;
}

} // namespace vantor
