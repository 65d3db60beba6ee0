#include "wizard/QtSiteWizardHost.h"

#include "optimizer/OptimizationDialog.h"
#include "optimizer/SpaceEstimateDialog.h"
#include "project/ProjectRecord.h"
#include "ui/DialogHooks.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "wizard/AskEndWizardDialog.h"
#include "wizard/CopyDescriptionsPage.h"
#include "wizard/CopyTitlesPage.h"
#include "wizard/DoorwayPage.h"
#include "wizard/KeywordGridPage.h"
#include "wizard/TitlesPage.h"

namespace vantor::gui {

QtSiteWizardHost::QtSiteWizardHost(QWidget *parent)
    : m_parent(parent)
{
}

Ui &QtSiteWizardHost::ui() { return currentUi(); }

std::optional<std::string> QtSiteWizardHost::chooseHomepageFile(const std::string &storedPath)
{
    // Title and filter are UTF-8; the stored path is the engine's cp1252.
    const QString chosen = askOpenFileName(m_parent, QString::fromUtf8(kHomepageDialogTitle), fromCp1252(storedPath),
                                           qtFileFilter(QString::fromUtf8(kHomepageFilter)));
    if (chosen.isEmpty())
        return std::nullopt;
    // A path the project file cannot hold would come back as another file.
    if (const auto problem = homepagePathProblem(chosen.toStdString())) {
        ui().message(problem->title, problem->text);
        return std::nullopt;
    }
    return toCp1252(chosen);
}

namespace {

template<typename Page>
PageResult runPage(QWidget *parent)
{
    Page page(parent);
    page.exec();
    return page.pageResult();
}

} // namespace

PageResult QtSiteWizardHost::showPage(WizardPage page)
{
    switch (page) {
    case WizardPage::Titles:
        return runPage<TitlesPage>(m_parent);
    case WizardPage::KeywordGrid:
        return runPage<KeywordGridPage>(m_parent);
    case WizardPage::CopyTitles:
        return runPage<CopyTitlesPage>(m_parent);
    case WizardPage::CopyDescriptions:
        return runPage<CopyDescriptionsPage>(m_parent);
    case WizardPage::Doorways:
        return runPage<DoorwayPage>(m_parent);
    case WizardPage::KindOfOptimisation:
        break;
    }
    SpaceEstimateDialog dialog(projectRecord(), m_parent);
    dialog.exec();
    return dialog.pageResult();
}

EndChoice QtSiteWizardHost::askEndWizard()
{
    AskEndWizardDialog dialog(m_parent);
    dialog.exec();
    return dialog.choice();
}

void QtSiteWizardHost::runOptimization()
{
    OptimizationDialog dialog(m_parent);
    dialog.exec();
}

} // namespace vantor::gui
