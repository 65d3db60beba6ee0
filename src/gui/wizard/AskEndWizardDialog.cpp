#include "wizard/AskEndWizardDialog.h"

#include "platform/Help.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

AskEndWizardDialog::AskEndWizardDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("askEndWizardDialog"));
    setWindowTitle(QStringLiteral("Wizard beenden?"));
    setHelpTopic(help::kEndWizard);

    auto *text = new QLabel(QStringLiteral("Wenn Sie jetzt den Wizard beenden, wird die Optimierung abgebrochen. Sie "
                                           "können aber die bisher erfaßten Daten speichern."),
                            this);
    text->setObjectName(QStringLiteral("endText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setMinimumWidth(380);

    m_save = new QCheckBox(QStringLiteral("Alle bisher erfaßten Daten speichern"), this);
    m_save->setObjectName(QStringLiteral("saveCheck"));
    // What was typed is kept unless the user says otherwise.
    m_save->setChecked(true);

    auto *end = new QPushButton(QStringLiteral("Wizard beenden"), this);
    end->setObjectName(QStringLiteral("endButton"));
    end->setAutoDefault(false);
    auto *back = new QPushButton(QStringLiteral("Zurück zum Wizard"), this);
    back->setObjectName(QStringLiteral("backToWizardButton"));
    back->setDefault(true);
    connect(end, &QPushButton::clicked, this, &AskEndWizardDialog::onEndClicked);
    connect(back, &QPushButton::clicked, this, &AskEndWizardDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(end);
    buttons->addWidget(back);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addWidget(text);
    layout->addSpacing(10);
    layout->addWidget(m_save);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    back->setFocus();
}

void AskEndWizardDialog::onEndClicked()
{
    m_choice = m_save->isChecked() ? EndChoice::EndAndSave : EndChoice::End;
    accept();
}

void AskEndWizardDialog::reject()
{
    m_choice = EndChoice::BackToWizard;
    SkinnedDialog::reject();
}

} // namespace vantor::gui
