#include "ui/WaitWindow.h"

#include "ui/DialogHooks.h"
#include "ui/SkinnedDialog.h"
#include "ui/WindowStack.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace vantor::gui {

WaitWindow::WaitWindow(const QString &text, QWidget *parent)
    // Not on top of everything: a tool window stays over the dialog that
    // waits, and a box that opens meanwhile must not be covered.
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("waitWindow"));
    WindowStack::addPassive(this);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    applySkin(this);
    setCursor(Qt::WaitCursor);

    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("textLabel"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 22, 36, 22);
    layout->addWidget(m_text);
    setMinimumWidth(260);
}

QString WaitWindow::text() const { return m_text->text(); }

void WaitWindow::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // Centred on the window that waits for us, or the screen without one.
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over ? over->frameGeometry()
                            : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
    DialogHooks::instance().notifyShown(this, DialogHooks::Window::Passive);
}

} // namespace vantor::gui
