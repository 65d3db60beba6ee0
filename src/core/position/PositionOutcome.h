#pragma once

#include <string>
#include <vector>

namespace vantor {

// How the check of one term at one engine ended. Zero is "still at work";
// every value here is final.
enum class PositionOutcome {
    Found = 1,
    NotInTop = 2,     // all pages read, the site not among them
    NoAnswer = 3,     // the request could not be sent
    EmptyPage = 4,    // a page without a single byte
    Unclear = 5,      // the site on the last page, but in no result entry
    StartMissing = 6, // START_AFTER not on a page that holds the site
    StopMissing = 7,  // STOP_AFTER not after START_AFTER there
    NoMemory = 8,
    Unused = 999,
};

namespace positionoutcome {

// The list images of the dialog's slot lists.
constexpr int kWorkingImage = 2;
constexpr int kIdleImage = 6;
int image(PositionOutcome outcome);

// "Position 13", "Nicht unter Top 30", or for a failure the engine's name,
// ": " and what went wrong (cp1252).
std::string text(PositionOutcome outcome, int count, const std::string &engine);
// The failure's own words, without the engine.
std::string failureText(PositionOutcome outcome);

// The report line of one outcome.
std::string reportLine(const std::string &engine, const std::string &term, const std::string &shownText,
                       const std::string &linkPrefix, const std::string &foundPath);

struct Summary {
    std::string line;
    bool reportToMaker = false; // a broken answer the maker should hear of
};
Summary summarize(const std::string &engine, const std::vector<PositionOutcome> &outcomes);
std::string successSuffix(); // ": Position-Analyse erfolgreich abgeschlossen"

} // namespace positionoutcome

} // namespace vantor
