#pragma once

#include "net/SlotRun.h"
#include "submit/SubmitRun.h"
#include "submit/SubmitSettings.h"
#include "ui/GuardedDialog.h"
#include "ui/ProgressDialogUi.h"
#include "ui/SlotPanel.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QComboBox;
class QTreeWidgetItem;

namespace vantor::gui {

// "Anmeldung": the site's address, an e-mail address and how much of the
// site goes to the engines; the run itself with three targets side by side,
// and what it found out, to be saved as a report.
class SubmitDialog : public GuardedDialog, private SubmitView
{
    Q_OBJECT
public:
    static constexpr int kSlots = SlotPanel::kSlots;

    explicit SubmitDialog(QWidget *parent = nullptr);
    ~SubmitDialog() override;

    // The way in from the wizard menu: a project without a homepage or
    // without the engines' data files never shows the dialog.
    static void openFromMenu(QWidget *parent);

    // False when opening already told the user why nothing can be submitted.
    bool ready() const { return m_ready; }
    bool running() const { return m_running; }

    // Shorter pauses, for the tests.
    void setTiming(const SlotRun::Timing &timing) { m_timing = timing; }

    // The state image a line of a slot's list shows (as set by the run).
    static int lineImage(const QTreeWidgetItem *item);

private:
    bool closingBlocked() const override { return m_running; }

    // SubmitView
    void slotCleared(int slot) override;
    void lineAdded(int slot, const std::string &text, int image) override;
    void outcomeShown(int slot, const std::string &target, const std::string &document,
                      SubmitOutcome outcome) override;
    void outcomeTextShown(int slot, const std::string &document, const std::string &text, int image) override;
    void slotTitle(int slot, const std::string &text) override;
    void reportChanged(const std::vector<std::string> &report) override;
    void adviceChanged(const std::vector<std::string> &advice) override;
    void abortAvailable(bool available) override;

    void onSubmitClicked();
    void onExtensionsClicked();
    void onAbortClicked();
    void onSitemapClicked();
    void onCsvClicked();
    void onHtmlClicked();
    void onHelpClicked();
    void onModeToggled();

    bool checkOpening();
    submitsettings::Entries entries() const;
    // "https" or "http", as chosen.
    std::string scheme() const;
    void setInputEnabled(bool enabled);
    void saveReport(bool asHtml);

    std::string m_project;
    std::string m_projectFile;
    std::string m_homepagePath;
    bool m_ready = false;
    bool m_running = false;

    QLabel *m_caption = nullptr;
    QLineEdit *m_url = nullptr;
    QLineEdit *m_email = nullptr;
    QRadioButton *m_startPageOnly = nullptr;
    QRadioButton *m_optimal = nullptr;
    QRadioButton *m_complete = nullptr;
    QPushButton *m_submit = nullptr;
    QPushButton *m_extensions = nullptr;
    QPushButton *m_abort = nullptr;
    QPushButton *m_sitemap = nullptr;
    QComboBox *m_scheme = nullptr;
    QPushButton *m_csv = nullptr;
    QPushButton *m_html = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_close = nullptr;
    std::unique_ptr<SlotPanel> m_slots;
    QProgressBar *m_progress = nullptr;
    QListWidget *m_reportList = nullptr;
    QListWidget *m_adviceList = nullptr;

    ProgressDialogUi m_ui;
    std::optional<SlotRun::Timing> m_timing;
    SubmitRun *m_run = nullptr;
    std::vector<std::string> m_report;
    std::vector<std::string> m_advice;
    std::vector<std::string> m_targets;
};

} // namespace vantor::gui
