#include "ui/QtUi.h"

#include "project/InternetAccessDialog.h"
#include "ui/ConnectionErrorDialog.h"
#include "ui/CredentialsDialog.h"
#include "ui/DialogHooks.h"
#include "ui/MessageDialog.h"
#include "ui/QtText.h"
#include "ui/WaitWindow.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace vantor::gui {

namespace {

// A box that needs an answer must not show the wait cursor over itself,
// whoever put it up: our wait window, a busy job, or a caller of ours.
class NormalCursor
{
public:
    NormalCursor()
    {
        const QCursor *cursor = QApplication::overrideCursor();
        m_waiting = cursor && (cursor->shape() == Qt::WaitCursor || cursor->shape() == Qt::BusyCursor);
        if (m_waiting)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor()
    {
        if (m_waiting)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    bool m_waiting = false;
};

} // namespace

QtUi::QtUi()
{
    // Watching from the first box on, so every one of them comes to the front.
    WindowStack::instance();
}

QtUi::~QtUi() { closeWait(); }

QWidget *QtUi::dialogParent() const { return WindowStack::topWindow(); }

void QtUi::message(const std::string &title, const std::string &text)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("message"), fromCp1252(title), fromCp1252(text));
        return;
    }
    NormalCursor cursor;
    MessageDialog box(fromCp1252(title), fromCp1252(text), MessageDialog::Buttons::Ok, dialogParent());
    box.exec();
}

bool QtUi::question(const std::string &title, const std::string &text) { return ask(title, text, false); }

bool QtUi::questionDefaultNo(const std::string &title, const std::string &text) { return ask(title, text, true); }

bool QtUi::ask(const std::string &title, const std::string &text, bool cancelIsDefault)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("question"), fromCp1252(title), fromCp1252(text));
        return hooks.takeQuestionAnswer().value_or(true);
    }
    NormalCursor cursor;
    MessageDialog box(fromCp1252(title), fromCp1252(text), MessageDialog::Buttons::OkCancel, dialogParent());
    if (cancelIsDefault)
        box.setCancelDefault();
    return box.exec() == QDialog::Accepted;
}

bool QtUi::questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                        const std::string &goButton)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("question"), fromCp1252(title), fromCp1252(text));
        return hooks.takeQuestionAnswer().value_or(true);
    }
    NormalCursor cursor;
    // The question window with its two buttons renamed. Only the second one
    // goes on; the first, Enter, Escape and the close box all stop.
    MessageDialog box(fromCp1252(title), fromCp1252(text), MessageDialog::Buttons::OkCancel, dialogParent());
    auto *stop = box.findChild<QPushButton *>(QStringLiteral("okButton"));
    auto *go = box.findChild<QPushButton *>(QStringLiteral("cancelButton"));
    if (!stop || !go)
        return box.exec() == QDialog::Accepted;
    stop->setText(fromCp1252(stopButton));
    go->setText(fromCp1252(goButton));
    bool wentOn = false;
    QObject::connect(go, &QPushButton::clicked, &box, [&wentOn] { wentOn = true; });
    box.exec();
    return wentOn;
}

void QtUi::systemError(const std::string &title, const std::string &text)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("systemError"), fromCp1252(title), fromCp1252(text));
        return;
    }
    NormalCursor cursor;
    // Deliberately the system's own box: these are the failures where our
    // own windows may no longer be trustworthy.
    QMessageBox box(QMessageBox::Warning, fromCp1252(title), fromCp1252(text), QMessageBox::Ok, dialogParent());
    box.setWindowModality(Qt::ApplicationModal);
    // Qt's own button texts are English unless its translation is installed.
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    hooks.notifyShown(&box);
    box.exec();
}

void QtUi::showWait(const std::string &text)
{
    const QString shownText = fromCp1252(text);
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting())
        hooks.record(QStringLiteral("wait"), QString(), shownText);
    delete m_wait;
    m_wait = new WaitWindow(shownText, dialogParent());
    m_wait->show();
    if (!m_waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waitCursor = true;
    // The caller blocks right after this; the window must be painted first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::closeWait()
{
    delete m_wait;
    if (!m_waitCursor)
        return;
    m_waitCursor = false;
    QApplication::restoreOverrideCursor();
}

ConnectionAnswer QtUi::connectionError(const std::string &title, const std::string &text, bool configureCloses)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("connectionError"), fromCp1252(title), fromCp1252(text));
        return hooks.takeConnectionAnswer().value_or(ConnectionAnswer::Cancel);
    }
    NormalCursor cursor;
    ConnectionErrorDialog box(fromCp1252(title), fromCp1252(text), configureCloses, dialogParent());
    box.setConfigureHandler([this](QWidget *parent) {
        // "Testen" in there brings a wait window and a wait cursor of its
        // own and closes them again; the ones of the action that failed
        // stay out of its reach and come back with this box.
        const QPointer<WaitWindow> wait = m_wait;
        const bool waitCursor = m_waitCursor;
        m_wait = nullptr;
        m_waitCursor = false;
        {
            InternetAccessDialog dialog(parent);
            dialog.exec();
        }
        closeWait();
        m_wait = wait;
        m_waitCursor = waitCursor;
    });
    box.exec();
    return box.answer();
}

bool QtUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    DialogHooks &hooks = DialogHooks::instance();
    if (hooks.intercepting()) {
        hooks.record(QStringLiteral("credentials"), fromCp1252(title), QString());
        const DialogHooks::Credentials answer = hooks.takeCredentials().value_or(DialogHooks::Credentials{});
        if (answer.ok) {
            user = toCp1252(answer.user);
            password = toCp1252(answer.password);
        }
        return answer.ok;
    }
    NormalCursor cursor;
    CredentialsDialog box(fromCp1252(title), dialogParent());
    box.setUser(fromCp1252(user));
    if (box.exec() != QDialog::Accepted)
        return false;
    user = toCp1252(box.user());
    password = toCp1252(box.password());
    return true;
}

void QtUi::progress(int value, int maximum)
{
    if (!m_progressBar)
        return;
    m_progressBar->setMaximum(maximum);
    m_progressBar->setValue(value);
}

void QtUi::pump() { QApplication::processEvents(); }

void QtUi::pause(int milliseconds)
{
    if (milliseconds <= 0) {
        pump();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace vantor::gui
