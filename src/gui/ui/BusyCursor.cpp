#include "ui/BusyCursor.h"

#include <QApplication>

namespace vantor::gui {

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The job blocks right after this; the cursor has to change first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

} // namespace vantor::gui
