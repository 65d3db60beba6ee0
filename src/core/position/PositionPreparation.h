#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// Everything between "Positionen ermitteln" and the run, shared by the
// dialog and the command line: the domain entry, the fresh data file with
// its SYSTEM entries, the offered engines and the dial-up prompt.
namespace positionprep {

constexpr const char *kDataFile = "position_d.dat";
// The settings flag of the maker's one-time notice.
constexpr const char *kNoticeFlag = "positionmsgshowed";

// The read error of the position data ("Fehler aufgetreten").
std::string readErrorTitle();
std::string readErrorText();

// The checks of the domain field; the first failing one is shown and false
// comes back.
bool domainAccepted(const std::string &domain, Ui &ui);
// The domain is the submission's URL too: one key of the project.
std::string readDomain(const std::string &projectFile);
bool saveDomain(const std::string &projectFile, const std::string &domain);

// Lives as long as the dialog: the dial-up prompt comes at most once in it.
struct DialogState {
    bool askedBeforeConnect = false;
};

struct Prepared {
    std::string text; // the unpacked data file
    std::vector<std::string> offered;
};

// The data file fetched once per program run (after the dial-up prompt
// when the settings ask for it), its SYSTEM entries evaluated and the
// offered engines read. Every refusal was shown when nullopt comes back.
std::optional<Prepared> prepare(DialogState &state, Ui &ui);

// Just before the run: the dial-up prompt, unless it came in this dialog
// already. False when the user said "Abbruch".
bool readyToConnect(DialogState &state, Ui &ui);

} // namespace positionprep

} // namespace vantor
