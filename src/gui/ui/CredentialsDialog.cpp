#include "ui/CredentialsDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

CredentialsDialog::CredentialsDialog(const QString &title, QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("credentialsDialog"));
    setWindowTitle(title);

    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("userEdit"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_user->setMinimumWidth(220);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Benutzername:"), m_user);
    form->addRow(QStringLiteral("Kennwort:"), m_password);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &CredentialsDialog::onOkClicked);
    connect(cancel, &QPushButton::clicked, this, &CredentialsDialog::onCancelClicked);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CredentialsDialog::setUser(const QString &user) { m_user->setText(user); }

QString CredentialsDialog::user() const { return m_user->text(); }

QString CredentialsDialog::password() const { return m_password->text(); }

void CredentialsDialog::onOkClicked() { accept(); }

void CredentialsDialog::onCancelClicked() { reject(); }

} // namespace vantor::gui
