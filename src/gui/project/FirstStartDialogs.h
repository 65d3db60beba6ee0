#pragma once

#include "ui/SkinnedDialog.h"

class QPushButton;

namespace vantor::gui {

// The three dialogs of the first start, also reached through "Erste Schritte".

// "Herzlich willkommen bei Vantor!!" with the way to the basics.
class WelcomeDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit WelcomeDialog(QWidget *parent = nullptr);

private:
    void onBasicsClicked();
    void onOkClicked();
};

// What the program changes and what it generates.
class IntroductionDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit IntroductionDialog(QWidget *parent = nullptr);

private:
    void onOverviewClicked();
    void onOkClicked();

    QPushButton *m_overview = nullptr;
};

// "WARNUNG": the homepage is changed for good.
class WarningDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit WarningDialog(QWidget *parent = nullptr);

private:
    void onOkClicked();
};

// Shows the three one after the other.
void runFirstStartDialogs(QWidget *parent);

} // namespace vantor::gui
