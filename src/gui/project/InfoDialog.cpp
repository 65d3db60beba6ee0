#include "project/InfoDialog.h"

#include "net/FeedbackDialog.h"
#include "platform/Help.h"
#include "project/FirstStartDialogs.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"

#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QLabel *versionLabel(QWidget *parent)
{
    auto *label = new QLabel(fromCp1252(kVersionText), parent);
    label->setObjectName(QStringLiteral("versionLabel"));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setMinimumWidth(120);
    return result;
}

} // namespace

InfoDialog::InfoDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("infoDialog"));
    setWindowTitle(QStringLiteral("Info"));
    setHelpTopic(help::kMain);

    auto *title = new QLabel(QStringLiteral("Vantor!!"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    title->setFont(titleFont);
    auto *about = new QLabel(QStringLiteral("Suchmaschinen-Optimierung für Ihre Web-Site\nKeldrum Software"), this);
    about->setTextFormat(Qt::PlainText);

    auto *facts = new QFormLayout;
    facts->addRow(QStringLiteral("Version:"), versionLabel(this));

    QPushButton *feedback = button(QStringLiteral("Feedback"), QStringLiteral("feedbackButton"), this);
    QPushButton *support = button(QStringLiteral("Support"), QStringLiteral("supportButton"), this);
    QPushButton *firstSteps = button(QStringLiteral("Erste Schritte"), QStringLiteral("firstStepsButton"), this);
    QPushButton *ok = button(QStringLiteral("OK"), QStringLiteral("okButton"), this);
    ok->setDefault(true);
    connect(feedback, &QPushButton::clicked, this, &InfoDialog::onFeedbackClicked);
    connect(support, &QPushButton::clicked, this, &InfoDialog::onSupportClicked);
    connect(firstSteps, &QPushButton::clicked, this, &InfoDialog::onFirstStepsClicked);
    connect(ok, &QPushButton::clicked, this, &InfoDialog::onOkClicked);

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(about);
    text->addSpacing(8);
    text->addLayout(facts);
    text->addStretch();

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(feedback);
    buttons->addWidget(support);
    buttons->addWidget(firstSteps);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(24);
    layout->addLayout(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void InfoDialog::onFeedbackClicked()
{
    FeedbackDialog dialog(this);
    dialog.exec();
}

void InfoDialog::onSupportClicked()
{
    bool feedback = false;
    {
        SupportDialog support(this);
        support.exec();
        feedback = support.feedbackRequested();
    }
    // The support dialog is gone before the feedback form comes up.
    if (feedback)
        onFeedbackClicked();
}

void InfoDialog::onFirstStepsClicked() { runFirstStartDialogs(this); }

void InfoDialog::onOkClicked() { accept(); }

SupportDialog::SupportDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("supportDialog"));
    setWindowTitle(QStringLiteral("Support"));
    setHelpTopic(help::kMain);

    auto *facts = new QFormLayout;
    facts->addRow(QStringLiteral("Verwendete Version:"), versionLabel(this));

    auto *text = new QLabel(
        QStringLiteral("Wenn Sie ein Problem mit Vantor!! haben, helfen uns diese Angaben, es schnell zu lösen:\n\n"
                       "- die verwendete Version (siehe oben),\n"
                       "- ob und wie sich der Fehler wiederholen lässt,\n"
                       "- die angezeigten Fehlercodes und Meldungen,\n"
                       "- Ihr Betriebssystem und seine Version.\n\n"
                       "Schicken Sie uns Ihre Problembeschreibung am einfachsten über das Feedback Formular."),
        this);
    text->setObjectName(QStringLiteral("textLabel"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setFixedWidth(420);

    QPushButton *form = button(QStringLiteral("Feedback Formular"), QStringLiteral("feedbackFormButton"), this);
    QPushButton *ok = button(QStringLiteral("OK"), QStringLiteral("okButton"), this);
    ok->setDefault(true);
    connect(form, &QPushButton::clicked, this, &SupportDialog::onFeedbackFormClicked);
    connect(ok, &QPushButton::clicked, this, &SupportDialog::onOkClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(form);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(12);
    layout->addLayout(facts);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void SupportDialog::onFeedbackFormClicked()
{
    m_feedbackRequested = true;
    accept();
}

void SupportDialog::onOkClicked() { accept(); }

} // namespace vantor::gui
