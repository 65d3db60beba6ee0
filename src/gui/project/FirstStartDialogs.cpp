#include "project/FirstStartDialogs.h"

#include "platform/Help.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("headingLabel"));
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    return label;
}

QLabel *bodyText(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("textLabel"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // Wide enough for the longest fixed line of the introduction.
    label->setFixedWidth(540);
    return label;
}

QPushButton *okButton(QWidget *parent)
{
    auto *ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    return ok;
}

// Heading, text, then a row with the dialog's own button left and "OK" right.
void arrange(QDialog *dialog, QLabel *title, QLabel *text, QPushButton *extra, QPushButton *ok)
{
    auto *buttons = new QHBoxLayout;
    if (extra)
        buttons->addWidget(extra);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(22, 18, 22, 16);
    layout->setSpacing(14);
    if (title)
        layout->addWidget(title);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace

WelcomeDialog::WelcomeDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(QStringLiteral("Vantor!!"));
    setHelpTopic(help::kBasics);

    auto *text = bodyText(
        QStringLiteral("Vantor!! optimiert Ihre Web-Site für die Suchmaschinen. Dazu braucht das Programm für jede "
                       "Homepage Informationen, die Sie vorher recherchieren: die Suchbegriffe, unter denen Ihre "
                       "Seiten gefunden werden sollen, dazu Titel, Beschreibung und Autor.\n\n"
                       "Wie Sie diese Informationen zusammentragen, lesen Sie im Hilfethema \"Grundlagen\".\n\n"
                       "Zum Fortfahren klicken Sie bitte auf \"OK\"."),
        this);
    auto *basics = new QPushButton(QStringLiteral("Grundlagen"), this);
    basics->setObjectName(QStringLiteral("basicsButton"));
    QPushButton *ok = okButton(this);
    connect(basics, &QPushButton::clicked, this, &WelcomeDialog::onBasicsClicked);
    connect(ok, &QPushButton::clicked, this, &WelcomeDialog::onOkClicked);
    arrange(this, heading(QStringLiteral("Herzlich willkommen bei Vantor!!"), this), text, basics, ok);
}

void WelcomeDialog::onBasicsClicked() { openHelp(help::kBasics); }

void WelcomeDialog::onOkClicked() { accept(); }

IntroductionDialog::IntroductionDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("introductionDialog"));
    setWindowTitle(QStringLiteral("Vantor!!"));
    setHelpTopic(help::kBasics);

    auto *text = bodyText(
        QStringLiteral("Von Ihrer Web-Site verändert Vantor!! nur die Homepage. Zusätzlich erzeugt das Programm "
                       "neue Dokumente und verlinkt sie mit der Homepage:\n\n"
                       "- Kopien der Homepage optimiert für bestimmte Suchbegriffe\n"
                       "- Zugangsdokumente: Dokumente erzeugt anhand einer Vorlage, optimiert für\n"
                       "  einen einzelnen Suchbegriff\n\n"
                       "Wie das im Einzelnen geht, zeigt Ihnen die Übersicht."),
        this);
    m_overview = new QPushButton(QStringLiteral("So optimieren Sie eine Web-Site"), this);
    m_overview->setObjectName(QStringLiteral("overviewButton"));
    QPushButton *ok = okButton(this);
    connect(m_overview, &QPushButton::clicked, this, &IntroductionDialog::onOverviewClicked);
    connect(ok, &QPushButton::clicked, this, &IntroductionDialog::onOkClicked);
    arrange(this, heading(QStringLiteral("So arbeitet Vantor!!"), this), text, m_overview, ok);
}

void IntroductionDialog::onOverviewClicked()
{
    // Starting the viewer can take a moment; a second click would open it twice.
    // Disabled, the button passes the focus on to "OK", so it is taken back.
    const bool focused = focusWidget() == m_overview;
    m_overview->setEnabled(false);
    shellOpen(programSettings().programDirectory + "/" + vantor::toCp1252("Überblick.htm"));
    m_overview->setEnabled(true);
    if (focused)
        m_overview->setFocus();
}

void IntroductionDialog::onOkClicked() { accept(); }

WarningDialog::WarningDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("warningDialog"));
    setWindowTitle(QStringLiteral("Vantor!!"));
    setHelpTopic(help::kBasics);

    auto *text = bodyText(
        QStringLiteral("Vantor!! verändert Internet-Dokumente auf verschiedenste Weise. Manche Veränderungen "
                       "können nicht rückgängig gemacht werden. Dies betrifft vor allem die Homepage, also die "
                       "Startseite einer Internet-Präsenz.\n\n"
                       "Legen Sie deshalb vor jeder Optimierung eine Sicherungskopie Ihrer Web-Site an, oder "
                       "optimieren Sie zunächst eine Kopie der Web-Site und übertragen Sie das Ergebnis erst "
                       "nach einer Prüfung auf Ihren Web-Server."),
        this);
    QLabel *title = heading(QStringLiteral("WARNUNG"), this);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x10, 0x10));
    title->setPalette(palette);
    QPushButton *ok = okButton(this);
    connect(ok, &QPushButton::clicked, this, &WarningDialog::onOkClicked);
    arrange(this, title, text, nullptr, ok);
}

void WarningDialog::onOkClicked() { accept(); }

void runFirstStartDialogs(QWidget *parent)
{
    {
        WelcomeDialog dialog(parent);
        dialog.exec();
    }
    {
        IntroductionDialog dialog(parent);
        dialog.exec();
    }
    {
        WarningDialog dialog(parent);
        dialog.exec();
    }
}

} // namespace vantor::gui
