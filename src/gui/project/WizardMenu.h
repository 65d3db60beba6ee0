#pragma once

#include "ui/SkinnedDialog.h"

class QGridLayout;
class QGroupBox;
class QPushButton;

namespace vantor::gui {

// The start menu of every task, reached through "Wizard" in the main window.
class WizardMenu : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit WizardMenu(QWidget *parent = nullptr);

private:
    using Handler = void (WizardMenu::*)();
    void addTask(QGroupBox *group, const QString &button, const QString &caption, const QString &name,
                 Handler handler);

    void onResearchClicked();
    void onTemplateWizardClicked();
    void onWebSiteClicked();
    void onWebSiteQuickClicked();
    void onSubmitClicked();
    void onPositionClicked();
    void onVersionCheckClicked();
    void onFeedbackClicked();
    void onNewsletterClicked();
    void onDocumentsClicked();
    void onHelpClicked();
    void onCancelClicked();

    bool m_checking = false;
};

} // namespace vantor::gui
