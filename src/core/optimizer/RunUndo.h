#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// Undoing optimisation runs from their backups: what a run replaced comes
// back byte for byte, what it made goes. Runs are undone one at a time,
// newest first, so repeated undos step back to the site as it was before
// the first run that is still kept.
class RunUndo
{
public:
    struct KeptRun {
        std::string id;
        std::time_t started = 0;
        int files = 0;         // files the run made, replaced or deleted
        bool finished = false; // false: the run was interrupted
        bool undone = false;
        std::string site;
    };
    // The kept runs of a project, oldest first.
    static std::vector<KeptRun> list(const std::string &project);

    enum class Result { Done, NothingToUndo, UnknownRun, AlreadyUndone, Declined, Incomplete };

    // Undoes the run with this id, or the newest run not yet undone when the
    // id is empty. Files changed after the run are named in a question
    // first; their changed versions are kept in the run's backup. Every
    // outcome but Done is told through ui.
    static Result undo(Ui &ui, const std::string &project, const std::string &runId, std::string &undoneId,
                       int &restoredFiles);
};

} // namespace vantor
