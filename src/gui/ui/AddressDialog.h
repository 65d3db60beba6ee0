#pragma once

#include "ui/SkinnedDialog.h"

#include <QString>

class QLineEdit;

namespace vantor::gui {

// A web address no browser could open, shown to be copied into a browser
// elsewhere: the address selectable in a field and one button to copy it.
class AddressDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    AddressDialog(const QString &title, const QString &text, const QString &address, QWidget *parent = nullptr);

    QString address() const;

    // Shown modal over the window in front; recorded instead while the tests
    // intercept the boxes.
    static void showAddress(const QString &title, const QString &text, const QString &address);

private:
    void onCopyClicked();
    void onOkClicked();

    QLineEdit *m_address = nullptr;
};

} // namespace vantor::gui
