#pragma once

#include "ui/SkinnedDialog.h"

namespace vantor::gui {

// A dialog whose run or effect pumps the events while it goes on: it is on
// the stack below, so neither OK, Escape nor the close box may take the
// dialog away from under it.
class GuardedDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    using SkinnedDialog::SkinnedDialog;

    void accept() override;
    void reject() override;

protected:
    // True while the dialog must stay.
    virtual bool closingBlocked() const = 0;
};

} // namespace vantor::gui
