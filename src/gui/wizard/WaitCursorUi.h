#pragma once

#include "ui/Ui.h"

namespace vantor::gui {

// Reading the homepage runs under the wait cursor; the boxes the analysis
// shows on the way ("Keine Informationen gefunden") are answered with the
// normal one. Everything goes on to the Ui beneath.
class WaitCursorUi : public Ui
{
public:
    explicit WaitCursorUi(Ui &ui);
    ~WaitCursorUi() override;
    WaitCursorUi(const WaitCursorUi &) = delete;
    WaitCursorUi &operator=(const WaitCursorUi &) = delete;

    void message(const std::string &title, const std::string &text) override;
    bool question(const std::string &title, const std::string &text) override;
    bool questionDefaultNo(const std::string &title, const std::string &text) override;
    void systemError(const std::string &title, const std::string &text) override;
    void showWait(const std::string &text) override { m_ui.showWait(text); }
    void closeWait() override { m_ui.closeWait(); }
    ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                     bool configureCloses) override
    {
        return m_ui.connectionError(title, text, configureCloses);
    }
    bool credentials(const std::string &title, std::string &user, std::string &password) override
    {
        return m_ui.credentials(title, user, password);
    }
    void progress(int value, int maximum) override { m_ui.progress(value, maximum); }
    void pump() override { m_ui.pump(); }
    void pause(int milliseconds) override { m_ui.pause(milliseconds); }
    bool cancelRequested() override { return m_ui.cancelRequested(); }

private:
    Ui &m_ui;
};

} // namespace vantor::gui
