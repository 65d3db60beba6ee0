#pragma once

#include <QWidget>

class QTextBrowser;

namespace vantor::gui {

// The help viewer: one window, reused for every topic, that stays open
// beside the dialogs until the main window closes.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    bool showTopic(int topic);
    int topic() const { return m_topic; }
    QString source() const;

private:
    void onBackClicked();
    void onHomeClicked();

    QTextBrowser *m_browser = nullptr;
    int m_topic = 0;
};

// Puts the help window behind the engine's openHelp() and closeHelp().
void installHelpWindow();
// The window while it exists, else null.
HelpWindow *helpWindow();

} // namespace vantor::gui
