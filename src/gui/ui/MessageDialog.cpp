#include "ui/MessageDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

MessageDialog::MessageDialog(const QString &title, const QString &text, Buttons buttons, QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(QStringLiteral("messageDialog"));
    setWindowTitle(title);

    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("textLabel"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Long messages wrap at a readable width instead of one endless line.
    m_text->setMinimumWidth(360);
    m_text->setMaximumWidth(520);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &MessageDialog::onOkClicked);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    if (buttons == Buttons::OkCancel) {
        m_cancel = new QPushButton(QStringLiteral("Abbruch"), this);
        m_cancel->setObjectName(QStringLiteral("cancelButton"));
        connect(m_cancel, &QPushButton::clicked, this, &MessageDialog::onCancelClicked);
        buttonRow->addWidget(m_cancel);
    }
    buttonRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(16);
    layout->addWidget(m_text);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString MessageDialog::text() const { return m_text->text(); }

void MessageDialog::setCancelDefault()
{
    if (!m_cancel)
        return;
    m_ok->setDefault(false);
    m_cancel->setDefault(true);
    // The button with the focus is the one Enter presses in a dialog.
    m_cancel->setFocus();
}

void MessageDialog::onOkClicked() { accept(); }

void MessageDialog::onCancelClicked() { reject(); }

} // namespace vantor::gui
