#pragma once

#include "ui/Ui.h"

#include <QColor>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace vantor::gui {

// A box that was recorded instead of shown while the hooks intercept.
struct ShownBox {
    QString kind; // "message", "question", "systemError", "wait", "connectionError", "credentials"
    QString title;
    QString text;
};

// The seam through which the tests drive our windows. Nothing here is used
// by the program itself unless a test switched it on: with interception off
// and empty queues every box and file dialog is the real, modal one.
class DialogHooks
{
public:
    static DialogHooks &instance();

    // Forgets everything: queues, recordings, observers, pending actions.
    void reset();

    // While intercepting, the message, question, system error, connection
    // error and credential boxes are recorded and answered from the queues
    // instead of blocking in a modal loop.
    void setIntercepting(bool on) { m_intercepting = on; }
    bool intercepting() const { return m_intercepting; }

    // An empty queue answers "OK", "Abbrechen" and a cancelled login.
    void pushQuestionAnswer(bool ok) { m_questionAnswers.push_back(ok); }
    void pushConnectionAnswer(ConnectionAnswer answer) { m_connectionAnswers.push_back(answer); }
    void pushCredentials(bool ok, const QString &user = {}, const QString &password = {});
    std::optional<bool> takeQuestionAnswer();
    std::optional<ConnectionAnswer> takeConnectionAnswer();
    struct Credentials {
        bool ok = false;
        QString user;
        QString password;
    };
    std::optional<Credentials> takeCredentials();

    // File dialogs: a queued name (empty = the user cancelled) is taken
    // instead of showing the dialog, whether intercepting or not.
    void pushFileName(const QString &name) { m_fileNames.push_back(name); }
    std::optional<QString> takeFileName();
    // Every file dialog asked for, queued answer or not, so a test can see
    // what the user would have been shown.
    struct FileRequest {
        QString caption;
        QString directory;
        QString filter;
        QString defaultSuffix;
    };
    void recordFileRequest(const FileRequest &request) { m_fileRequests.push_back(request); }
    const std::vector<FileRequest> &fileRequests() const { return m_fileRequests; }

    // Colour choosers: a queued colour (an invalid one = the user cancelled)
    // is taken instead of showing the chooser, whether intercepting or not;
    // every chooser asked for is recorded with the colour it starts from.
    void pushColour(const QColor &colour) { m_colours.push_back(colour); }
    std::optional<QColor> takeColour();
    struct ColourRequest {
        QString caption;
        QColor initial;
    };
    void recordColourRequest(const ColourRequest &request) { m_colourRequests.push_back(request); }
    const std::vector<ColourRequest> &colourRequests() const { return m_colourRequests; }

    void record(const QString &kind, const QString &title, const QString &text);
    const std::vector<ShownBox> &shown() const { return m_shown; }
    bool showedTitle(const QString &title) const;
    int countKind(const QString &kind) const;
    void clearShown() { m_shown.clear(); }

    // Every window of ours reports here once it is on screen. Observers see
    // every window; a queued action runs once, on the next dialog shown (the
    // splash, wait and help windows never take one, since they come and go
    // on their own). Both run from the event loop right after the show, so
    // a modal dialog is already inside its exec() and may be closed there.
    using WindowAction = std::function<void(QWidget *)>;
    void addShownObserver(WindowAction observer) { m_observers.push_back(std::move(observer)); }
    void onNextShown(WindowAction action) { m_nextShown.push_back(std::move(action)); }
    int pendingActions() const { return static_cast<int>(m_nextShown.size()); }
    enum class Window { Dialog, Passive };
    void notifyShown(QWidget *window, Window kind = Window::Dialog);

private:
    DialogHooks() = default;

    bool m_intercepting = false;
    std::deque<bool> m_questionAnswers;
    std::deque<ConnectionAnswer> m_connectionAnswers;
    std::deque<Credentials> m_credentials;
    std::deque<QString> m_fileNames;
    std::vector<FileRequest> m_fileRequests;
    std::deque<QColor> m_colours;
    std::vector<ColourRequest> m_colourRequests;
    std::vector<ShownBox> m_shown;
    std::vector<WindowAction> m_observers;
    std::deque<WindowAction> m_nextShown;
};

// The file dialogs every later screen goes through, so a test can answer
// them. An empty result means cancelled. The filter is Qt's form, as
// qtFileFilter makes it: only the text before each pattern list is shown. A
// save dialog adds the default suffix to a name typed without one before it
// asks about overwriting; an open dialog looks for the name with it.
QString askOpenFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                        const QString &defaultSuffix = QString());
QString askSaveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                        const QString &defaultSuffix = QString());

// The colour chooser, fully opened and starting from `initial`. An invalid
// colour means cancelled.
QColor askColour(QWidget *parent, const QString &caption, const QColor &initial);

} // namespace vantor::gui
