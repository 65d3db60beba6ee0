#pragma once

#include "optimizer/OptimizationRunUi.h"
#include "ui/SkinnedDialog.h"

#include <QPointer>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vantor::gui {

// "Projekte": the existing projects, opening, deleting and creating one, and
// the information of the current project. Closes by itself once a project
// was opened; the caller then shows the new current project.
class ProjectManagerDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit ProjectManagerDialog(QWidget *parent = nullptr);

    // The entries of the list, in the order shown, cp1252.
    std::vector<std::string> entries() const;
    bool busy() const { return m_busy; }

    // Not while a job waits on the stack below the event loop.
    void reject() override;

private:
    // The state at opening and after every deletion.
    void refresh();
    void showInfo(const std::string &projectName);
    std::string selectedEntry() const;
    void selectEntry(const std::string &entry);
    void setStatus(const std::string &text);
    void setBusy(bool busy);
    // "Projekt öffnen" of this entry; true when it was opened.
    bool openEntry(const std::string &entry);

    void keepCurrentSelected();

    void onCurrentItemChanged();
    void onSelectionChanged();
    void onOpenClicked();
    void onDeleteClicked();
    void onSaveClicked();
    void onCreateClicked();
    void onHelpClicked();

    QListWidget *m_list = nullptr;
    QLabel *m_current = nullptr;
    QLineEdit *m_company = nullptr;
    QLineEdit *m_contact = nullptr;
    QLineEdit *m_tel = nullptr;
    QLineEdit *m_mail = nullptr;
    QLineEdit *m_lastOptimized = nullptr;
    QLineEdit *m_newName = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    std::vector<QWidget *> m_controls;
    QPointer<QWidget> m_focusBeforeJob;

    // The same wrapping the optimisation uses: our boxes with the arrow
    // over a wait cursor, the dialog's own progress bar, a pumping wait.
    OptimizationRunUi m_jobUi;
    bool m_busy = false;
};

} // namespace vantor::gui
