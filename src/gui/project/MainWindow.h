#pragma once

#include "ui/SkinnedDialog.h"

class QLabel;
class QPlainTextEdit;

namespace vantor::gui {

// The program's one long-lived window: tips, the current project, and the
// way into every task.
class MainWindow : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    // The tip on show, 1..18.
    int tipNumber() const { return m_tip; }
    void refreshProjectLine();

    void done(int result) override;

private:
    void showTip(int number);

    void onWizardClicked();
    void onProjectsClicked();
    void onConfigurationClicked();
    void onInfoClicked();
    void onHelpClicked();
    void onTipHelpClicked();
    void onTipsClicked();
    void onEndClicked();

    // The dialogs of later versions plug in here.
    void runProjectManager();
    void runConfiguration();

    int m_tip = 1;
    QPlainTextEdit *m_tipText = nullptr;
    QLabel *m_projectLine = nullptr;
    QLabel *m_versionLine = nullptr;
};

} // namespace vantor::gui
