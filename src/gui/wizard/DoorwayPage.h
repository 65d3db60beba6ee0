#pragma once

#include "wizard/DoorwayTermsPage.h"
#include "wizard/WizardPageDialog.h"

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace vantor::gui {

// The further search terms that get a doorway document each, and the name
// of the start pages in generated directories.
class DoorwayPage : public WizardPageDialog
{
    Q_OBJECT
public:
    explicit DoorwayPage(QWidget *parent = nullptr);

protected:
    bool storePage(PageResult result) override;
    // Return in "Neuer Suchbegriff:" adds the term instead of leaving the page.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showDoorways();
    void onAddClicked();
    void onRemoveClicked();
    void onStartPageChoice();

    doorwaypage::Lists m_lists;
    QListWidget *m_existing = nullptr;
    QListWidget *m_doorways = nullptr;
    QLineEdit *m_newTerm = nullptr;
    QRadioButton *m_likeHomepage = nullptr;
    QRadioButton *m_other = nullptr;
    QLineEdit *m_startpage = nullptr;
};

} // namespace vantor::gui
