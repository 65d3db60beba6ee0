#include "project/QtStartupView.h"

#include "project/FirstStartDialogs.h"
#include "project/InternetAccessDialog.h"
#include "project/MainWindow.h"
#include "project/SplashWindow.h"
#include "project/UserLevelDialog.h"

#include <QApplication>

namespace vantor::gui {

QtStartupView::QtStartupView() = default;

QtStartupView::~QtStartupView() = default;

void QtStartupView::showSplash()
{
    m_splash = std::make_unique<SplashWindow>();
    m_splash->show();
    // The start-up runs on without an event loop; paint the picture now.
    QApplication::processEvents();
}

void QtStartupView::closeSplash() { m_splash.reset(); }

void QtStartupView::runFirstStartDialogs() { gui::runFirstStartDialogs(nullptr); }

void QtStartupView::userLevelDialog()
{
    UserLevelDialog dialog;
    dialog.exec();
}

void QtStartupView::internetAccessDialog()
{
    InternetAccessDialog dialog;
    dialog.exec();
}

void QtStartupView::mainWindow()
{
    MainWindow window;
    window.exec();
}

} // namespace vantor::gui
