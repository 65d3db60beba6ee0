#pragma once

#include "ui/SkinnedDialog.h"

class QLineEdit;
class QPushButton;

namespace vantor::gui {

class LimitedTextEdit;

// "Feedback": the user's address and message go to the maker in one
// request. The dialog closes only once the message has arrived, so nothing
// typed is lost to a failed connection.
class FeedbackDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    // The address holds what every other text setting holds. The message
    // has room for a real problem report, yet percent-encoded it keeps the
    // request well below the 8 KB a web server takes in its request line.
    static constexpr int kAddressLength = 259;
    static constexpr int kMessageLength = 1500;

    explicit FeedbackDialog(QWidget *parent = nullptr);

private:
    void onSendClicked();
    void onCancelClicked();
    void onHelpClicked();

    QLineEdit *m_address = nullptr;
    LimitedTextEdit *m_message = nullptr;
    QPushButton *m_send = nullptr;
    bool m_sending = false;
};

} // namespace vantor::gui
