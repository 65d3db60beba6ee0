#pragma once

#include <QString>

namespace vantor::gui {

// The note a button shows while the dialog it belongs to is still to come.
// The screens of later versions replace the calls one by one.
void showNotYetAvailable(const QString &function);

} // namespace vantor::gui
