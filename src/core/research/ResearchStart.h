#pragma once

#include "research/ResearchRun.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

class ResearchView;
class Ui;

// Everything between the user's "Recherche starten" and the search itself,
// shared by the dialog and the command line: the rules of the term, the
// fresh research file with its SYSTEM entries, the dial-up prompt; and the
// way found terms go into the watch list. Texts are cp1252.
namespace research {

constexpr const char *kDataFile = "research_d.dat";
// The settings flag of the maker's one-time notice.
constexpr const char *kNoticeFlag = "researchmsgshowed";
constexpr std::size_t kMaxTerm = 30;

// "Projekt: <name> (<homepage file>)" above the dialog.
std::string projectCaption(const std::string &projectName, const std::string &homepagePath);

// The research file has to be in Data/ when the dialog opens (a fresh
// installation fetches it first); when it is not, "Datei fehlt!" is shown
// and false comes back.
bool dataFilePresent(Ui &ui);

struct Terms {
    ResearchMode mode = ResearchMode::OneWord;
    std::string term1;
    std::string term2; // two-term mode only
};

// The rules of the term field in their order; the first one broken is
// shown and nullopt comes back.
std::optional<Terms> checkTerm(const std::string &typed, bool asOneWord, Ui &ui);

// Lives as long as the dialog: the dial-up prompt comes at most once in it.
struct DialogState {
    bool askedBeforeConnect = false;
};

struct Outcome {
    enum class Status {
        Refused,  // a rule, a notice or the user stopped it before the search
        Stopped,  // the search began but did not finish
        Finished, // both lists are complete
    };
    Status status = Status::Refused;
    std::vector<std::string> keywords; // rows as shown, placeholders included
    std::vector<std::string> variants;
};

// "Recherche starten": the term's rules, the research file fetched once per
// program run, its SYSTEM entries, then the search. Every refusal has been
// shown when the outcome says so.
Outcome startResearch(const std::string &typed, bool asOneWord, DialogState &state, Ui &ui, ResearchView &view);

// The rows "Alle merken" (selected empty) or "Markierte merken" (one flag a
// row) takes, from the top, each cut to what the watch list keeps. The
// placeholder row, or anything contained in it, ends the batch.
std::vector<std::string> rowsToRemember(const std::vector<std::string> &rows, const std::vector<bool> *selected);

// The same into the current project's watch list file, where no window
// shows it: kind 1 for the left list, 2 for the right one. "Alle merken"
// saves even when nothing was taken. False when the file could not be
// written.
bool rememberTerms(const std::string &projectName, const std::vector<std::string> &rows,
                   const std::vector<bool> *selected, int kind);

} // namespace research
} // namespace vantor
