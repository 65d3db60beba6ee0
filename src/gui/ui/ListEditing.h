#pragma once

#include <functional>
#include <string>
#include <vector>

class QHBoxLayout;
class QListWidget;
class QPushButton;
class QString;
class QWidget;

namespace vantor::gui {

// What the two "Anmelde-Liste" dialogs do with their lists alike: rows are
// removed and a stored list is loaded as short effects, pausing with the
// events running. Meanwhile the dialog is busy: its buttons are off, and no
// second click or close may start anything on top.
class ListEditing
{
public:
    // The row both lists close by: "Hilfe" on the left, "Starten", the
    // default, and "Abbrechen" on the right.
    struct CloseRow {
        QPushButton *start = nullptr;
        QPushButton *cancel = nullptr;
        QPushButton *help = nullptr;
        QHBoxLayout *layout = nullptr;
    };

    explicit ListEditing(QWidget *dialog);

    // A button of the dialog, off while busy.
    QPushButton *button(const QString &text, const QString &name);
    // Made where the dialog's tab order wants its buttons; the dialog places
    // the layout.
    CloseRow closeRow();
    // A further widget that is off while busy.
    void disableWhileBusy(QWidget *widget);

    bool busy() const { return m_busy; }
    void setBusy(bool busy);

    // Both pass over a click while busy: the effect before is still on the
    // stack. The selected rows go one after the other; with keepOne the last
    // row of the list stays, and the user is told why.
    void removeSelected(QListWidget *list, bool keepOne);
    // Wipes the list, then fills it by addRow with what load reads, the
    // first rows slowly, so that the user sees it replaced even when the
    // stored one looks the same.
    void replaceRows(QListWidget *list, const std::function<std::vector<std::string>()> &load,
        const std::function<void(const std::string &)> &addRow);

    // The rows as cp1252 texts, in list order.
    static std::vector<std::string> rows(const QListWidget *list);
    static void showEmptyList();
    static void showListSaved();

private:
    QWidget *m_dialog;
    std::vector<QWidget *> m_controls;
    bool m_busy = false;
};

} // namespace vantor::gui
