#pragma once

#include "net/SlotRun.h"
#include "position/PositionPreparation.h"
#include "position/PositionRun.h"
#include "position/RankStore.h"
#include "ui/GuardedDialog.h"
#include "ui/ProgressDialogUi.h"
#include "ui/SlotPanel.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QString;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidgetItem;

namespace vantor::gui {

// "Positionen ermitteln": where the site stands in the results of the
// search engines for each of the project's terms. Three engines are asked
// side by side; every outcome goes into the report list, whose found
// positions can be saved as a ranking report.
class PositionDialog : public GuardedDialog, private PositionView
{
    Q_OBJECT
public:
    static constexpr int kSlots = SlotPanel::kSlots;

    explicit PositionDialog(QWidget *parent = nullptr);
    ~PositionDialog() override;

    // Opens the dialog for the current project, modal, unless the project
    // cannot be read (which was said then).
    static void openForCurrentProject(QWidget *parent);

    bool ready() const { return m_ready; }
    bool running() const { return m_running; }
    const std::vector<std::string> &report() const { return m_report; }

    // Shorter pauses, for the tests.
    void setTiming(const SlotRun::Timing &timing) { m_timing = timing; }

    // The outcome image (positionoutcome::image) a line of a slot's list
    // shows.
    static int lineImage(const QTreeWidgetItem *item);
    // Which picture of the state strip stands for an outcome image.
    static int stripIndex(int image);
    // What an outcome line adds about the check before: "(▲ 3)", "(▼ 2)",
    // "(=)", "(▲ neu)" or "(▼ vorher 16)"; empty without an earlier
    // success.
    static QString changeNote(const RankStore::Pair *previous, const PositionRecord &record);

private:
    bool closingBlocked() const override { return m_running; }

    // PositionView
    void slotCleared(int slot) override;
    void lineAdded(int slot, const std::string &text, int image) override;
    void outcomeShown(int slot, const PositionRecord &record, const std::string &text, int image) override;
    void slotTitle(int slot, const std::string &text) override;
    void reportChanged(const std::vector<std::string> &report) override;
    void abortAvailable(bool available) override;

    void onStartClicked();
    void onAbortClicked();
    void onHtmlClicked();
    void onHistoryClicked();
    void onHelpClicked();

    bool checkOpening();
    void setInputEnabled(bool enabled);

    std::string m_project;
    std::string m_projectFile;
    std::string m_homepagePath;
    bool m_ready = false;
    bool m_running = false;

    QLabel *m_caption = nullptr;
    QLineEdit *m_domain = nullptr;
    QLineEdit *m_domainList = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_abort = nullptr;
    QPushButton *m_html = nullptr;
    QPushButton *m_history = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_ok = nullptr;
    std::unique_ptr<SlotPanel> m_slots;
    QProgressBar *m_progress = nullptr;
    QListWidget *m_reportList = nullptr;

    ProgressDialogUi m_ui;
    positionprep::DialogState m_state;
    std::optional<SlotRun::Timing> m_timing;
    PositionRun *m_run = nullptr;
    std::vector<std::string> m_report;
    // Each pair's state before this run, for the change its line shows.
    std::map<std::pair<std::string, std::string>, RankStore::Pair> m_previous;
};

} // namespace vantor::gui
