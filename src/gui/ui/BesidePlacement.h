#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace vantor::gui {

// Where a window that serves a dialog goes - the help, the document viewer:
// beside the dialog, so both stay readable; on the roomier side, narrower if
// need be; else below or above it, lower if need be; over the dialog only
// when no side leaves the minimum, and then where it covers the least of the
// dialog's buttons, then the least of the dialog.
class BesidePlacement
{
public:
    // The frame's top left corner (for move()) and the window's own size
    // (for resize()); null when there is no screen.
    static QRect place(const QWidget *dialog, QSize preferred, QSize minimum);

    // Whether a window with this frame stands over one of the dialog's buttons.
    static bool coversButtons(const QRect &frame, const QWidget *dialog);

    // Moves and shrinks the window as little as needed to be wholly on its screen.
    static void keepOnScreen(QWidget *window);

private:
    static QRect placeOverLeast(const QWidget *dialog, const QRect &area, QSize size, QSize minimum,
                                const QSize &frame);
};

} // namespace vantor::gui
