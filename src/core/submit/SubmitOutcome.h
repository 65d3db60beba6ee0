#pragma once

#include "submit/SubmitTarget.h"

#include <string>
#include <vector>

namespace vantor {

// What became of one document at one target. Pending is 0 and every final
// outcome is non-zero: a worker's single store of its outcome is what hands
// the document back to the run.
enum class SubmitOutcome : int {
    Pending = 0,
    Accepted,
    AlreadyListed,
    Rejected,
    EngineError,
    Refused,
    Redirected,
    NotFound,
    Unknown,
    Down,
    NoAnswer,
    Unused = 99,
};

namespace submitoutcome {

// The image of a line still being worked on, and of an idle slot's last line.
constexpr int kWorkingImage = 4;
constexpr int kIdleImage = 5;

SubmitOutcome fromAnswer(SubmitAnswer answer);
// The text of the line's second column (cp1252) and its state image.
std::string text(SubmitOutcome outcome);
int image(SubmitOutcome outcome);

// A target's summary once its last batch is done.
struct Summary {
    std::string line;
    // In the order they go into the advice list.
    std::vector<std::string> advice;
    // The answers were such that the maker should hear of it (once per
    // program run; the caller keeps that flag).
    bool reportToMaker = false;
};
Summary summarize(const std::string &target, const std::vector<SubmitOutcome> &outcomes);

// The report and advice lists take a line only when no line of theirs
// already begins with it, without regard to case.
bool addUnlessBegun(std::vector<std::string> &list, const std::string &line);

} // namespace submitoutcome

} // namespace vantor
