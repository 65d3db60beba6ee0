#pragma once

#include "wizard/KeywordGrid.h"
#include "wizard/WizardPageDialog.h"

#include <array>

class QLineEdit;
class QScrollArea;

namespace vantor::gui {

// The search terms: 30 fields for the homepage and 15 for each of the nine
// copies, each named after its key in the project file ("field4000" ...).
class KeywordGridPage : public WizardPageDialog
{
    Q_OBJECT
public:
    explicit KeywordGridPage(QWidget *parent = nullptr);

    QLineEdit *field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
    QScrollArea *scrollArea() const { return m_scroll; }

protected:
    bool storePage(PageResult result) override;
    void offerAnalysis() override;
    bool holdsNoTerm(const QString &text) const override;

private:
    keywordgrid::Fields fieldsShown() const;
    void showFields(const keywordgrid::Fields &fields);
    void showWholly(QWidget *field);

    std::array<QLineEdit *, keywordgrid::kFieldCount> m_fields{};
    QScrollArea *m_scroll = nullptr;
};

} // namespace vantor::gui
