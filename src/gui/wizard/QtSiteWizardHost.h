#pragma once

#include "wizard/SiteWizard.h"

#include <QPointer>
#include <QWidget>

namespace vantor::gui {

// The site wizard on our dialogs: the homepage file dialog, the data pages,
// "Wizard beenden?" and the optimisation dialog at the end, all over the
// window that started it.
class QtSiteWizardHost : public SiteWizardHost
{
public:
    explicit QtSiteWizardHost(QWidget *parent);

    Ui &ui() override;
    std::optional<std::string> chooseHomepageFile(const std::string &storedPath) override;
    PageResult showPage(WizardPage page) override;
    EndChoice askEndWizard() override;
    void runOptimization() override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace vantor::gui
