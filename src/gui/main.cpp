#include "platform/Help.h"
#include "platform/HelpWindow.h"
#include "platform/Shell.h"
#include "position/PositionDialog.h"
#include "project/ProgramSettings.h"
#include "project/QtStartupView.h"
#include "project/Startup.h"
#include "research/WatchListWindow.h"
#include "ui/DocumentViewer.h"
#include "ui/QtText.h"
#include "ui/QtTranslation.h"
#include "ui/QtUi.h"

#include <QApplication>
#include <QStringList>

#include <optional>
#include <string>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantor!!"));
    QApplication::setOrganizationName(QStringLiteral("Keldrum"));
    // Dialogs come and go during the start-up; only the end of
    // StartProgram ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    vantor::gui::installGermanQtTexts();

    vantor::gui::QtUi ui;
    vantor::setCurrentUi(&ui);
    vantor::gui::installHelpWindow();
    // From the first project load on, the watch list follows the project.
    vantor::gui::installWatchList();

    // Whatever cannot go to a browser is shown by the program itself.
    vantor::gui::installDocumentViewer();

    // Qt has taken its own options out; what is left is ours.
    const QStringList arguments = QApplication::arguments();

    // "vantor --view DATEI": a document shown as the program shows its own
    // reports, without starting the program itself (the sample run uses it).
    if (arguments.size() == 3 && arguments.at(1) == QStringLiteral("--view")) {
        int status = 0;
        if (!vantor::systemOpen(vantor::gui::toCp1252(arguments.at(2)))) {
            if (vantor::gui::showWithoutBrowser(vantor::gui::toCp1252(arguments.at(2)))) {
                QApplication::setQuitOnLastWindowClosed(true);
                status = QApplication::exec();
            } else {
                status = 1;
            }
        }
        vantor::setCurrentUi(nullptr);
        return status;
    }
    // "vantor --position [PROJEKT]": the program starts as usual, then only
    // the dialog "Positionen ermitteln" shows; closing it ends the program.
    // The wizard menu does not offer the position check yet.
    if (arguments.size() >= 2 && arguments.size() <= 3 && arguments.at(1) == QStringLiteral("--position")) {
        std::optional<std::string> project;
        if (arguments.size() == 3)
            project = vantor::gui::toCp1252(arguments.at(2));
        int status = 1;
        vantor::gui::QtStartupView view;
        view.showSplash();
        if (vantor::prepareProgram(project, ui, &view).ok) {
            vantor::gui::PositionDialog::openForCurrentProject(nullptr);
            vantor::SaveLastProject(vantor::programSettings().currentProject);
            status = 0;
        } else {
            view.closeSplash();
        }
        vantor::gui::destroyWatchList();
        vantor::closeHelp();
        vantor::setCurrentUi(nullptr);
        return status;
    }
    std::optional<std::string> argument;
    if (arguments.size() > 1)
        argument = vantor::gui::toCp1252(arguments.at(1));

    vantor::gui::QtStartupView view;
    const int status = vantor::StartProgram(argument, view, ui);
    vantor::gui::destroyWatchList();
    vantor::closeHelp();
    vantor::setCurrentUi(nullptr);
    return status;
}
