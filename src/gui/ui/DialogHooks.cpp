#include "ui/DialogHooks.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QPointer>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <algorithm>

namespace vantor::gui {

DialogHooks &DialogHooks::instance()
{
    static DialogHooks hooks;
    return hooks;
}

void DialogHooks::reset()
{
    m_intercepting = false;
    m_questionAnswers.clear();
    m_connectionAnswers.clear();
    m_credentials.clear();
    m_fileNames.clear();
    m_fileRequests.clear();
    m_colours.clear();
    m_colourRequests.clear();
    m_shown.clear();
    m_observers.clear();
    m_nextShown.clear();
}

void DialogHooks::pushCredentials(bool ok, const QString &user, const QString &password)
{
    m_credentials.push_back({ok, user, password});
}

std::optional<bool> DialogHooks::takeQuestionAnswer()
{
    if (m_questionAnswers.empty())
        return std::nullopt;
    const bool answer = m_questionAnswers.front();
    m_questionAnswers.pop_front();
    return answer;
}

std::optional<ConnectionAnswer> DialogHooks::takeConnectionAnswer()
{
    if (m_connectionAnswers.empty())
        return std::nullopt;
    const ConnectionAnswer answer = m_connectionAnswers.front();
    m_connectionAnswers.pop_front();
    return answer;
}

std::optional<DialogHooks::Credentials> DialogHooks::takeCredentials()
{
    if (m_credentials.empty())
        return std::nullopt;
    Credentials answer = m_credentials.front();
    m_credentials.pop_front();
    return answer;
}

std::optional<QString> DialogHooks::takeFileName()
{
    if (m_fileNames.empty())
        return std::nullopt;
    QString name = m_fileNames.front();
    m_fileNames.pop_front();
    return name;
}

std::optional<QColor> DialogHooks::takeColour()
{
    if (m_colours.empty())
        return std::nullopt;
    const QColor colour = m_colours.front();
    m_colours.pop_front();
    return colour;
}

void DialogHooks::record(const QString &kind, const QString &title, const QString &text)
{
    m_shown.push_back({kind, title, text});
}

bool DialogHooks::showedTitle(const QString &title) const
{
    return std::any_of(m_shown.begin(), m_shown.end(), [&](const ShownBox &box) { return box.title == title; });
}

int DialogHooks::countKind(const QString &kind) const
{
    return static_cast<int>(
        std::count_if(m_shown.begin(), m_shown.end(), [&](const ShownBox &box) { return box.kind == kind; }));
}

void DialogHooks::notifyShown(QWidget *window, Window kind)
{
    const bool takesAction = kind == Window::Dialog && !m_nextShown.empty();
    if (m_observers.empty() && !takesAction)
        return;
    // Deferred, so the window has its final layout and a modal dialog has
    // entered its own event loop before anyone looks at it.
    QPointer<QWidget> guarded(window);
    std::vector<WindowAction> observers = m_observers;
    WindowAction action;
    if (takesAction) {
        action = std::move(m_nextShown.front());
        m_nextShown.pop_front();
    }
    QTimer::singleShot(0, window, [guarded, observers, action]() {
        for (const WindowAction &observer : observers) {
            if (guarded)
                observer(guarded);
        }
        if (action && guarded)
            action(guarded);
    });
}

namespace {

enum class FileAccess { Open, Save };

QString askFileName(FileAccess access, QWidget *parent, const QString &caption, const QString &directory,
                    const QString &filter, const QString &defaultSuffix)
{
    DialogHooks &hooks = DialogHooks::instance();
    hooks.recordFileRequest({caption, directory, filter, defaultSuffix});
    if (std::optional<QString> name = hooks.takeFileName())
        return *name;
    QFileDialog dialog(parent, caption, directory, filter);
    const bool save = access == FileAccess::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // Our filters carry their patterns twice: once in the user's text, which
    // may list them the Windows way with semicolons, and once at the end in
    // the blank-separated form Qt filters by. Only the user's text shows.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // Qt's own dialog cuts the size, type and date columns to "Ver…nis" and
    // "8 Dec …:02:10"; they get what they need, the names the rest.
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        dialog.resize(std::min(820, room.width() - 40), std::min(500, room.height() - 60));
    }
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    // Qt's dialog speaks English unless its translation is installed; the
    // words the user acts on are ours. A native dialog brings its own.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Dateiname:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
    dialog.setLabelText(QFileDialog::Accept, save ? QStringLiteral("Speichern") : QStringLiteral("Öffnen"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
    hooks.notifyShown(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

QString askOpenFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                        const QString &defaultSuffix)
{
    return askFileName(FileAccess::Open, parent, caption, directory, filter, defaultSuffix);
}

QString askSaveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                        const QString &defaultSuffix)
{
    return askFileName(FileAccess::Save, parent, caption, directory, filter, defaultSuffix);
}

QColor askColour(QWidget *parent, const QString &caption, const QColor &initial)
{
    DialogHooks &hooks = DialogHooks::instance();
    hooks.recordColourRequest({caption, initial});
    if (std::optional<QColor> colour = hooks.takeColour())
        return *colour;
    QColorDialog dialog(initial, parent);
    dialog.setWindowTitle(caption);
    hooks.notifyShown(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QColor();
    return dialog.selectedColor();
}

} // namespace vantor::gui
