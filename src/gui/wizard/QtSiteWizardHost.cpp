#include "wizard/QtSiteWizardHost.h"

#include "optimizer/OptimizationDialog.h"
#include "optimizer/SpaceEstimateDialog.h"
#include "project/ProjectRecord.h"
#include "ui/DialogHooks.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

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

PageResult QtSiteWizardHost::showPage(WizardPage page)
{
    // Only the last page is built so far; the menu does not start the full
    // form until the others are.
    if (page != WizardPage::KindOfOptimisation)
        return PageResult::Cancel;
    SpaceEstimateDialog dialog(projectRecord(), m_parent);
    dialog.exec();
    return dialog.pageResult();
}

EndChoice QtSiteWizardHost::askEndWizard() { return EndChoice::End; }

void QtSiteWizardHost::runOptimization()
{
    OptimizationDialog dialog(m_parent);
    dialog.exec();
}

} // namespace vantor::gui
