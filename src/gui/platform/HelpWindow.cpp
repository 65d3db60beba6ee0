#include "platform/HelpWindow.h"

#include "platform/Help.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"
#include "ui/WindowStack.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace vantor::gui {

namespace {

QPointer<HelpWindow> g_window;

constexpr int kPreferredWidth = 640;
constexpr int kPreferredHeight = 560;
// Narrower or lower than this, the pages read badly; the window then
// rather covers part of the dialog.
constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 300;
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

std::vector<QRect> buttonsOf(const QWidget *dialog)
{
    std::vector<QRect> buttons;
    const QList<QAbstractButton *> all = dialog->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : all) {
        if (button->isVisible())
            buttons.emplace_back(button->mapToGlobal(QPoint(0, 0)), button->size());
    }
    return buttons;
}

// The frame the window manager will put around the help window, before it
// has: the one it put around the dialog, else a guess.
QMargins frameMarginsLike(const QWidget *dialog)
{
    if (dialog && dialog->isVisible()) {
        const QRect outer = dialog->frameGeometry();
        const QRect inner = dialog->geometry();
        if (outer != inner)
            return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                            outer.bottom() - inner.bottom());
    }
    return QMargins(kFrameSide, kFrameTop, kFrameSide, kFrameSide);
}

long long overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
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
        keepOnScreen();
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
    const QRect frame = frameGeometry();
    const std::vector<QRect> buttons = buttonsOf(dialog);
    return std::any_of(buttons.begin(), buttons.end(), [&](const QRect &button) { return frame.intersects(button); });
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
    const QMargins frame = frameMarginsLike(dialog);
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    QSize size = QSize(kPreferredWidth, kPreferredHeight)
                     .boundedTo(QSize(area.width() - frameWidth, area.height() - frameHeight));
    QPoint topLeft = area.center() - QPoint((size.width() + frameWidth) / 2, (size.height() + frameHeight) / 2);
    if (dialog) {
        // Beside the dialog, so both stay readable: on the roomier side,
        // narrower if need be; else below or above it, lower if need be;
        // over the dialog only when no side leaves a readable size.
        const QRect beside = dialog->frameGeometry();
        const int roomRight = area.right() - beside.right() - frameWidth;
        const int roomLeft = beside.left() - area.left() - frameWidth;
        const int roomBelow = area.bottom() - beside.bottom() - frameHeight;
        const int roomAbove = beside.top() - area.top() - frameHeight;
        const int room = std::max(roomRight, roomLeft);
        const int roomUpDown = std::max(roomBelow, roomAbove);
        if (room >= kMinimumWidth) {
            size.setWidth(std::min(size.width(), room));
            const int outerWidth = size.width() + frameWidth;
            topLeft = roomRight >= roomLeft ? QPoint(beside.right() + 1, beside.top())
                                            : QPoint(beside.left() - outerWidth, beside.top());
        } else if (roomUpDown >= kMinimumHeight) {
            size.setHeight(std::min(size.height(), roomUpDown));
            const int outerHeight = size.height() + frameHeight;
            topLeft = roomBelow >= roomAbove ? QPoint(beside.left(), beside.bottom() + 1)
                                             : QPoint(beside.left(), beside.top() - outerHeight);
        } else {
            placeOverLeast(dialog, area, size, frame);
            return;
        }
    }
    resize(size);
    move(clampedInto(area, topLeft, QSize(size.width() + frameWidth, size.height() + frameHeight)));
}

void HelpWindow::placeOverLeast(const QWidget *dialog, const QRect &area, QSize size, const QMargins &margins)
{
    const std::vector<QRect> buttons = buttonsOf(dialog);
    const QRect dialogFrame = dialog->frameGeometry();
    const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QSize smallest = size.boundedTo(QSize(kMinimumWidth, kMinimumHeight));
    const QSize sizes[] = {size, QSize(smallest.width(), size.height()), QSize(size.width(), smallest.height()),
                           smallest};

    // Along the edges of the screen, of the dialog and of its buttons: where
    // a free strip is, one of these lines borders it.
    QRect buttonArea;
    for (const QRect &button : buttons)
        buttonArea = buttonArea.united(button);

    struct Score {
        long long buttons = 0;
        long long dialog = 0;
        long long shown = 0;
        bool betterThan(const Score &other) const
        {
            if (buttons != other.buttons)
                return buttons < other.buttons;
            if (dialog != other.dialog)
                return dialog < other.dialog;
            return shown > other.shown;
        }
    };
    bool found = false;
    Score best;
    QSize bestSize = size;
    QPoint bestTopLeft = area.topLeft();
    for (const QSize &candidate : sizes) {
        const QSize outer = candidate + frame;
        std::vector<int> lefts{area.left(), area.right() + 1 - outer.width(), dialogFrame.left(),
                               dialogFrame.right() + 1 - outer.width()};
        std::vector<int> tops{area.top(), area.bottom() + 1 - outer.height(), dialogFrame.top(),
                              dialogFrame.bottom() + 1 - outer.height()};
        if (!buttonArea.isEmpty()) {
            lefts.insert(lefts.end(), {buttonArea.left() - outer.width(), buttonArea.right() + 1});
            tops.insert(tops.end(), {buttonArea.top() - outer.height(), buttonArea.bottom() + 1});
        }
        for (const int left : lefts) {
            for (const int top : tops) {
                const QRect placed(clampedInto(area, QPoint(left, top), outer), outer);
                Score score;
                for (const QRect &button : buttons)
                    score.buttons += overlap(placed, button);
                score.dialog = overlap(placed, dialogFrame);
                score.shown = static_cast<long long>(candidate.width()) * candidate.height();
                if (!found || score.betterThan(best)) {
                    found = true;
                    best = score;
                    bestSize = candidate;
                    bestTopLeft = placed.topLeft();
                }
            }
        }
    }
    resize(bestSize);
    move(bestTopLeft);
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
