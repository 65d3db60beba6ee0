#pragma once

#include "optimizer/SpaceEstimate.h"
#include "ui/SkinnedDialog.h"
#include "wizard/PageResult.h"

class QLabel;
class QProgressBar;
class QRadioButton;

namespace vantor {
struct ProjectRecord;
}

namespace vantor::gui {

// The last page of the full site wizard: the kind of optimisation, with
// the disk space its documents will take.
class SpaceEstimateDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    // The estimate is made once, from the record as it is when the page
    // opens; the choice goes into the record's scope at once.
    explicit SpaceEstimateDialog(ProjectRecord &record, QWidget *parent = nullptr);

    PageResult pageResult() const { return m_result; }

    void reject() override;

private:
    void showScope(int scope);
    void onScopeChosen();
    void onOkClicked();
    void onBackClicked();
    void onHelpClicked();

    ProjectRecord &m_record;
    SpaceEstimate m_estimate;
    PageResult m_result = PageResult::Cancel;
    QRadioButton *m_least = nullptr;
    QRadioButton *m_middle = nullptr;
    QRadioButton *m_most = nullptr;
    QLabel *m_label = nullptr;
    QLabel *m_value = nullptr;
    QProgressBar *m_bar = nullptr;
};

} // namespace vantor::gui
