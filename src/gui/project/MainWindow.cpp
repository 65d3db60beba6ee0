#include "project/MainWindow.h"

#include "platform/Help.h"
#include "project/ConfigurationDialog.h"
#include "project/InfoDialog.h"
#include "project/MainMenu.h"
#include "project/NotYetAvailable.h"
#include "project/ProjectManagerDialog.h"
#include "project/WizardMenu.h"
#include "ui/QtText.h"
#include "ui/UmlautRoom.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QPushButton *menuButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumWidth(110);
    button->setAutoDefault(false);
    return button;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Vantor!!"));
    setHelpTopic(help::kMain);
    // The main window is the application: it has a place in the task bar.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    auto *title = new QLabel(QStringLiteral("Vantor!!"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.2);
    title->setFont(titleFont);
    auto *subtitle = new QLabel(QStringLiteral("Suchmaschinen-Optimierung für Ihre Web-Site"), this);

    QPushButton *wizard = menuButton(QStringLiteral("Wizard"), QStringLiteral("wizardButton"), this);
    QPushButton *projects = menuButton(QStringLiteral("Projekte"), QStringLiteral("projectsButton"), this);
    QPushButton *configuration = menuButton(QStringLiteral("Konfig"), QStringLiteral("configurationButton"), this);
    QPushButton *info = menuButton(QStringLiteral("Info"), QStringLiteral("infoButton"), this);
    QPushButton *helpButton = menuButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    QPushButton *end = menuButton(QStringLiteral("Ende"), QStringLiteral("endButton"), this);
    wizard->setDefault(true);
    connect(wizard, &QPushButton::clicked, this, &MainWindow::onWizardClicked);
    connect(projects, &QPushButton::clicked, this, &MainWindow::onProjectsClicked);
    connect(configuration, &QPushButton::clicked, this, &MainWindow::onConfigurationClicked);
    connect(info, &QPushButton::clicked, this, &MainWindow::onInfoClicked);
    connect(helpButton, &QPushButton::clicked, this, &MainWindow::onHelpClicked);
    connect(end, &QPushButton::clicked, this, &MainWindow::onEndClicked);

    m_tipText = new QPlainTextEdit(this);
    m_tipText->setObjectName(QStringLiteral("tipText"));
    m_tipText->setReadOnly(true);
    m_tipText->setMinimumSize(340, 110);
    QPushButton *tipHelp = menuButton(QStringLiteral("Tip"), QStringLiteral("tipHelpButton"), this);
    tipHelp->setToolTip(QStringLiteral("Mehr zu diesem Tip"));
    tipHelp->setMinimumWidth(60);
    QPushButton *tips = menuButton(QStringLiteral("Tip"), QStringLiteral("tipsButton"), this);
    tips->setToolTip(QStringLiteral("Alles über die Tips"));
    tips->setMinimumWidth(60);
    connect(tipHelp, &QPushButton::clicked, this, &MainWindow::onTipHelpClicked);
    connect(tips, &QPushButton::clicked, this, &MainWindow::onTipsClicked);

    auto *tipBox = new QGroupBox(QStringLiteral(" Tip "), this);
    auto *tipButtons = new QVBoxLayout;
    tipButtons->addWidget(tipHelp);
    tipButtons->addWidget(tips);
    tipButtons->addStretch();
    auto *tipLayout = new QHBoxLayout(tipBox);
    tipLayout->addWidget(m_tipText, 1);
    tipLayout->addLayout(tipButtons);

    m_projectLine = new QLabel(this);
    m_projectLine->setObjectName(QStringLiteral("projectLine"));
    m_projectLine->setTextFormat(Qt::PlainText);
    makeRoomForUmlautDots(m_projectLine);
    m_versionLine = new QLabel(this);
    m_versionLine->setObjectName(QStringLiteral("versionLine"));
    m_versionLine->setTextFormat(Qt::PlainText);

    auto *menu = new QVBoxLayout;
    menu->addWidget(wizard);
    menu->addWidget(projects);
    menu->addWidget(configuration);
    menu->addWidget(info);
    menu->addWidget(helpButton);
    menu->addStretch();
    menu->addWidget(end);

    auto *right = new QVBoxLayout;
    right->addWidget(title);
    right->addWidget(subtitle);
    right->addSpacing(8);
    right->addWidget(tipBox, 1);
    right->addWidget(m_projectLine);
    right->addWidget(m_versionLine);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(18);
    layout->addLayout(menu);
    layout->addLayout(right, 1);

    showTip(takeNextTip());
    refreshProjectLine();
    m_versionLine->setText(fromCp1252(versionLine()));
}

void MainWindow::showTip(int number)
{
    m_tip = number;
    // The stored texts end in CR LF padding; the field wants plain line feeds.
    QString text = fromCp1252(tipText(number));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_tipText->setPlainText(text);
}

void MainWindow::refreshProjectLine() { m_projectLine->setText(fromCp1252(projectLine())); }

void MainWindow::done(int result)
{
    // Whatever way the window goes, the help viewer must not outlive it.
    closeHelp();
    SkinnedDialog::done(result);
}

void MainWindow::onWizardClicked()
{
    WizardMenu menu(this);
    menu.exec();
}

void MainWindow::onProjectsClicked()
{
    runProjectManager();
    refreshProjectLine();
}

void MainWindow::onConfigurationClicked() { runConfiguration(); }

void MainWindow::onInfoClicked()
{
    InfoDialog dialog(this);
    dialog.exec();
}

void MainWindow::onHelpClicked() { openHelp(help::kMain); }

void MainWindow::onTipHelpClicked() { openHelp(help::kTips + m_tip); }

void MainWindow::onTipsClicked() { openHelp(help::kTips); }

void MainWindow::onEndClicked() { reject(); }

void MainWindow::runProjectManager()
{
    ProjectManagerDialog dialog(this);
    dialog.exec();
}

void MainWindow::runConfiguration()
{
    ConfigurationDialog dialog(this);
    dialog.exec();
}

} // namespace vantor::gui
