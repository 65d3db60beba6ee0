#pragma once

#include "project/ProjectOptions.h"

#include <array>
#include <string>

namespace vantor {

class Ui;

// The configuration dialog's content: what it shows of the current
// project's options, and what its buttons do with it. The dialog and
// "vantor-cli config" share it.
namespace configuration {

enum class Group { Header, Meta, Techniques };

struct Row {
    Group group;
    const char *label; // as the dialog shows it
    const char *code;  // the option code ("hiddenForm" is not in the file)
    bool single;       // one box (0 or 1) instead of HP and ZK
};
constexpr int kRowCount = 20;
const std::array<Row, kRowCount> &rows();
// The option a row stands for, in these options.
int &field(ProjectOptions &options, const Row &row);
int fieldValue(const ProjectOptions &options, const Row &row);
// The row of a code, or nullptr.
const Row *findRow(const std::string &code);

// The dialog's values between opening and OK.
struct Values {
    ProjectOptions options;
    int userLevel = 1; // 1 "Anwender", 2 "Entwickler"
    // The chosen set of start signs, -1 when no radio is chosen (a value the
    // dialog does not know).
    int signSet = -1;
};

// Opening: reads the project's options (a failure is shown, the values in
// memory are taken then).
Values open(Ui &ui);
// Choosing a start-sign set: the note on renaming when it differs from the
// stored set. Takes effect with OK.
void chooseSignSet(Values &values, int set, Ui &ui);
// OK: into memory and the file, the user level into the settings. False when
// the file could not be written; the dialog then stays open.
bool apply(const Values &values, Ui &ui);
// "Zurücksetzen auf Standard": saved at once. False when the file could not
// be written, in which case values stay as they were.
bool reset(Values &values, Ui &ui);

// "Zeitgemäß": every technique today's guidelines call risky or ineffective
// off, the recommended ones on, no copies and no doorway pages; saved at once
// like a reset. False when the file could not be written, in which case
// values and the project stay as they were.
bool modern(Values &values, Ui &ui);

std::string signSetLabel(int set);

} // namespace configuration
} // namespace vantor
