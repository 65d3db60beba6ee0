#pragma once

#include "ui/SkinnedDialog.h"

class QLineEdit;

namespace vantor::gui {

// "Newsletter": the free "Sitecast" news. The address is checked here; the
// subscription itself is made by the browser on the maker's page.
class NewsletterDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    static constexpr int kAddressLength = 259;

    explicit NewsletterDialog(QWidget *parent = nullptr);

private:
    void onSubscribeClicked();
    void onCancelClicked();
    void onHelpClicked();

    QLineEdit *m_address = nullptr;
};

} // namespace vantor::gui
