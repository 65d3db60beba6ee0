#pragma once

namespace vantor {

// The windows of the start-up that only a user interface can show. The Qt
// GUI shows them; the command line and the tests stand in for them.
class StartupView
{
public:
    virtual ~StartupView() = default;

    virtual void showSplash() = 0;
    virtual void closeSplash() = 0;
    // The three welcome dialogs in order ("Erste Schritte" shows them too).
    virtual void runFirstStartDialogs() = 0;
    virtual void userLevelDialog() = 0;
    virtual void internetAccessDialog() = 0;
    // Shows the main window until it closes.
    virtual void mainWindow() = 0;
};

} // namespace vantor
