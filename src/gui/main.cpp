#include "platform/Help.h"
#include "platform/HelpWindow.h"
#include "platform/Shell.h"
#include "position/PositionDialog.h"
#include "project/ProgramSettings.h"
#include "project/QtStartupView.h"
#include "project/Startup.h"
#include "research/ResearchDialog.h"
#include "research/WatchListWindow.h"
#include "ui/DocumentViewer.h"
#include "ui/QtText.h"
#include "ui/QtTranslation.h"
#include "ui/QtUi.h"
#include "wizard/QtSiteWizardHost.h"
#include "wizard/SiteWizard.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <string>

namespace {

using Job = void (*)();

void webSiteQuick()
{
    vantor::gui::QtSiteWizardHost host(nullptr);
    vantor::RunSiteWizard(true, host);
}

void research() { vantor::gui::ResearchDialog::openFromMenu(nullptr); }

void position() { vantor::gui::PositionDialog::openForCurrentProject(nullptr); }

std::optional<Job> directJob(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.size() > 3)
        return std::nullopt;
    const QString option = arguments.at(1);
    if (option == QStringLiteral("--quick"))
        return webSiteQuick;
    if (option == QStringLiteral("--research"))
        return research;
    if (option == QStringLiteral("--position"))
        return position;
    return std::nullopt;
}

// Answered before Qt starts, so they work without a display (the man page
// and a terminal user ask them).
std::optional<int> answerWithoutWindow(int argc, char *argv[])
{
    if (argc != 2)
        return std::nullopt;
    const std::string option = argv[1];
    if (option == "--version") {
        std::string version = vantor::kVersionText;
        while (!version.empty() && version.back() == ' ')
            version.pop_back();
        std::printf("%s\n", version.c_str());
        return 0;
    }
    if (option == "--help" || option == "-h") {
        std::printf("Aufruf / Usage:\n"
                    "  vantor [NAME.qx!]             das Programm starten (mit diesem Projekt)\n"
                    "  vantor --quick [NAME.qx!]     nur \"Web-Site Quick\"\n"
                    "  vantor --position [NAME.qx!]  nur \"Positionen ermitteln\"\n"
                    "  vantor --research [NAME.qx!]  nur \"Recherche\"\n"
                    "  vantor --view DATEI           ein Dokument (Report) anzeigen\n"
                    "  vantor --version | --help\n"
                    "Projekte liegen im Programmverzeichnis (projects/NAME.qx!).\n"
                    "Die Kommandozeile: vantor-cli --help; Handbuch: man vantor\n");
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto status = answerWithoutWindow(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantor!!"));
    QApplication::setOrganizationName(QStringLiteral("Keldrum"));
    // Lets the desktop match windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.keldrum.Vantor"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("de.keldrum.Vantor"),
                                                 QIcon(QStringLiteral(":/icons/de.keldrum.Vantor.png"))));
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
    // "vantor --quick|--position|--research [NAME.qx!]": the program starts as
    // usual, then only that one job shows; closing it ends the program. The
    // desktop entry offers them as actions. The wizard menu does not offer
    // the position check yet.
    if (const auto job = directJob(arguments)) {
        std::optional<std::string> project;
        if (arguments.size() == 3)
            project = vantor::gui::toCp1252(arguments.at(2));
        int status = 1;
        vantor::gui::QtStartupView view;
        view.showSplash();
        if (vantor::prepareProgram(project, ui, &view).ok) {
            (*job)();
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
