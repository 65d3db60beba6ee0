#pragma once

#include "ui/SkinnedDialog.h"

class QLabel;
class QPushButton;

namespace vantor::gui {

// The program's own message window ("OK") and, with a cancel button, its
// question window ("OK" / "Abbruch").
class MessageDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    enum class Buttons { Ok, OkCancel };

    MessageDialog(const QString &title, const QString &text, Buttons buttons, QWidget *parent = nullptr);

    QString text() const;
    // For a question whose "OK" replaces something of the user's: Enter
    // answers "Abbruch".
    void setCancelDefault();

private:
    void onOkClicked();
    void onCancelClicked();

    QLabel *m_text = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace vantor::gui
