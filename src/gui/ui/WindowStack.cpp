#include "ui/WindowStack.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace vantor::gui {

namespace {

const char *const kPassiveProperty = "vantorPassiveWindow";

bool isModalWindow(const QWidget *widget)
{
    return widget->isWindow() && widget->isModal() && !WindowStack::isPassive(widget);
}

} // namespace

WindowStack &WindowStack::instance()
{
    static QPointer<WindowStack> stack;
    if (!stack)
        stack = new WindowStack;
    return *stack;
}

WindowStack::WindowStack()
    : QObject(QCoreApplication::instance())
{
    QCoreApplication::instance()->installEventFilter(this);
}

void WindowStack::addPassive(QWidget *window)
{
    instance();
    window->setProperty(kPassiveProperty, true);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
}

bool WindowStack::isPassive(const QWidget *window) { return window && window->property(kPassiveProperty).toBool(); }

QWidget *WindowStack::topWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget(); modal && !isPassive(modal))
        return modal;
    QWidget *active = QApplication::activeWindow();
    // A passive window that got the focus after all stands for the window
    // it stands over.
    while (active && isPassive(active))
        active = active->parentWidget() ? active->parentWidget()->window() : nullptr;
    return active;
}

bool WindowStack::eventFilter(QObject *watched, QEvent *event)
{
    // Spontaneous show and hide events are the window manager iconifying and
    // restoring a window; only our own show() and hide() change the stack.
    const QEvent::Type type = event->type();
    if (type == QEvent::WindowActivate && watched->isWidgetType() && isPassive(static_cast<QWidget *>(watched))) {
        // Not every platform honours "show without activating"; the focus
        // goes back to where the user works.
        if (QWidget *target = topWindow(); target && target != watched)
            target->activateWindow();
        return QObject::eventFilter(watched, event);
    }
    if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous() && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (isModalWindow(widget)) {
            if (type == QEvent::Show)
                modalShown(widget);
            else
                modalHidden(widget);
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowStack::modalShown(QWidget *window)
{
    // The show event comes before the window is mapped, so the passive
    // windows are gone before the box appears.
    SetAside aside{window, {}};
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *other : windows) {
        if (isPassive(other) && other->isVisible()) {
            other->hide();
            aside.passives.emplace_back(other);
        }
    }
    if (!aside.passives.empty())
        m_setAside.push_back(std::move(aside));

    // Once mapped, in front and with the focus, whatever the window manager
    // thought of a window nobody clicked on.
    QPointer<QWidget> guarded(window);
    QTimer::singleShot(0, window, [guarded]() {
        if (!guarded || !guarded->isVisible())
            return;
        guarded->raise();
        guarded->activateWindow();
    });
    announceChange();
}

void WindowStack::modalHidden(QWidget *window)
{
    const auto entry = std::find_if(m_setAside.begin(), m_setAside.end(),
                                    [window](const SetAside &aside) { return aside.modal == window; });
    if (entry != m_setAside.end()) {
        const std::vector<QPointer<QWidget>> passives = std::move(entry->passives);
        m_setAside.erase(entry);
        // What still stands comes back: a wait window whose work goes on, the
        // splash while the start-up continues. Closed ones are null by now.
        for (const QPointer<QWidget> &passive : passives) {
            if (passive)
                passive->show();
        }
    }
    // Boxes destroyed without ever being hidden leave nothing behind.
    m_setAside.erase(std::remove_if(m_setAside.begin(), m_setAside.end(),
                                    [](const SetAside &aside) { return aside.modal.isNull(); }),
                     m_setAside.end());
    announceChange();
}

void WindowStack::announceChange()
{
    // The show event comes before Qt counts the window as modal and the hide
    // event after; the listeners need the settled state.
    QTimer::singleShot(0, this, [this]() { Q_EMIT modalWindowsChanged(); });
}

} // namespace vantor::gui
