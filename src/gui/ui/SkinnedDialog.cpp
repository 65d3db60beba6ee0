#include "ui/SkinnedDialog.h"

#include "platform/Help.h"
#include "ui/DialogHooks.h"
#include "ui/WindowStack.h"

#include <QKeyEvent>
#include <QPalette>

namespace vantor::gui {

void applySkin(QWidget *window)
{
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0xF3, 0xF1, 0xEA));
    palette.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x40));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

SkinnedDialog::SkinnedDialog(QWidget *parent)
    : QDialog(parent, kDialogFlags)
{
    WindowStack::instance();
    applySkin(this);
}

void SkinnedDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DialogHooks::instance().notifyShown(this);
}

void SkinnedDialog::keyPressEvent(QKeyEvent *event)
{
    // The buttons ignore F1, so it reaches us from whatever has the focus.
    if (event->key() == Qt::Key_F1 && m_helpTopic != 0) {
        openHelp(m_helpTopic);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vantor::gui
