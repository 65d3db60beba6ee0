#pragma once

#include "ui/SkinnedDialog.h"

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantor::gui {

// "Datei-Endungen": the extensions of the files that "Komplett" submits,
// kept in the project file. The list cannot be left empty.
class ExtensionsDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit ExtensionsDialog(const std::string &projectFile, QWidget *parent = nullptr);

    std::vector<std::string> extensions() const;

    // "Schliessen", Escape and the close box all end here.
    void reject() override;

private:
    void onAddClicked();
    void onRemoveClicked();
    void onHelpClicked();
    void updateButtons();

    std::string m_projectFile;
    QLineEdit *m_edit = nullptr;
    QListWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
};

} // namespace vantor::gui
