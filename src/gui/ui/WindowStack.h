#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class QWidget;

namespace vantor::gui {

// Keeps our windows in the order the user needs them. Whatever modal window
// opens - our boxes, the system's warning box, a file dialog - comes to the
// front with the focus, and the passive windows (the splash and the wait
// window) step out of its way until it closes again: a box hidden under the
// splash makes the program look frozen.
class WindowStack : public QObject
{
    Q_OBJECT
public:
    // Created on first use, watching every window of the application.
    static WindowStack &instance();

    // A window that only shows that the program works: it never takes the
    // focus and hides while a modal window that opened after it stands.
    // Call from the constructor, before the window is shown.
    static void addPassive(QWidget *window);
    static bool isPassive(const QWidget *window);

    // The window a new box belongs to: the modal window in front, else the
    // active window; never a passive one, null when there is none.
    static QWidget *topWindow();

Q_SIGNALS:
    // A modal window came or went; sent from the event loop once the modal
    // state of the application is settled.
    void modalWindowsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    WindowStack();

    void modalShown(QWidget *window);
    void modalHidden(QWidget *window);
    void announceChange();

    // The passive windows a modal window hid, to come back when it closes.
    struct SetAside {
        QPointer<QWidget> modal;
        std::vector<QPointer<QWidget>> passives;
    };
    std::vector<SetAside> m_setAside;
};

} // namespace vantor::gui
