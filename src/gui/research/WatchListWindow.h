#pragma once

#include "research/WatchList.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWindow;

namespace vantor::gui {

class WatchListView;

// "Merkliste Recherche": the watch list of the current project in a small
// window of its own, one per program run. It is no dialog: it stays beside
// whatever dialog is open and takes clicks while that dialog is modal.
// Its terms go into the fields of a wizard page by double-click or drag.
class WatchListWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 460;
    static constexpr int kColumnWidth = 400;
    static constexpr int kIconWidth = 12;
    // The smallest the user can make it: the first width, below which the
    // buttons would cut their texts, and this height, below which the list
    // would show next to nothing.
    static constexpr int kMinimumHeight = 260;
    // Where the size the user gave the window is kept between runs.
    static constexpr const char *kWidthSetting = "watchlistwidth";
    static constexpr const char *kHeightSetting = "watchlistheight";

    explicit WatchListWindow(QWidget *parent = nullptr);
    ~WatchListWindow() override;

    WatchList &model() { return m_model; }
    QTreeWidget *list() const;
    QLineEdit *newEntryEdit() const { return m_newEntry; }
    // "Projekt '<name>'" as the label shows it, without its break hints.
    QString projectText() const { return m_projectText; }

    // The list of the current project's file replaces the rows; a file
    // without entries plays the "no entries" notice while the window shows.
    void load();
    bool save();
    // At the top, or at the sorted place; false for a text already there.
    bool add(const std::string &text, int kind);

    // The ways the window comes on screen.
    void unfoldFirst();
    void unfoldAgain();

    static QIcon kindIcon(int kind);
    static QColor textColor() { return QColor(0, 30, 150); }
    static QColor baseColor() { return QColor(255, 255, 250); }
    // False with VANTOR_NO_ANIMATION set or while the tests drive the boxes:
    // the window then takes its size at once and the notice does not wait.
    static bool animated();

    // The size the window opens with: the one the user gave it last, else
    // the first size, in either case no larger than the screen.
    QSize openingSize() const;
    // The size the user gave the window, kept in the settings once he stops
    // dragging its edge, and when it hides.
    void rememberSize();
    // Back to the opening size, as every "Merkliste" button asks.
    void takeOpeningSize();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidgetItem *makeRow(const std::string &text, int kind, const QIcon &icon) const;
    void rebuild();
    // The column as wide as the widest entry and the list, at least as wide
    // as ever; what is wider than the window scrolls.
    void fitColumn();
    void sizeTo(QSize size);
    void setUnfolding(bool unfolding);
    void setProjectName(const QString &name);
    void playEmptyNotice();
    void wait(int milliseconds);
    void unfold(QSize from, QSize step);
    void placeBesideFront();
    void attachToFront();
    void followModalWindow();

    void onSort(WatchList::Sorting sorting);
    void onDeleteClicked();
    void onAddClicked();
    void onHelpClicked();
    void onRowDoubleClicked(QTreeWidgetItem *row);

    WatchList m_model;
    QLabel *m_project = nullptr;
    QString m_projectText;
    WatchListView *m_list = nullptr;
    QLineEdit *m_newEntry = nullptr;
    // The last size the program gave the window; any other one is the
    // user's. Late answers of the window system to the unfolding steps come
    // and go without being taken for his.
    QSize m_requested;
    QTimer *m_rememberTimer = nullptr;
    // The window of the modal dialog the list belongs to while one stands.
    QPointer<QWindow> m_front;
    // While the notice runs or the window unfolds, the rows are no entries
    // and the commands wait.
    bool m_playing = false;
    bool m_placed = false;
};

// The one window of the program run, as the research dialog, the wizard
// pages and the project manager reach it. Texts are cp1252.
void openWatchList(bool reload = false);
void hideWatchList();
bool addToWatchList(const std::string &text, int kind);
bool saveWatchList();
void loadWatchList();
void destroyWatchList();
// The window while it exists, else null.
WatchListWindow *watchListWindow();
// Makes every project load refresh the watch list; once at program start.
void installWatchList();

} // namespace vantor::gui
