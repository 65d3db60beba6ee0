#pragma once

#include "project/StartupView.h"

#include <memory>

namespace vantor::gui {

class SplashWindow;

// The start-up's windows on Qt.
class QtStartupView : public StartupView
{
public:
    QtStartupView();
    ~QtStartupView() override;

    void showSplash() override;
    void closeSplash() override;
    void runFirstStartDialogs() override;
    void userLevelDialog() override;
    void internetAccessDialog() override;
    void mainWindow() override;

private:
    std::unique_ptr<SplashWindow> m_splash;
};

} // namespace vantor::gui
