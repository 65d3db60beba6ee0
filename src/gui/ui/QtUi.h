#pragma once

#include "ui/Ui.h"
#include "ui/WaitWindow.h"

#include <QPointer>
#include <QProgressBar>
class QWidget;

namespace vantor::gui {

// The engine's Ui on Qt widgets. Every box is modal to the window in front;
// with the dialog hooks intercepting, the boxes are recorded and answered
// from the hooks' queues instead.
class QtUi : public Ui
{
public:
    QtUi();
    ~QtUi() override;

    void message(const std::string &title, const std::string &text) override;
    bool question(const std::string &title, const std::string &text) override;
    bool questionDefaultNo(const std::string &title, const std::string &text) override;
    bool questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                      const std::string &goButton) override;
    void systemError(const std::string &title, const std::string &text) override;
    void showWait(const std::string &text) override;
    void closeWait() override;
    ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                     bool configureCloses) override;
    bool credentials(const std::string &title, std::string &user, std::string &password) override;
    void progress(int value, int maximum) override;
    void pump() override;
    void pause(int milliseconds) override;
    bool cancelRequested() override { return m_cancelRequested; }

    // A dialog running a long job lends its progress bar and its stop button.
    void setProgressBar(QProgressBar *bar) { m_progressBar = bar; }
    void setCancelRequested(bool requested) { m_cancelRequested = requested; }

    // The wait window while one stands, else null.
    WaitWindow *waitWindow() const { return m_wait.data(); }

private:
    QWidget *dialogParent() const;
    bool ask(const std::string &title, const std::string &text, bool cancelIsDefault);

    // Owned by the dialog it stands over, which may go first.
    QPointer<WaitWindow> m_wait;
    bool m_waitCursor = false;
    QPointer<QProgressBar> m_progressBar;
    bool m_cancelRequested = false;
};

} // namespace vantor::gui
