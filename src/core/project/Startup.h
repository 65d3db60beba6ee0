#pragma once

#include <optional>
#include <string>

namespace vantor {

class StartupView;
class Ui;

// The project name a command-line argument stands for: its last path
// component, cut before the first ".qx!"; "default" for anything else. Only
// the name is used, so the project always comes from the project directory.
std::string projectNameFromArgument(const std::string &argument);

// Makes sure the program directory exists and is usable; on a first run it
// is created per user and filled with the shipped files. False (with a
// message shown) when there is no way to get one.
bool ensureProgramDirectory(Ui &ui);

// The steps of the start-up that need no dialog: settings read, program
// directory ready, first-start files in place, current project loaded (with
// the fallback to the standard project). The command line uses this alone;
// StartProgram wraps it with the windows. Returns false only when the
// program cannot run at all.
struct StartupResult {
    bool ok = false;
    bool firstStart = false;
};
StartupResult prepareProgram(const std::optional<std::string> &argument, Ui &ui, StartupView *view);

// The whole start-up, main window and exit. Returns the exit status.
int StartProgram(const std::optional<std::string> &argument, StartupView &view, Ui &ui);

} // namespace vantor
