#pragma once

#include "optimizer/OptimizationRun.h"
#include "optimizer/OptimizationRunUi.h"
#include "optimizer/RunLog.h"
#include "ui/SkinnedDialog.h"

#include <QColor>

#include <string>

class QCheckBox;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace vantor::gui {

// "Optimierung durchführen": one optimisation of the current project's web
// site, with its report list, the To Do's and the ways to look at the
// result. The run happens once per opening.
class OptimizationDialog : public SkinnedDialog, private RunObserver
{
    Q_OBJECT
public:
    explicit OptimizationDialog(QWidget *parent = nullptr);
    ~OptimizationDialog() override;

    OptimizationRun &run() { return m_run; }
    bool running() const { return m_running; }

    // The colour of a line of the report list.
    static QColor lineColor(LineKind kind);

    // Every way out - the close button, Escape, the window's close box -
    // comes here: never while the run goes on, and only when the run agrees.
    void reject() override;

private:
    void lineAdded(const ReportLine &line) override;
    void todoAdded(const std::string &todo) override;

    void enableResultButtons(bool enabled);
    // The undo button: on while a kept run of the project is not undone and
    // no run goes on.
    void updateUndoButton();
    void onStartClicked();
    void onUndoClicked();
    void onSaveReportClicked();
    void onOpenReportClicked();
    void onCopyClicked();
    void onShortDoorwayClicked();
    void onLongDoorwayClicked();
    void onHelpClicked();

    QTreeWidget *m_report = nullptr;
    QListWidget *m_todos = nullptr;
    QProgressBar *m_progress = nullptr;
    QCheckBox *m_withConfigData = nullptr;
    QCheckBox *m_withProjectData = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_undo = nullptr;
    QPushButton *m_saveReport = nullptr;
    QPushButton *m_openReport = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_shortDoorway = nullptr;
    QPushButton *m_longDoorway = nullptr;
    QPushButton *m_close = nullptr;

    OptimizationRunUi m_runUi;
    std::string m_project;
    OptimizationRun m_run;
    bool m_running = false;
};

} // namespace vantor::gui
