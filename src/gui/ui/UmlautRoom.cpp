#include "ui/UmlautRoom.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace vantor::gui {

int umlautOvershoot(const QFontMetrics &metrics)
{
    return std::max(0, -metrics.tightBoundingRect(QStringLiteral("ÄÖÜ")).top() - metrics.ascent());
}

void makeRoomForUmlautDots(QLabel *label)
{
    const QMargins margins = label->contentsMargins();
    const int room = umlautOvershoot(label->fontMetrics());
    if (margins.top() < room)
        label->setContentsMargins(margins.left(), room, margins.right(), margins.bottom());
}

} // namespace vantor::gui
