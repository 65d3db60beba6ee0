#pragma once

#include <QIcon>
#include <QPixmap>

namespace vantor::gui {

// The small pictures in front of the lines of a submission: one 14-pixel
// square per state, side by side in one strip, so that a state is simply an
// index into it (1 error, 3 accepted, 4 working or unknown answer, 5 already
// listed or idle, 7 server down, 8 time-out, 9 rejected; the others empty).
class SubmitStateImages
{
public:
    static constexpr int kSize = 14;
    static constexpr int kCount = 10;

    // Drawn once, on first use.
    static const QPixmap &strip();
    // One square of the strip; an index outside it gives an empty icon.
    static QIcon icon(int index);
    static QPixmap pixmap(int index);
};

} // namespace vantor::gui
