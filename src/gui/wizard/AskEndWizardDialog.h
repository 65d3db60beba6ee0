#pragma once

#include "ui/SkinnedDialog.h"
#include "wizard/WizardPages.h"

class QCheckBox;

namespace vantor::gui {

// "Wizard beenden?": asked when a page of the full wizard is cancelled.
class AskEndWizardDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit AskEndWizardDialog(QWidget *parent = nullptr);

    EndChoice choice() const { return m_choice; }

    // Escape and the close box go back to the wizard: nothing typed is lost
    // by a key pressed once too often.
    void reject() override;

private:
    void onEndClicked();

    QCheckBox *m_save = nullptr;
    EndChoice m_choice = EndChoice::BackToWizard;
};

} // namespace vantor::gui
