#include "platform/HelpWindow.h"

#include "platform/Help.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace vantor::gui {

namespace {

QPointer<HelpWindow> g_window;

constexpr int kPreferredWidth = 640;
constexpr int kPreferredHeight = 560;
// Narrower than this, the pages read badly; the window then rather covers
// part of the dialog.
constexpr int kMinimumWidth = 400;
// What a window manager adds around the window before it is mapped and the
// real frame is known: the title bar above, a border on the other sides.
constexpr int kFrameTop = 32;
constexpr int kFrameSide = 6;

QRect availableArea(const QWidget *near)
{
    const QScreen *screen = near ? near->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The top left corner that puts an outer rectangle of this size inside area.
QPoint clampedInto(const QRect &area, QPoint topLeft, const QSize &outer)
{
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    return topLeft;
}

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
    QWidget *dialog = QApplication::activeModalWidget();
    if (isVisible())
        keepOnScreen();
    else
        placeBeside(dialog);
    winId();
    windowHandle()->setTransientParent(dialog ? dialog->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
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
    const QRect area = availableArea(dialog);
    if (!area.isValid())
        return;
    QSize size = QSize(kPreferredWidth, kPreferredHeight)
                     .boundedTo(QSize(area.width() - 2 * kFrameSide, area.height() - kFrameTop - kFrameSide));
    QPoint topLeft = area.center() - QPoint(size.width() / 2 + kFrameSide, size.height() / 2 + kFrameTop);
    if (dialog) {
        // Beside the dialog, so both stay readable: on the roomier side,
        // narrower if need be; over the dialog at the screen's edge only
        // when neither side leaves a readable width.
        const QRect beside = dialog->frameGeometry();
        const int roomRight = area.right() - beside.right() - 2 * kFrameSide;
        const int roomLeft = beside.left() - area.left() - 2 * kFrameSide;
        const int room = std::max(roomRight, roomLeft);
        if (room >= kMinimumWidth) {
            size.setWidth(std::min(size.width(), room));
            const int outerWidth = size.width() + 2 * kFrameSide;
            topLeft = roomRight >= roomLeft ? QPoint(beside.right() + 1, beside.top())
                                            : QPoint(beside.left() - outerWidth, beside.top());
        } else {
            topLeft = QPoint(area.right() + 1 - size.width() - 2 * kFrameSide, beside.top());
        }
    }
    resize(size);
    move(clampedInto(area, topLeft, QSize(size.width() + 2 * kFrameSide, size.height() + kFrameTop + kFrameSide)));
}

void HelpWindow::keepOnScreen()
{
    const QRect area = availableArea(this);
    if (!area.isValid())
        return;
    const QRect frame = frameGeometry();
    const QSize extra = frame.size() - size();
    const QSize fitting = size().boundedTo(area.size() - extra);
    if (fitting != size())
        resize(fitting);
    const QPoint topLeft = clampedInto(area, frame.topLeft(), fitting + extra);
    if (topLeft != frame.topLeft())
        move(topLeft);
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
