#include "GuiTestSupport.h"

#include "optimizer/OptimizationDialog.h"
#include "platform/Help.h"
#include "project/MainMenu.h"
#include "project/ProgramSettings.h"
#include "project/ProjectRecord.h"
#include "project/WizardMenu.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "wizard/QtSiteWizardHost.h"
#include "wizard/SiteWizard.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QListView>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QString kTitle = QStringLiteral("Homepage öffnen (Startseite der Web-Site)");
const QStringList kFilterTexts{QStringLiteral("HTML Datei (*.htm;*.html;*.htx;*.asp;*.shtml;*.shtm;*.sht)"),
                               QStringLiteral("SHTML Datei (*.shtml;*.shtm;*.sht)"),
                               QStringLiteral("Vorproduziertes HTML (*.asp; *.htx)"),
                               QStringLiteral("Rich Text Format (*.rtf)"),
                               QStringLiteral("Parsed HTML (*.phtml;*.php)"),
                               QStringLiteral("Alle Dateien (*.*)")};

// The names the file dialog lists right now.
QStringList listedNames(QFileDialog *dialog)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    if (!view || !view->model())
        return {};
    QStringList names;
    const QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row)
        names.append(model->index(row, 0, view->rootIndex()).data().toString());
    names.sort();
    return names;
}

} // namespace

class WebSiteQuickTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_homepage = copyExampleSite(m_env->path());
        m_site = QFileInfo(m_homepage).path();
        // The project still points at the homepage of an earlier place.
        storeStandardProject(m_env->path() + QStringLiteral("/alt/index.htm"),
                             []() { projectRecord().homepageKeywords[0].set("Stauden"); });
    }
    void cleanup() { m_env.reset(); }

    void filterListKeepsEveryTextAndFiltersByItsPatterns()
    {
        QCOMPARE(qtFileFilter(QString::fromUtf8(kHomepageFilter)),
                 QStringLiteral("HTML Datei (*.htm;*.html;*.htx;*.asp;*.shtml;*.shtm;*.sht) "
                                "(*.htm *.html *.htx *.asp *.shtml *.shtm *.sht);;"
                                "SHTML Datei (*.shtml;*.shtm;*.sht) (*.shtml *.shtm *.sht);;"
                                "Vorproduziertes HTML (*.asp; *.htx) (*.asp *.htx);;"
                                "Rich Text Format (*.rtf) (*.rtf);;"
                                "Parsed HTML (*.phtml;*.php) (*.phtml *.php);;"
                                "Alle Dateien (*.*) (*)"));
        QCOMPARE(qtFileFilter(QStringLiteral("Nur Text|*.txt||Danach nichts|*.x||")), QStringLiteral("Nur Text (*.txt)"));
        QCOMPARE(qtFileFilter(QString()), QString());
    }

    void chosenHomepageIsStoredAndTheOptimizationDialogOpens()
    {
        programSettings().userLevel = 1;
        WizardMenu menu;
        menu.show();
        settle();
        m_env->hooks().pushFileName(m_homepage);
        std::vector<QString> linesAtOpen;
        QString opened;
        m_env->hooks().onNextShown([&](QWidget *window) {
            opened = window->objectName();
            auto *report = window->findChild<QTreeWidget *>(QStringLiteral("reportList"));
            for (int i = 0; report && i < report->topLevelItemCount(); ++i)
                linesAtOpen.push_back(report->topLevelItem(i)->text(1));
            // Leaving before the run: the question is answered "OK".
            qobject_cast<QDialog *>(window)->reject();
        });
        QTest::mouseClick(findButton(&menu, QStringLiteral("Web-Site Quick")), Qt::LeftButton);

        QCOMPARE(opened, QStringLiteral("optimizationDialog"));
        QCOMPARE(linesAtOpen, (std::vector<QString>{QStringLiteral("Daten zur Optimierung liegen vor"),
                                                    QStringLiteral("Optimierung kann gestartet werden...")}));
        const std::vector<ShownBox> &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].title, QStringLiteral("Homepage öffnen"));
        QCOMPARE(shown[0].text, QStringLiteral("Bitte öffnen Sie im folgenden Dialog die Homepage der zu "
                                               "optimierenden Web-Site. Die Homepage ist die Startseite Ihrer "
                                               "Web-Site."));
        QCOMPARE(shown[1].title, QStringLiteral("Optimierung noch nicht durchgeführt"));

        const std::vector<DialogHooks::FileRequest> &requests = m_env->hooks().fileRequests();
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(requests[0].caption, kTitle);
        QCOMPARE(requests[0].directory, m_env->path() + QStringLiteral("/alt/index.htm"));
        QCOMPARE(requests[0].filter, qtFileFilter(QString::fromUtf8(kHomepageFilter)));

        QVERIFY(readAll(standardProjectPath()).contains(m_homepage.toUtf8()));
        QCOMPARE(fromCp1252(projectRecord().path.str()), m_homepage);
        QCOMPARE(fromCp1252(projectRecord().homepageDirectory.str()), m_site);
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/~report.htm")));
        QVERIFY(menu.isVisible());
    }

    void cancellingTheFileDialogWritesNothing()
    {
        programSettings().userLevel = 2;
        const QByteArray before = readAll(standardProjectPath());
        m_env->hooks().pushFileName(QString());
        m_env->hooks().onNextShown([](QWidget *window) { qobject_cast<QDialog *>(window)->reject(); });
        WizardMenu menu(nullptr);
        // The menu itself is not shown, so a dialog that opened would take
        // the pending action.
        findButton(&menu, QStringLiteral("Web-Site Quick"))->click();
        settle();
        QCOMPARE(m_env->hooks().pendingActions(), 1);
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(m_env->hooks().fileRequests().size(), std::size_t(1));
        QCOMPARE(readAll(standardProjectPath()), before);
        QVERIFY(m_env->helpTopics.empty());
    }

    void homepageWithFramesShowsTheNoteAndItsHelp()
    {
        writeAll(m_homepage, "<html><head><title>Rahmen</title></head>\r\n"
                             "<frameset cols=\"20%,80%\"><frame src=\"menu.htm\"><frame src=\"sortiment.htm\">"
                             "</frameset></html>\r\n");
        m_env->hooks().pushFileName(m_homepage);
        QString opened;
        m_env->hooks().onNextShown([&](QWidget *window) {
            opened = window->objectName();
            qobject_cast<QDialog *>(window)->reject();
        });
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(true, host);

        QCOMPARE(m_env->helpTopics, std::vector<int>{help::kFramePages});
        const ShownBox box = m_env->hooks().shown().front();
        QCOMPARE(box.title, QStringLiteral("Homepage enthält Frames"));
        QCOMPARE(box.text, QStringLiteral("Die Homepage enthält Frames. Beachten Sie bitte unbedingt die Hinweise in "
                                          "der Hilfe für Seiten mit Frames, um eine möglichst gute Optimierung zu "
                                          "gewährleisten!"));
        QCOMPARE(opened, QStringLiteral("optimizationDialog"));
    }

    void brokenHomepageEndsTheWizardBeforeTheDialog()
    {
        writeAll(m_homepage, "<html><body></body></html>");
        m_env->hooks().pushFileName(m_homepage);
        m_env->hooks().onNextShown([](QWidget *window) { qobject_cast<QDialog *>(window)->reject(); });
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(true, host);
        settle();
        QCOMPARE(m_env->hooks().pendingActions(), 1);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Kein Element <HEAD> gefunden"));
    }

    void theFileDialogShowsOurTextsAndListsByThem()
    {
        writeAll(m_site + QStringLiteral("/LIESMICH"), "ohne Endung");
        writeAll(m_site + QStringLiteral("/seite.shtml"), "<html></html>");
        projectRecord().path.set(toCp1252(m_homepage));
        QString title;
        QStringList types;
        QString directory;
        QStringList htmlNames;
        QStringList allNames;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        m_env->hooks().onNextShown([&](QWidget *window) {
            auto *files = qobject_cast<QFileDialog *>(window);
            QVERIFY(files);
            // Closed however the checks below end, or the test would hang.
            struct Closer {
                QFileDialog *dialog;
                ~Closer() { dialog->reject(); }
            } closer{files};
            title = files->windowTitle();
            mode = files->fileMode();
            // Wide enough for the size, type and date columns.
            const QSize room = files->screen()->availableGeometry().size();
            QCOMPARE(files->width(), std::min(820, room.width() - 40));
            directory = files->directory().absolutePath();
            auto *combo = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            for (int i = 0; i < combo->count(); ++i)
                types.append(combo->itemText(i));
            // The file system model fills the list from a thread of its own.
            QTRY_VERIFY(listedNames(files).contains(QStringLiteral("index.htm")));
            QTRY_VERIFY(listedNames(files).contains(QStringLiteral("vantor!!")));
            htmlNames = listedNames(files);
            // No text in the details view is cut off.
            files->setViewMode(QFileDialog::Detail);
            auto *details = files->findChild<QTreeView *>(QStringLiteral("treeView"));
            QVERIFY(details && details->model());
            auto allFit = [details]() {
                const QModelIndex root = details->rootIndex();
                for (int row = 0; row < details->model()->rowCount(root); ++row) {
                    for (int column = 1; column < details->header()->count(); ++column) {
                        const QString text = details->model()->index(row, column, root).data().toString();
                        if (details->fontMetrics().horizontalAdvance(text) > details->header()->sectionSize(column))
                            return false;
                    }
                }
                return true;
            };
            QTRY_VERIFY(allFit());
            files->selectNameFilter(files->nameFilters().last());
            QTRY_VERIFY(listedNames(files).contains(QStringLiteral("LIESMICH")));
            allNames = listedNames(files);
        });
        QtSiteWizardHost host(nullptr);
        QCOMPARE(host.chooseHomepageFile(toCp1252(m_homepage)), std::nullopt);

        QCOMPARE(title, kTitle);
        QCOMPARE(types, kFilterTexts);
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(directory, m_site);
        QCOMPARE(htmlNames, (QStringList{QStringLiteral("anfahrt.htm"), QStringLiteral("index.htm"),
                                         QStringLiteral("kontakt.htm"), QStringLiteral("seite.shtml"),
                                         QStringLiteral("sortiment.htm"), QStringLiteral("vantor!!")}));
        QVERIFY(allNames.contains(QStringLiteral("logo.gif")));
        QVERIFY(allNames.contains(QStringLiteral("LIESMICH")));
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_homepage;
    QString m_site;
};

QTEST_MAIN(WebSiteQuickTest)
#include "WebSiteQuickTest.moc"
