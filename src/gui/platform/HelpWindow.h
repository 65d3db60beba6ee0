#pragma once

#include <QWidget>

class QMargins;
class QTextBrowser;
class QWindow;

namespace vantor::gui {

// The help viewer: one window, reused for every topic, that stays open
// beside the dialogs until the main window closes. Our dialogs are modal to
// the whole application, and Qt blocks every window that is not a child of
// the modal window in front; so the viewer is made a transient child of that
// window whenever it changes, and stays usable beside any dialog or box. It
// stays a window of its own for the window manager: the user switches
// between it and the dialog with a click. It opens beside the window that
// asked for it, and where it cannot, over as little of that window's
// buttons as it can; Escape closes it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    bool showTopic(int topic);
    int topic() const { return m_topic; }
    QString source() const;

    // Shows the window in front of the window that asked for help (the
    // modal one, else the active one), with the focus, wholly on the screen
    // and clear of that window's buttons.
    void present();

    // The modal window the viewer belongs to right now, or null.
    QWindow *owner() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onBackClicked();
    void onHomeClicked();
    void followModalWindow();
    void placeBeside(const QWidget *dialog);
    bool coversButtonsOf(const QWidget *dialog) const;

    QTextBrowser *m_browser = nullptr;
    int m_topic = 0;
};

// Puts the help window behind the engine's openHelp() and closeHelp().
void installHelpWindow();
// The window while it exists, else null.
HelpWindow *helpWindow();

} // namespace vantor::gui
