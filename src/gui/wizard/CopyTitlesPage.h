#pragma once

#include "wizard/TitlePages.h"
#include "wizard/WizardPageDialog.h"

#include <array>

class QLineEdit;

namespace vantor::gui {

// A title for each of the nine copies; a copy without search terms has no
// use for one, and its field stays shut.
class CopyTitlesPage : public WizardPageDialog
{
    Q_OBJECT
public:
    explicit CopyTitlesPage(QWidget *parent = nullptr);

    QLineEdit *field(int copy) const { return m_fields[static_cast<std::size_t>(copy)]; }

protected:
    bool storePage(PageResult result) override;

private:
    titlepages::CopyFields m_opened;
    std::array<QLineEdit *, 9> m_fields{};
};

} // namespace vantor::gui
