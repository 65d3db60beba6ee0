#pragma once

#include <optional>
#include <string>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QString;
class QWidget;

namespace vantor::gui {

// The pieces the dialogs of long jobs and their lists are built of alike,
// so that a button, a caption or a list looks and behaves the same in each.

// Never the default by having the focus: Enter in a field must not start a
// run or save anything by chance. A dialog names its one default itself.
QPushButton *dialogButton(const QString &text, const QString &name, QWidget *parent);

// Wraps, and shows its text as it is: a '<' or '&' in a project's name or
// a term is never taken for markup.
QLabel *textLabel(const QString &text, QWidget *parent);

// The project's name above the dialog, bold ("projectLabel").
QLabel *projectCaption(QWidget *parent);

// Lists stay white whatever the skin paints behind them.
void whiteBase(QWidget *widget);

// A list of long lines: it scrolls sideways instead of cutting them, and
// capital umlauts keep their dots.
QListWidget *lineList(const QString &name, QWidget *parent);

// A lineList the user picks several rows of at once.
QListWidget *choiceList(const QString &name, QWidget *parent);

// Reads the project a run is about and shows its name and homepage in the
// caption. The homepage's path, or nothing when the project cannot be read,
// which the user was told then.
std::optional<std::string> loadProject(const std::string &project, QLabel *caption);

// Asks where a report goes, beginning at preset; a name typed without a
// suffix gets the report's own. Empty when the user cancelled.
QString askReportFileName(QWidget *parent, const QString &preset, const char *filter, const QString &suffix);

// Shows the dialog modal, unless opening it already told the user why there
// is nothing to do in it (ready() false).
template <class Dialog> void execWhenReady(QWidget *parent)
{
    Dialog dialog(parent);
    if (dialog.ready())
        dialog.exec();
}

// The bar of a run ("progressBar"), empty and without a percentage text.
void setUpProgress(QProgressBar *bar, int maximum);

} // namespace vantor::gui
