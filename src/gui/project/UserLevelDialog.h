#pragma once

#include "ui/SkinnedDialog.h"

class QRadioButton;

namespace vantor::gui {

// "Anwender" or "Entwickler": decides how much the later dialogs explain.
class UserLevelDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit UserLevelDialog(QWidget *parent = nullptr);

    // 1 "Anwender", 2 "Entwickler", as the radio buttons stand.
    int chosenLevel() const;

private:
    void onOkClicked();

    QRadioButton *m_user = nullptr;
    QRadioButton *m_developer = nullptr;
};

} // namespace vantor::gui
