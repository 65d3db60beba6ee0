#pragma once

#include "research/ResearchStart.h"
#include "research/ResearchView.h"
#include "ui/GuardedDialog.h"
#include "ui/ProgressDialogUi.h"

#include <QColor>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace vantor::gui {

// "Recherche": a search term goes out to the services of the research
// file; what people type into search engines comes back on the left,
// variants, synonyms and related terms on the right, and from there into
// the watch list.
class ResearchDialog : public GuardedDialog, private ResearchView
{
    Q_OBJECT
public:
    explicit ResearchDialog(QWidget *parent = nullptr);
    ~ResearchDialog() override;

    // The way in from the wizard menu: without the research file there is
    // nothing to ask, and the dialog never shows.
    static void openFromMenu(QWidget *parent);

    // False when opening already told the user why there is no research.
    bool ready() const { return m_ready; }
    bool running() const { return m_running; }
    // The rows of a list as the run delivered them (cp1252), placeholders
    // included.
    const std::vector<std::string> &rows(ResearchList list) const;

    static QColor keywordColor() { return QColor(0, 30, 150); }
    static QColor variantColor() { return QColor(100, 24, 11); }
    static QColor listBase() { return QColor(255, 255, 245); }

private:
    bool closingBlocked() const override { return m_running; }

    // ResearchView
    void listsCleared() override;
    void rowAdded(ResearchList list, const std::string &text) override;

    void onTermEdited(const QString &text);
    void onStartClicked();
    void onRememberSelectedKeywordsClicked();
    void onRememberAllKeywordsClicked();
    void onRememberSelectedVariantsClicked();
    void onRememberAllVariantsClicked();
    void onWatchListClicked();
    void onHelpClicked();

    bool checkOpening();
    void rememberTerms(ResearchList list, bool onlySelected);
    void setRunning(bool running);
    QListWidget *listOf(ResearchList list) const;

    QLabel *m_caption = nullptr;
    QLineEdit *m_term = nullptr;
    QCheckBox *m_asOneWord = nullptr;
    QPushButton *m_start = nullptr;
    QListWidget *m_keywords = nullptr;
    QListWidget *m_variants = nullptr;
    QPushButton *m_watchList = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_ok = nullptr;
    QProgressBar *m_progress = nullptr;

    ProgressDialogUi m_ui;
    research::DialogState m_state;
    std::array<std::vector<std::string>, 2> m_rows;
    bool m_ready = false;
    bool m_running = false;
};

} // namespace vantor::gui
