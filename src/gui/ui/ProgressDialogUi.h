#pragma once

#include "ui/Ui.h"

#include <QPointer>
#include <QProgressBar>

namespace vantor::gui {

// What a long job (submission, research, position check) talks to while
// its dialog is open: the program's own boxes, the dialog's progress bar
// instead of the program's, and a note of whether the dial-up prompt has
// been put to the user, since it is asked once per action at most.
class ProgressDialogUi : public Ui
{
public:
    ProgressDialogUi(Ui &boxes, QProgressBar *bar);

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
    bool cancelRequested() override { return m_boxes.cancelRequested(); }

    // Whether the prompt came up while the dialog is open, fetching the
    // data files at the opening or later.
    bool dialUpAsked() const { return m_dialUpAsked; }

private:
    Ui &m_boxes;
    QPointer<QProgressBar> m_bar;
    bool m_dialUpAsked = false;
};

} // namespace vantor::gui
