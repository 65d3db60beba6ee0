#pragma once

#include "project/ProjectManager.h"
#include "ui/SkinnedDialog.h"

#include <array>
#include <string>

class QCheckBox;
class QRadioButton;

namespace vantor::gui {

// Asks which data a new project takes over from the current one, then
// writes the new project and makes it current. Accepted only when both
// files were written.
class NewProjectOptionsDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    // name: the new project's name, cp1252, already checked.
    explicit NewProjectOptionsDialog(const std::string &name, QWidget *parent = nullptr);

    // What the widgets hold right now.
    projects::NewProjectChoice choice() const;

private:
    void onCreateClicked();
    void onHelpClicked();

    std::string m_name;
    QRadioButton *m_currentOptions = nullptr;
    QRadioButton *m_standardOptions = nullptr;
    // In the order the check boxes stand.
    std::array<QCheckBox *, 5> m_keep {};
};

} // namespace vantor::gui
