#include "ui/AddressDialog.h"

#include "platform/Help.h"
#include "ui/DialogHooks.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

AddressDialog::AddressDialog(const QString &title, const QString &text, const QString &address, QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("addressDialog"));
    setWindowTitle(title);
    setHelpTopic(help::kViewer);

    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("textLabel"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setMinimumWidth(360);
    label->setMaximumWidth(560);

    // A field, not a label: the whole address can be selected, scrolled and
    // copied, however long it is.
    m_address = new QLineEdit(address, this);
    m_address->setObjectName(QStringLiteral("addressField"));
    m_address->setReadOnly(true);
    m_address->setMinimumWidth(460);
    m_address->setCursorPosition(0);

    auto *copy = new QPushButton(QStringLiteral("Adresse kopieren"), this);
    copy->setObjectName(QStringLiteral("copyAddressButton"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(copy, &QPushButton::clicked, this, &AddressDialog::onCopyClicked);
    connect(ok, &QPushButton::clicked, this, &AddressDialog::onOkClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(ok);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(12);
    layout->addWidget(label);
    layout->addWidget(m_address);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}

QString AddressDialog::address() const { return m_address->text(); }

void AddressDialog::onCopyClicked()
{
    QGuiApplication::clipboard()->setText(m_address->text());
    m_address->selectAll();
}

void AddressDialog::onOkClicked() { accept(); }

void AddressDialog::showAddress(const QString &title, const QString &text, const QString &address)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("address"), title, text + QLatin1Char('\n') + address);
        return;
    }
    // Whoever was busy when the browser failed, the box is answered with
    // the normal cursor.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    AddressDialog box(title, text, address, WindowStack::topWindow());
    box.exec();
    QApplication::restoreOverrideCursor();
}

} // namespace vantor::gui
