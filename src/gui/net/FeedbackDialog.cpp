#include "net/FeedbackDialog.h"

#include "net/Feedback.h"
#include "platform/Help.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "wizard/LimitedTextEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

FeedbackDialog::FeedbackDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("feedbackDialog"));
    setWindowTitle(QStringLiteral("Feedback"));
    setHelpTopic(help::kFeedback);

    auto *intro = new QLabel(QStringLiteral("Anregung, Kritik, Fragen? Schreiben Sie uns direkt aus Vantor!! "
                                            "heraus. Wir antworten an die Email-Adresse, die Sie hier angeben."),
                             this);
    intro->setObjectName(QStringLiteral("introLabel"));
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("addressEdit"));
    m_address->setMaxLength(kAddressLength);
    auto *addressLabel = new QLabel(QStringLiteral("Ihre Email-Adresse:"), this);
    addressLabel->setBuddy(m_address);

    m_message = new LimitedTextEdit(kMessageLength, this);
    m_message->setObjectName(QStringLiteral("messageEdit"));
    m_message->setMinimumSize(440, 200);
    auto *messageLabel = new QLabel(QStringLiteral("Ihre Nachricht:"), this);
    messageLabel->setBuddy(m_message);

    m_send = new QPushButton(QStringLiteral("Senden"), this);
    m_send->setObjectName(QStringLiteral("sendButton"));
    m_send->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    connect(m_send, &QPushButton::clicked, this, &FeedbackDialog::onSendClicked);
    connect(cancel, &QPushButton::clicked, this, &FeedbackDialog::onCancelClicked);
    connect(helpButton, &QPushButton::clicked, this, &FeedbackDialog::onHelpClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(m_send);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addWidget(addressLabel);
    layout->addWidget(m_address);
    layout->addSpacing(4);
    layout->addWidget(messageLabel);
    layout->addWidget(m_message, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    m_address->setFocus();
}

void FeedbackDialog::onSendClicked()
{
    // "Nochmal" waits with the events running; a click queued in the
    // meantime must not send the message a second time.
    if (m_sending)
        return;
    m_sending = true;
    const Feedback::Result result
        = Feedback::sendFeedback(toCp1252(m_address->text()), toCp1252(m_message->storedText()), currentUi());
    m_sending = false;
    if (result == Feedback::Result::Sent)
        accept();
}

void FeedbackDialog::onCancelClicked() { reject(); }

void FeedbackDialog::onHelpClicked() { openHelp(help::kFeedback); }

} // namespace vantor::gui
