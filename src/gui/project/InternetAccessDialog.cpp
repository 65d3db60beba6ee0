#include "project/InternetAccessDialog.h"

#include "net/MakerServer.h"
#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

InternetAccessDialog::InternetAccessDialog(QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("internetAccessDialog"));
    setWindowTitle(QStringLiteral("Internet Zugang"));
    setHelpTopic(help::kInternetAccess);

    m_system = new QRadioButton(QStringLiteral("Systemeinstellungen verwenden"), this);
    m_system->setObjectName(QStringLiteral("systemRadio"));
    m_direct = new QRadioButton(QStringLiteral("Direkt übers Netzwerk"), this);
    m_direct->setObjectName(QStringLiteral("directRadio"));
    m_proxyAccess = new QRadioButton(QStringLiteral("Über Proxy"), this);
    m_proxyAccess->setObjectName(QStringLiteral("proxyRadio"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_system);
    group->addButton(m_direct);
    group->addButton(m_proxyAccess);

    m_proxy = new QLineEdit(this);
    m_proxy->setObjectName(QStringLiteral("proxyEdit"));
    m_proxy->setMaxLength(static_cast<int>(ProgramSettings::kTextCapacity));
    m_proxy->setMinimumWidth(220);
    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("portEdit"));
    m_port->setMaxLength(static_cast<int>(ProgramSettings::kTextCapacity));
    m_port->setMaximumWidth(90);

    auto *accessBox = new QGroupBox(QStringLiteral(" Verbindung zum Internet "), this);
    auto *accessLayout = new QGridLayout(accessBox);
    accessLayout->addWidget(m_system, 0, 0, 1, 3);
    accessLayout->addWidget(m_direct, 1, 0, 1, 3);
    accessLayout->addWidget(m_proxyAccess, 2, 0, 1, 3);
    auto *proxyLabel = new QLabel(QStringLiteral("Proxy:"), accessBox);
    proxyLabel->setBuddy(m_proxy);
    auto *portLabel = new QLabel(QStringLiteral("Anschluss:"), accessBox);
    portLabel->setBuddy(m_port);
    accessLayout->addWidget(proxyLabel, 3, 1);
    accessLayout->addWidget(m_proxy, 3, 2);
    accessLayout->addWidget(portLabel, 4, 1);
    accessLayout->addWidget(m_port, 4, 2, Qt::AlignLeft);
    accessLayout->setColumnMinimumWidth(0, 18);

    // Versions, data files, feedback and newsletter come from here; empty
    // means the program's own default, which the field shows greyed.
    m_updateServer = new QLineEdit(this);
    m_updateServer->setObjectName(QStringLiteral("updateServerEdit"));
    m_updateServer->setMaxLength(static_cast<int>(ProgramSettings::kTextCapacity));
    m_updateServer->setPlaceholderText(QString::fromLatin1(makerserver::kDefaultServer));
    m_updateServer->setToolTip(QStringLiteral("Rechnername oder IP-Adresse, bei Bedarf mit Doppelpunkt und Port, "
                                              "z.B. update.example.de:8080"));
    auto *updateServerLabel = new QLabel(QStringLiteral("Update-Server:"), this);
    updateServerLabel->setBuddy(m_updateServer);
    auto *updateServerRow = new QHBoxLayout;
    updateServerRow->addWidget(updateServerLabel);
    updateServerRow->addWidget(m_updateServer, 1);

    m_inform = new QCheckBox(QStringLiteral("Vor jeder Verbindung informieren"), this);
    m_inform->setObjectName(QStringLiteral("informCheck"));

    m_test = new QPushButton(QStringLiteral("Testen"), this);
    m_test->setObjectName(QStringLiteral("testButton"));
    auto *tOnline = new QPushButton(QStringLiteral("Einstellungen für T-Online"), this);
    tOnline->setObjectName(QStringLiteral("tOnlineButton"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("helpButton"));

    connect(m_system, &QRadioButton::toggled, this, &InternetAccessDialog::onAccessTypeToggled);
    connect(m_direct, &QRadioButton::toggled, this, &InternetAccessDialog::onAccessTypeToggled);
    connect(m_proxyAccess, &QRadioButton::toggled, this, &InternetAccessDialog::onAccessTypeToggled);
    connect(m_test, &QPushButton::clicked, this, &InternetAccessDialog::onTestClicked);
    connect(tOnline, &QPushButton::clicked, this, &InternetAccessDialog::onTOnlineClicked);
    connect(ok, &QPushButton::clicked, this, &InternetAccessDialog::onOkClicked);
    connect(helpButton, &QPushButton::clicked, this, &InternetAccessDialog::onHelpClicked);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(m_test);
    buttons->addWidget(helpButton);
    buttons->addStretch();

    auto *left = new QVBoxLayout;
    left->addWidget(accessBox);
    left->addLayout(updateServerRow);
    left->addWidget(m_inform);
    left->addWidget(tOnline, 0, Qt::AlignLeft);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showInput(openInternetAccess());
}

InternetAccessInput InternetAccessDialog::input() const
{
    InternetAccessInput input;
    if (m_proxyAccess->isChecked())
        input.accessType = ProgramSettings::kAccessProxy;
    else if (m_direct->isChecked())
        input.accessType = ProgramSettings::kAccessDirect;
    else
        input.accessType = ProgramSettings::kAccessSystem;
    input.inform = m_inform->isChecked();
    input.proxy = toCp1252(m_proxy->text());
    input.port = toCp1252(m_port->text());
    input.updateServer = toCp1252(m_updateServer->text());
    return input;
}

void InternetAccessDialog::showInput(const InternetAccessInput &input)
{
    m_proxy->setText(fromCp1252(input.proxy));
    m_port->setText(fromCp1252(input.port));
    m_updateServer->setText(fromCp1252(input.updateServer));
    m_inform->setChecked(input.inform);
    if (input.accessType == ProgramSettings::kAccessProxy)
        m_proxyAccess->setChecked(true);
    else if (input.accessType == ProgramSettings::kAccessDirect)
        m_direct->setChecked(true);
    else
        m_system->setChecked(true);
    enableProxyFields(m_proxyAccess->isChecked());
}

void InternetAccessDialog::enableProxyFields(bool enabled)
{
    m_proxy->setEnabled(enabled);
    m_port->setEnabled(enabled);
}

void InternetAccessDialog::onAccessTypeToggled()
{
    // Every toggle fires twice (off, then on); only the final state counts.
    const InternetAccessInput current = input();
    programSettings().accessType = current.accessType;
    enableProxyFields(current.accessType == ProgramSettings::kAccessProxy);
}

void InternetAccessDialog::onTestClicked()
{
    // No second test may start from a click queued while the first one waits.
    // Disabled, the button hands the keyboard focus on to the next one; the
    // Return that closes the result box would then go on to "Einstellungen
    // für T-Online" and overwrite the user's proxy.
    const bool focused = focusWidget() == m_test;
    m_test->setEnabled(false);
    testInternetAccess(input(), currentUi());
    m_test->setEnabled(true);
    if (focused)
        m_test->setFocus();
}

void InternetAccessDialog::onTOnlineClicked()
{
    InternetAccessInput provider = tOnlineInternetAccess();
    provider.accessType = ProgramSettings::kAccessProxy;
    provider.inform = true;
    // The provider's proxy leads to the same update server.
    provider.updateServer = toCp1252(m_updateServer->text());
    showInput(provider);
    openHelp(help::kTOnline);
}

void InternetAccessDialog::onOkClicked()
{
    if (confirmInternetAccess(input(), currentUi()) == InternetAccessResult::Invalid)
        return;
    accept();
}

void InternetAccessDialog::onHelpClicked() { openHelp(help::kInternetAccess); }

} // namespace vantor::gui
