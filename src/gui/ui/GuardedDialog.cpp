#include "ui/GuardedDialog.h"

namespace vantor::gui {

void GuardedDialog::accept()
{
    if (closingBlocked())
        return;
    SkinnedDialog::accept();
}

void GuardedDialog::reject()
{
    if (closingBlocked())
        return;
    SkinnedDialog::reject();
}

} // namespace vantor::gui
