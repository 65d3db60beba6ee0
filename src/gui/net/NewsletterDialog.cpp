#include "net/NewsletterDialog.h"

#include "net/Newsletter.h"
#include "net/OpenInBrowser.h"
#include "platform/Help.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

NewsletterDialog::NewsletterDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("newsletterDialog"));
    setWindowTitle(QStringLiteral("Newsletter"));
    setHelpTopic(help::kNewsletter);

    auto *intro = new QLabel(
        QStringLiteral("Mit unserem kostenlosen Newsletter \"Sitecast\" erfahren Sie sofort von neuen Versionen "
                       "von Vantor!! und erhalten Tipps rund um Suchmaschinen und Internet-Marketing.\n\n"
                       "Geben Sie Ihre Email-Adresse ein und klicken Sie auf \"Eintragen\". Ihr Browser öffnet "
                       "dann die Anmeldeseite; dort sehen Sie, ob die Eintragung geklappt hat."),
        this);
    intro->setObjectName(QStringLiteral("introLabel"));
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    intro->setFixedWidth(400);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("addressEdit"));
    m_address->setMaxLength(kAddressLength);
    auto *addressLabel = new QLabel(QStringLiteral("Ihre Email-Adresse:"), this);
    addressLabel->setBuddy(m_address);

    auto *subscribe = new QPushButton(QStringLiteral("Eintragen"), this);
    subscribe->setObjectName(QStringLiteral("subscribeButton"));
    subscribe->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));
    connect(subscribe, &QPushButton::clicked, this, &NewsletterDialog::onSubscribeClicked);
    connect(cancel, &QPushButton::clicked, this, &NewsletterDialog::onCancelClicked);
    connect(helpButton, &QPushButton::clicked, this, &NewsletterDialog::onHelpClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(subscribe);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addWidget(addressLabel);
    layout->addWidget(m_address);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_address->setFocus();
}

void NewsletterDialog::onSubscribeClicked()
{
    const std::string address = toCp1252(m_address->text());
    switch (Newsletter::subscribeNewsletter(address, currentUi())) {
    case Newsletter::Result::Opened:
        accept();
        break;
    case Newsletter::Result::OpenFailed:
        // The address is fine and was shown to open by hand; the user
        // closes the dialog when done.
        break;
    case Newsletter::Result::Invalid:
        break;
    }
}

void NewsletterDialog::onCancelClicked() { reject(); }

void NewsletterDialog::onHelpClicked() { openHelp(help::kNewsletter); }

} // namespace vantor::gui
