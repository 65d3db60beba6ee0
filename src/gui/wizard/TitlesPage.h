#pragma once

#include "wizard/TitlePages.h"
#include "wizard/WizardPageDialog.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vantor::gui {

class LimitedTextEdit;
class SnippetPreview;

// The first page of the full wizard: three titles, author and description
// of the homepage and the two switches of the run. It has no way back.
class TitlesPage : public WizardPageDialog
{
    Q_OBJECT
public:
    explicit TitlesPage(QWidget *parent = nullptr);

protected:
    bool storePage(PageResult result) override;
    void offerAnalysis() override;

private:
    void onDescriptionChanged();
    void showFields();
    titlepages::TitleFields fieldsShown() const;

    titlepages::TitleFields m_fields;
    std::array<QLabel *, 3> m_titleLabels{};
    std::array<QLineEdit *, 3> m_titles{};
    QLabel *m_authorLabel = nullptr;
    QLineEdit *m_author = nullptr;
    QLabel *m_descriptionLabel = nullptr;
    LimitedTextEdit *m_description = nullptr;
    SnippetPreview *m_preview = nullptr;
    QCheckBox *m_makedirs = nullptr;
    QCheckBox *m_deleteold = nullptr;
};

} // namespace vantor::gui
