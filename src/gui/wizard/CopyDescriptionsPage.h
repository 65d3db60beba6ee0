#pragma once

#include "wizard/TitlePages.h"
#include "wizard/WizardPageDialog.h"

#include <array>

namespace vantor::gui {

class LimitedTextEdit;

// A description for each of the nine copies, several lines each; a copy
// without search terms gets none.
class CopyDescriptionsPage : public WizardPageDialog
{
    Q_OBJECT
public:
    explicit CopyDescriptionsPage(QWidget *parent = nullptr);

    LimitedTextEdit *field(int copy) const { return m_fields[static_cast<std::size_t>(copy)]; }

protected:
    bool storePage(PageResult result) override;

private:
    titlepages::CopyFields m_opened;
    std::array<LimitedTextEdit *, 9> m_fields{};
};

} // namespace vantor::gui
