#include "project/NotYetAvailable.h"

#include "project/MainMenu.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

namespace vantor::gui {

void showNotYetAvailable(const QString &function)
{
    currentUi().message(notYetAvailableTitle(), notYetAvailableText(toCp1252(function)));
}

} // namespace vantor::gui
