#include "platform/HelpWindow.h"

#include "platform/Help.h"
#include "ui/BesidePlacement.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>


namespace vantor::gui {

namespace {

QPointer<HelpWindow> g_window;

constexpr int kPreferredWidth = 640;
constexpr int kPreferredHeight = 560;
// Narrower or lower than this, the pages read badly; the window then
// rather covers part of the dialog.
constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 300;
} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Vantor!! Hilfe"));
    applySkin(this);
    resize(kPreferredWidth, kPreferredHeight);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links to the outside belong in the browser, the help pages stay here.
    m_browser->setOpenExternalLinks(true);

    auto *back = new QPushButton(QStringLiteral("Zurück"), this);
    back->setObjectName(QStringLiteral("backButton"));
    auto *home = new QPushButton(QStringLiteral("Inhalt"), this);
    home->setObjectName(QStringLiteral("homeButton"));
    connect(back, &QPushButton::clicked, this, &HelpWindow::onBackClicked);
    connect(home, &QPushButton::clicked, this, &HelpWindow::onHomeClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(&WindowStack::instance(), &WindowStack::modalWindowsChanged, this, &HelpWindow::followModalWindow);
}

bool HelpWindow::showTopic(int topic)
{
    const QString path = fromCp1252(helpTopicPath(topic));
    m_topic = topic;
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        m_browser->setPlainText(QStringLiteral("Die Hilfe zu diesem Thema ist nicht installiert."));
        return false;
    }
    m_browser->setSource(QUrl::fromLocalFile(path));
    return true;
}

QString HelpWindow::source() const { return m_browser->source().toLocalFile(); }

void HelpWindow::onBackClicked() { m_browser->backward(); }

void HelpWindow::onHomeClicked() { showTopic(help::kMain); }

QWindow *HelpWindow::owner() const { return windowHandle() ? windowHandle()->transientParent() : nullptr; }

void HelpWindow::present()
{
    // The window the user works in: a modal dialog or box, else the main
    // window or whichever window is active.
    QWidget *asking = WindowStack::topWindow();
    if (asking == this)
        asking = nullptr;
    // Where the user has put it stays, unless it stands over the buttons
    // of the window that asks now.
    if (!isVisible() || (asking && coversButtonsOf(asking)))
        placeBeside(asking);
    else
        BesidePlacement::keepOnScreen(this);
    winId();
    QWidget *modal = QApplication::activeModalWidget();
    windowHandle()->setTransientParent(modal && modal != this ? modal->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        // The window it stood beside gets the keyboard back.
        if (QWindow *dialog = owner())
            dialog->requestActivate();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool HelpWindow::coversButtonsOf(const QWidget *dialog) const
{
    return BesidePlacement::coversButtons(frameGeometry(), dialog);
}

void HelpWindow::followModalWindow()
{
    // A box or dialog opened over the one that asked for help would block
    // the viewer too; as a child of the window in front it stays usable. The
    // stacking is left alone: the new window stays on top.
    if (!windowHandle())
        return;
    QWidget *dialog = QApplication::activeModalWidget();
    QWindow *newOwner = dialog ? dialog->windowHandle() : nullptr;
    if (newOwner != windowHandle() && newOwner != owner())
        windowHandle()->setTransientParent(newOwner);
}

void HelpWindow::placeBeside(const QWidget *dialog)
{
    const QRect placed = BesidePlacement::place(dialog, QSize(kPreferredWidth, kPreferredHeight),
                                                QSize(kMinimumWidth, kMinimumHeight));
    if (placed.isNull())
        return;
    resize(placed.size());
    move(placed.topLeft());
}

void installHelpWindow()
{
    setHelpOpener([](int topic) {
        if (!g_window) {
            g_window = new HelpWindow;
            g_window->setAttribute(Qt::WA_DeleteOnClose);
        }
        const bool found = g_window->showTopic(topic);
        const bool wasVisible = g_window->isVisible();
        g_window->present();
        if (!wasVisible)
            DialogHooks::instance().notifyShown(g_window, DialogHooks::Window::Passive);
        return found;
    });
    setHelpCloser([]() {
        if (g_window)
            g_window->close();
    });
}

HelpWindow *helpWindow() { return g_window; }

} // namespace vantor::gui
