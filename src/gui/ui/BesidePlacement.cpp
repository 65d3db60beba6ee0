#include "ui/BesidePlacement.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace vantor::gui {

namespace {

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

// The frame the window manager will put around the window, before it
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

QRect BesidePlacement::place(const QWidget *dialog, QSize preferred, QSize minimum)
{
    const QRect area = availableArea(dialog);
    if (!area.isValid())
        return {};
    const QMargins frame = frameMarginsLike(dialog);
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    QSize size = preferred
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
        if (room >= minimum.width()) {
            size.setWidth(std::min(size.width(), room));
            const int outerWidth = size.width() + frameWidth;
            topLeft = roomRight >= roomLeft ? QPoint(beside.right() + 1, beside.top())
                                            : QPoint(beside.left() - outerWidth, beside.top());
        } else if (roomUpDown >= minimum.height()) {
            size.setHeight(std::min(size.height(), roomUpDown));
            const int outerHeight = size.height() + frameHeight;
            topLeft = roomBelow >= roomAbove ? QPoint(beside.left(), beside.bottom() + 1)
                                             : QPoint(beside.left(), beside.top() - outerHeight);
        } else {
            return placeOverLeast(dialog, area, size, minimum, QSize(frameWidth, frameHeight));
        }
    }
    return QRect(clampedInto(area, topLeft, QSize(size.width() + frameWidth, size.height() + frameHeight)), size);
}

QRect BesidePlacement::placeOverLeast(const QWidget *dialog, const QRect &area, QSize size, QSize minimum,
                                      const QSize &frame)
{
    const std::vector<QRect> buttons = buttonsOf(dialog);
    const QRect dialogFrame = dialog->frameGeometry();
    const QSize smallest = size.boundedTo(minimum);
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
    return QRect(bestTopLeft, bestSize);
}

bool BesidePlacement::coversButtons(const QRect &frame, const QWidget *dialog)
{
    const std::vector<QRect> buttons = buttonsOf(dialog);
    return std::any_of(buttons.begin(), buttons.end(), [&](const QRect &button) { return frame.intersects(button); });
}

void BesidePlacement::keepOnScreen(QWidget *window)
{
    const QRect area = availableArea(window);
    if (!area.isValid())
        return;
    const QRect frame = window->frameGeometry();
    const QSize extra = frame.size() - window->size();
    const QSize fitting = window->size().boundedTo(area.size() - extra);
    if (fitting != window->size())
        window->resize(fitting);
    const QPoint topLeft = clampedInto(area, frame.topLeft(), fitting + extra);
    if (topLeft != frame.topLeft())
        window->move(topLeft);
}

} // namespace vantor::gui
