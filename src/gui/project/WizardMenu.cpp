#include "project/WizardMenu.h"

#include "net/FeedbackDialog.h"
#include "net/MakerServer.h"
#include "net/NewsletterDialog.h"
#include "net/OpenInBrowser.h"
#include "net/VersionCheck.h"
#include "platform/Help.h"
#include "project/MainMenu.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "research/ResearchDialog.h"
#include "submit/SubmitDialog.h"
#include "templatewizard/TemplateWizardDialog.h"
#include "ui/BusyCursor.h"
#include "ui/Ui.h"
#include "wizard/QtSiteWizardHost.h"
#include "wizard/SiteWizard.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QGroupBox *taskGroup(const QString &title, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    return group;
}

} // namespace

WizardMenu::WizardMenu(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("wizardMenu"));
    setWindowTitle(QStringLiteral("Vantor!! Wizard"));
    setHelpTopic(help::kWizardMenu);

    QGroupBox *before = taskGroup(QStringLiteral(" Vor einer Optimierung "), this);
    addTask(before, QStringLiteral("Recherche"),
            QStringLiteral("Suchbegriff-Recherche im Internet\n   Finden Sie relevante und ähnliche Begriffe"),
            QStringLiteral("researchButton"), &WizardMenu::onResearchClicked);
    addTask(before, QStringLiteral("Vorlagen-Wizard"),
            QStringLiteral("Vorlage erstellen\n   Vorlage für eine Web-Site erzeugen"),
            QStringLiteral("templateWizardButton"), &WizardMenu::onTemplateWizardClicked);

    QGroupBox *optimize = taskGroup(QStringLiteral(" Optimieren und Anmelden "), this);
    addTask(optimize, QStringLiteral("Web-Site"),
            QStringLiteral("Komplette Web-Site optimieren\n   Alle Daten für Optimierung eingeben"),
            QStringLiteral("webSiteButton"), &WizardMenu::onWebSiteClicked);
    addTask(optimize, QStringLiteral("Web-Site Quick"),
            QStringLiteral("Web-Site erneut optimieren\n   Optimierung anhand vorliegender Daten"),
            QStringLiteral("webSiteQuickButton"), &WizardMenu::onWebSiteQuickClicked);
    addTask(optimize, QStringLiteral("Anmelden"),
            QStringLiteral("Anmelden bei den Suchmaschinen\n   Melden Sie eine ganze Web-Site an"),
            QStringLiteral("submitButton"), &WizardMenu::onSubmitClicked);
    addTask(optimize, QStringLiteral("Position"),
            QStringLiteral("Platzierungen ermitteln\n   Ermittelt alle Top 50 Platzierungen"),
            QStringLiteral("positionButton"), &WizardMenu::onPositionClicked);

    QGroupBox *service = taskGroup(QStringLiteral(" Service "), this);
    addTask(service, QStringLiteral("Version prüfen"),
            QStringLiteral("Auf vorhandenes Update prüfen\n   Prüft über das Internet auf neuere Version"),
            QStringLiteral("versionCheckButton"), &WizardMenu::onVersionCheckClicked);
    addTask(service, QStringLiteral("Feedback"),
            QStringLiteral("Anregung, Kritik, Fragen?\n   Senden Sie hier direkt Ihr Feedback an uns"),
            QStringLiteral("feedbackButton"), &WizardMenu::onFeedbackClicked);
    addTask(service, QStringLiteral("Newsletter"),
            QStringLiteral("Kostenlose Sitecast News \n   Tragen Sie sich hier direkt kostenlos ein"),
            QStringLiteral("newsletterButton"), &WizardMenu::onNewsletterClicked);

    QGroupBox *links = taskGroup(QStringLiteral(" Links"), this);
    addTask(links, QStringLiteral("Dokumente"),
            QStringLiteral("Internet-Marketing Dokumente\n   Kompaktes Fachwissen für Experten"),
            QStringLiteral("documentsButton"), &WizardMenu::onDocumentsClicked);

    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(helpButton, &QPushButton::clicked, this, &WizardMenu::onHelpClicked);
    connect(cancel, &QPushButton::clicked, this, &WizardMenu::onCancelClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(helpButton);
    buttons->addWidget(cancel);

    auto *columns = new QHBoxLayout;
    auto *leftColumn = new QVBoxLayout;
    leftColumn->addWidget(before);
    leftColumn->addWidget(optimize);
    leftColumn->addStretch();
    auto *rightColumn = new QVBoxLayout;
    rightColumn->addWidget(service);
    rightColumn->addWidget(links);
    rightColumn->addStretch();
    columns->addLayout(leftColumn);
    columns->addLayout(rightColumn);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void WizardMenu::addTask(QGroupBox *group, const QString &button, const QString &caption, const QString &name,
                         Handler handler)
{
    auto *grid = static_cast<QGridLayout *>(group->layout());
    const int row = grid->rowCount() - (grid->count() == 0 ? 1 : 0);
    auto *task = new QPushButton(button, group);
    task->setObjectName(name);
    task->setMinimumWidth(130);
    auto *label = new QLabel(caption, group);
    label->setObjectName(name + QStringLiteral("Caption"));
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(task);
    connect(task, &QPushButton::clicked, this, handler);
    grid->addWidget(task, row, 0, Qt::AlignTop);
    grid->addWidget(label, row, 1);
}

void WizardMenu::onResearchClicked() { ResearchDialog::openFromMenu(this); }

void WizardMenu::onTemplateWizardClicked()
{
    // The file dialog starts at the homepage stored in the project file, not
    // at whatever an abandoned wizard left in memory.
    const std::string project = programSettings().currentProject;
    if (!LoadProjectData(project)) {
        showProjectFailure(currentUi(), ProjectFailure::LoadData, project);
        return;
    }
    QtSiteWizardHost host(this);
    const std::optional<std::string> homepage = host.chooseHomepageFile(projectRecord().path.str());
    if (!homepage)
        return;
    // Only the template depends on the choice; the project keeps its path.
    openTemplateWizard(this, *homepage);
}

void WizardMenu::onWebSiteClicked()
{
    QtSiteWizardHost host(this);
    RunSiteWizard(false, host);
}

void WizardMenu::onWebSiteQuickClicked()
{
    QtSiteWizardHost host(this);
    RunSiteWizard(true, host);
}

void WizardMenu::onSubmitClicked() { SubmitDialog::openFromMenu(this); }

void WizardMenu::onPositionClicked()
{
    // Not a placeholder: this version announces the position check on purpose.
    currentUi().message(positionTitle(), positionText());
}

void WizardMenu::onVersionCheckClicked()
{
    // "Nochmal" waits with the events running; a second check must not
    // start from a click queued in the meantime.
    if (m_checking)
        return;
    m_checking = true;
    {
        BusyCursor busy;
        VersionCheck::checkForNewVersion(currentUi());
    }
    m_checking = false;
}

void WizardMenu::onFeedbackClicked()
{
    FeedbackDialog dialog(this);
    dialog.exec();
}

void WizardMenu::onNewsletterClicked()
{
    NewsletterDialog dialog(this);
    dialog.exec();
}

void WizardMenu::onDocumentsClicked() { openInBrowser(makerserver::documentsUrl()); }

void WizardMenu::onHelpClicked() { openHelp(help::kWizardMenu); }

void WizardMenu::onCancelClicked() { reject(); }

} // namespace vantor::gui
