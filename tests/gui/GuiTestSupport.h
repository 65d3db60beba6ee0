#pragma once

#include "ui/DialogHooks.h"
#include "ui/QtUi.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

class QLabel;
class QListWidget;

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantor::guitest {

// One fresh world per test function: the settings store and the program
// directory in a temporary directory, default program settings, a QtUi whose
// boxes are recorded instead of shown, and help and shell calls caught.
// With VANTOR_SCREENSHOT_DIR set, every window that shows is saved as PNG.
class GuiTestEnvironment
{
public:
    GuiTestEnvironment();
    ~GuiTestEnvironment();
    GuiTestEnvironment(const GuiTestEnvironment &) = delete;
    GuiTestEnvironment &operator=(const GuiTestEnvironment &) = delete;

    QString path() const { return m_dir.path(); }
    gui::QtUi &ui() { return m_ui; }
    gui::DialogHooks &hooks() { return gui::DialogHooks::instance(); }

    // Help topics and shell targets asked for, in order.
    std::vector<int> helpTopics;
    int helpClosed = 0;
    std::vector<std::string> opened;
    // Runs inside the shell call, e.g. to look at a button while it is busy.
    std::function<void()> duringOpen;

private:
    QTemporaryDir m_dir;
    gui::QtUi m_ui;
};

// Saves the window as <test>-<objectName>-<n>.png when VANTOR_SCREENSHOT_DIR
// is set; GuiTestEnvironment does it for every window that shows.
void saveScreenshot(QWidget *window);

// Lets posted events and zero timers run, so deferred work happens.
void settle();

// The one push button under root with exactly this text; null if none or
// several.
QPushButton *findButton(QWidget *root, const QString &text);

// Clicks a check box or radio button on its indicator: a click in the middle
// of a stretched one lands beside its text and does nothing.
void clickIndicator(QAbstractButton *button);

template<typename T>
T *findChildNamed(QWidget *root, const QString &name)
{
    return root->findChild<T *>(name);
}

// The object name of every dialog that showed, in order, each closed again
// by `handle` (which gets the dialog); the way to walk through a row of
// modal dialogs.
struct DialogWalk {
    std::vector<QString> names;
};
void closeNextDialogs(int count, DialogWalk &walk, std::function<void(QWidget *)> handle = {});

// The last recorded box of a kind, or an empty one.
gui::ShownBox lastShown(const QString &kind);

// The example site of the source tree copied to <directory>/site, with the
// report background in the program directory; returns the homepage's path.
QString copyExampleSite(const QString &directory);

// The standard project as the wizard would have stored it: the shipped
// project template, the record (reset first, then `fill` to change it) and
// the standard options.
void storeStandardProject(const QString &homepage, const std::function<void()> &fill = {});
QString standardProjectPath();
// An 8x4 GIF whose palette starts with the two accent colours the template
// wizard recolours, FF 8C 08 and FF C6 A5: the left half in the first, the
// right half in the second.
QByteArray stripedGif();
// A small stock template with every placeholder the wizard fills, and the
// 18 stock pictures (each a stripedGif), in <program dir>/templates.
void installStockTemplates();
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &content);

// Whether the dots of the capital umlauts (Ä, Ö, Ü) on the label show in
// full: as many pixels tell "Ö" from "O" as in a copy of the label with room
// to spare above and below.
bool umlautDotsShow(QLabel *label);
// The same for one row of a list, against a list with tall rows.
bool umlautDotsShow(QListWidget *list, int row);

} // namespace vantor::guitest
