#include "WizardPagesSupport.h"

#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "project/WizardMenu.h"
#include "ui/QtText.h"
#include "wizard/LimitedTextEdit.h"
#include "wizard/QtSiteWizardHost.h"
#include "wizard/SiteWizard.h"
#include "wizard/WizardPageDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QString kGapMarker = QStringLiteral("---- leeres feld ----");

QStringList itemsOf(QListWidget *list)
{
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

// The record as the project file holds it now.
ProjectRecord storedRecord()
{
    const ProjectRecord inMemory = projectRecord();
    ResetProjectRecord();
    LoadProjectData(programSettings().currentProject);
    ProjectRecord stored = projectRecord();
    projectRecord() = inMemory;
    return stored;
}

} // namespace

class SiteWizardPagesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_homepage = copyExampleSite(m_env->path());
        programSettings().userLevel = 2;
        WizardPageDialog::setAnalysisTimerEnabled(false);
        m_names.clear();
    }
    void cleanup()
    {
        WizardPageDialog::setAnalysisTimerEnabled(true);
        m_env.reset();
    }

    void walkingForwardAndBackKeepsWhatWasTypedAndEndsInTheOptimization()
    {
        storeStandardProject(m_homepage, []() {
            projectRecord().homepageKeywords[0].set("Stauden");
            projectOptions().tico = 1;
            projectOptions().deco = 1;
        });
        // Shown before the first step is queued, or the menu would take it.
        WizardMenu menu;
        menu.show();
        settle();
        m_env->hooks().pushFileName(m_homepage);

        step([&](QWidget *page) {
            QCOMPARE(page->findChild<QLabel *>(QStringLiteral("headerLabel"))->text(),
                     QStringLiteral("Projekt: Standardprojekt\n(") + m_homepage + QLatin1Char(')'));
            QVERIFY(!findButton(page, QStringLiteral("Zurück")));
            QCOMPARE(page->focusWidget(), lineEdit(page, QStringLiteral("title1Edit")));
            QTest::keyClicks(lineEdit(page, QStringLiteral("title1Edit")), QStringLiteral("Stauden aus Meisterhand"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            QCOMPARE(page->focusWidget(), lineEdit(page, QStringLiteral("field4000")));
            QCOMPARE(lineEdit(page, QStringLiteral("field4000"))->text(), QStringLiteral("Stauden"));
            QCOMPARE(lineEdit(page, QStringLiteral("field4001"))->text(), QStringLiteral("Suchbegriff2"));
            QCOMPARE(lineEdit(page, QStringLiteral("field4002"))->text(), QStringLiteral("Suchbegriff3"));
            retype(lineEdit(page, QStringLiteral("field4001")), QString());
            retype(lineEdit(page, QStringLiteral("field4002")), QStringLiteral("Gräser"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
            // The gap is marked in its own field, and the page stays.
            QVERIFY(page->isVisible());
            QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Leeres Feld für Suchbegriff"));
            QCOMPARE(lineEdit(page, QStringLiteral("field4001"))->text(), kGapMarker);
            QCOMPARE(lineEdit(page, QStringLiteral("field4002"))->text(), QStringLiteral("Gräser"));
            QCOMPARE(page->focusWidget(), lineEdit(page, QStringLiteral("field4001")));
            // The marker itself blocks every button until it is replaced.
            QVERIFY(clickButton(page, QStringLiteral("Zurück")));
            QVERIFY(page->isVisible());
            QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Feld korrigieren"));
            retype(lineEdit(page, QStringLiteral("field4001")), QStringLiteral("Farne"));
            QTest::keyClicks(lineEdit(page, QStringLiteral("field4100")), QStringLiteral("Rosen"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            QCOMPARE(page->findChild<QLabel *>(QStringLiteral("headerLabel"))->text(),
                     QStringLiteral("Projekt: Standardprojekt (") + m_homepage + QLatin1Char(')'));
            QLineEdit *first = lineEdit(page, QStringLiteral("copyTitle1Edit"));
            QLineEdit *second = lineEdit(page, QStringLiteral("copyTitle2Edit"));
            QVERIFY(first->isEnabled());
            QVERIFY(!second->isEnabled());
            QCOMPARE(second->text(),
                     QStringLiteral("Keine Suchbegriffe vorhanden, daher kann kein Titel eingegeben werden"));
            QCOMPARE(page->focusWidget(), first);
            first->insert(QStringLiteral("Rosen für jeden Garten"));
            QVERIFY(clickButton(page, QStringLiteral("Zurück")));
        });
        step([&](QWidget *page) {
            QCOMPARE(lineEdit(page, QStringLiteral("field4001"))->text(), QStringLiteral("Farne"));
            QCOMPARE(lineEdit(page, QStringLiteral("field4100"))->text(), QStringLiteral("Rosen"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            QCOMPARE(lineEdit(page, QStringLiteral("copyTitle1Edit"))->text(), QStringLiteral("Rosen für jeden Garten"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            auto *first = page->findChild<LimitedTextEdit *>(QStringLiteral("copyDescription1Edit"));
            auto *second = page->findChild<LimitedTextEdit *>(QStringLiteral("copyDescription2Edit"));
            QVERIFY(first && second && first->isEnabled() && !second->isEnabled());
            QCOMPARE(second->toPlainText(), QStringLiteral("Keine Suchbegriffe für diese Kopie vorhanden"));
            QCOMPARE(page->focusWidget(), first);
            QTest::keyClicks(first, QStringLiteral("Rosen"));
            QTest::keyClick(first, Qt::Key_Return);
            QTest::keyClicks(first, QStringLiteral("in allen Farben"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            QCOMPARE(itemsOf(page->findChild<QListWidget *>(QStringLiteral("existingList"))),
                     (QStringList{QStringLiteral("Farne"), QStringLiteral("Gräser"), QStringLiteral("Rosen"),
                                  QStringLiteral("Stauden")}));
            auto *like = page->findChild<QRadioButton *>(QStringLiteral("likeHomepageRadio"));
            auto *other = page->findChild<QRadioButton *>(QStringLiteral("otherRadio"));
            QLineEdit *name = lineEdit(page, QStringLiteral("startpageEdit"));
            QLineEdit *term = lineEdit(page, QStringLiteral("newTermEdit"));
            QCOMPARE(like->text(), QStringLiteral("wie Homepage: \"index.htm\""));
            QVERIFY(like->isChecked());
            QVERIFY(!name->isEnabled());
            QCOMPARE(page->focusWidget(), term);
            QTest::keyClicks(term, QStringLiteral("Schattenstauden"));
            QVERIFY(clickButton(page, QStringLiteral("Hinzufügen --->")));
            QCOMPARE(term->text(), QString());
            // Return in the term field adds; it does not leave the page.
            QTest::keyClicks(term, QStringLiteral("stauden"));
            QTest::keyClick(term, Qt::Key_Return);
            QVERIFY(page->isVisible());
            QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Suchbegriff bereits vorhanden"));
            QCOMPARE(itemsOf(page->findChild<QListWidget *>(QStringLiteral("doorwayList"))),
                     QStringList{QStringLiteral("Schattenstauden")});
            clickIndicator(other);
            QVERIFY(name->isEnabled());
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
            QVERIFY(page->isVisible());
            QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehlende Daten"));
            QTest::keyClicks(name, QStringLiteral("start.htm"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("OK"))); });
        step([&](QWidget *page) { qobject_cast<QDialog *>(page)->reject(); });

        WizardWatchdog watchdog;
        QVERIFY(clickButton(&menu, QStringLiteral("Web-Site")));

        QCOMPARE(watchdog.rescues(), 0);
        QCOMPARE(m_names, (QStringList{QStringLiteral("titlesPage"), QStringLiteral("keywordGridPage"),
                                       QStringLiteral("copyTitlesPage"), QStringLiteral("keywordGridPage"),
                                       QStringLiteral("copyTitlesPage"), QStringLiteral("copyDescriptionsPage"),
                                       QStringLiteral("doorwayPage"), QStringLiteral("spaceEstimateDialog"),
                                       QStringLiteral("optimizationDialog")}));
        // Saved before the optimisation opened.
        const ProjectRecord stored = storedRecord();
        QCOMPARE(stored.title1.str(), std::string("Stauden aus Meisterhand"));
        QCOMPARE(stored.homepageKeywords[0].str(), std::string("Stauden"));
        QCOMPARE(stored.homepageKeywords[1].str(), std::string("Farne"));
        QCOMPARE(fromCp1252(stored.homepageKeywords[2].str()), QStringLiteral("Gräser"));
        QCOMPARE(stored.homepageKeywords[3].str(), std::string());
        QCOMPARE(stored.copyKeywords[0][0].str(), std::string("Rosen"));
        QCOMPARE(fromCp1252(stored.copyTitles[0].str()), QStringLiteral("Rosen für jeden Garten"));
        // The field keeps the line break as CR LF; the project file has one
        // line per key and writes it as blanks.
        QCOMPARE(projectRecord().copyDescriptions[0].str(), std::string("Rosen\r\nin allen Farben"));
        QCOMPARE(stored.copyDescriptions[0].str(), std::string("Rosen  in allen Farben"));
        QCOMPARE(stored.doorwayKeywords[0].str(), std::string("Schattenstauden"));
        QCOMPARE(stored.doorlikehp, 0);
        QCOMPARE(stored.startpage.str(), std::string("start.htm"));
        QCOMPARE(fromCp1252(stored.path.str()), m_homepage);
    }

    void cancelOnTheGridThenBackToTheWizardKeepsTheTerms()
    {
        storeStandardProject(m_homepage);
        const QByteArray before = readAll(standardProjectPath());
        m_env->hooks().pushFileName(m_homepage);
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("Weiter"))); });
        step([&](QWidget *page) {
            retype(lineEdit(page, QStringLiteral("field4001")), QStringLiteral("Farne"));
            QVERIFY(clickButton(page, QStringLiteral("Abbrechen")));
        });
        step([&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Wizard beenden?"));
            QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("endText"))->text(),
                     QStringLiteral("Wenn Sie jetzt den Wizard beenden, wird die Optimierung abgebrochen. Sie können "
                                    "aber die bisher erfaßten Daten speichern."));
            auto *save = dialog->findChild<QCheckBox *>(QStringLiteral("saveCheck"));
            QCOMPARE(save->text(), QStringLiteral("Alle bisher erfaßten Daten speichern"));
            QVERIFY(findButton(dialog, QStringLiteral("Wizard beenden")));
            QVERIFY(clickButton(dialog, QStringLiteral("Zurück zum Wizard")));
        });
        step([&](QWidget *page) {
            QCOMPARE(lineEdit(page, QStringLiteral("field4001"))->text(), QStringLiteral("Farne"));
            // Escape is cancel too.
            QTest::keyClick(page, Qt::Key_Escape);
        });
        step([&](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("saveCheck"))->setChecked(false);
            QVERIFY(clickButton(dialog, QStringLiteral("Wizard beenden")));
        });
        // Nothing after the wizard ended: this one is left for nobody.
        m_env->hooks().onNextShown([&](QWidget *) { m_names.append(QStringLiteral("unexpected")); });

        WizardWatchdog watchdog;
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(false, host);
        settle();

        QCOMPARE(watchdog.rescues(), 0);
        QCOMPARE(m_names, (QStringList{QStringLiteral("titlesPage"), QStringLiteral("keywordGridPage"),
                                       QStringLiteral("askEndWizardDialog"), QStringLiteral("keywordGridPage"),
                                       QStringLiteral("askEndWizardDialog")}));
        QCOMPARE(m_env->hooks().pendingActions(), 1);
        // Ended without saving: the file keeps its terms, the record what was typed.
        QCOMPARE(readAll(standardProjectPath()), before);
        QCOMPARE(projectRecord().homepageKeywords[1].str(), std::string("Farne"));
    }

    void endingWithSaveStoresThePageThatWasCancelled()
    {
        storeStandardProject(m_homepage);
        m_env->hooks().pushFileName(m_homepage);
        step([&](QWidget *page) {
            lineEdit(page, QStringLiteral("title1Edit"))->insert(QStringLiteral("Gärtnerei am Fluss"));
            QVERIFY(clickButton(page, QStringLiteral("Abbrechen")));
        });
        step([&](QWidget *dialog) {
            QVERIFY(dialog->findChild<QCheckBox *>(QStringLiteral("saveCheck"))->isChecked());
            QVERIFY(clickButton(dialog, QStringLiteral("Wizard beenden")));
        });
        m_env->hooks().onNextShown([&](QWidget *) { m_names.append(QStringLiteral("unexpected")); });

        WizardWatchdog watchdog;
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(false, host);
        settle();

        QCOMPARE(watchdog.rescues(), 0);
        QCOMPARE(m_names, (QStringList{QStringLiteral("titlesPage"), QStringLiteral("askEndWizardDialog")}));
        QCOMPARE(fromCp1252(storedRecord().title1.str()), QStringLiteral("Gärtnerei am Fluss"));
    }

    void withoutCopyPagesBackFromTheDoorwaysReturnsToTheGrid()
    {
        storeStandardProject(m_homepage, []() { projectRecord().copyKeywords[0][0].set("Rosen"); });
        m_env->hooks().pushFileName(m_homepage);
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("Weiter"))); });
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("Weiter"))); });
        step([&](QWidget *page) {
            QTest::keyClicks(lineEdit(page, QStringLiteral("newTermEdit")), QStringLiteral("Schattenstauden"));
            QVERIFY(clickButton(page, QStringLiteral("Hinzufügen --->")));
            // Back leaves even with a start page that cannot be stored.
            clickIndicator(page->findChild<QRadioButton *>(QStringLiteral("otherRadio")));
            lineEdit(page, QStringLiteral("startpageEdit"))->clear();
            QVERIFY(clickButton(page, QStringLiteral("Zurück")));
        });
        step([&](QWidget *page) {
            QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehlende Daten"));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            QCOMPARE(itemsOf(page->findChild<QListWidget *>(QStringLiteral("doorwayList"))),
                     QStringList{QStringLiteral("Schattenstauden")});
            QVERIFY(page->findChild<QRadioButton *>(QStringLiteral("otherRadio"))->isChecked());
            clickIndicator(page->findChild<QRadioButton *>(QStringLiteral("likeHomepageRadio")));
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("Zurück"))); });
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("Weiter"))); });
        step([&](QWidget *page) { QVERIFY(clickButton(page, QStringLiteral("OK"))); });
        step([&](QWidget *page) { qobject_cast<QDialog *>(page)->reject(); });

        WizardWatchdog watchdog;
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(false, host);

        QCOMPARE(watchdog.rescues(), 0);
        QCOMPARE(m_names,
                 (QStringList{QStringLiteral("titlesPage"), QStringLiteral("keywordGridPage"),
                              QStringLiteral("doorwayPage"), QStringLiteral("keywordGridPage"),
                              QStringLiteral("doorwayPage"), QStringLiteral("spaceEstimateDialog"),
                              QStringLiteral("doorwayPage"), QStringLiteral("spaceEstimateDialog"),
                              QStringLiteral("optimizationDialog")}));
        const ProjectRecord stored = storedRecord();
        QCOMPARE(stored.doorwayKeywords[0].str(), std::string("Schattenstauden"));
        QCOMPARE(stored.doorlikehp, 1);
    }

    void theAnalysesFillThePagesFromTheHomepage()
    {
        storeStandardProject(m_homepage);
        // With the timer on, the titles page asks by itself a moment after it opened.
        WizardPageDialog::setAnalysisTimerEnabled(true);
        step([&](QWidget *page) {
            QTRY_VERIFY(m_env->hooks().showedTitle(QStringLiteral("Dokument analysieren")));
            QCOMPARE(lastShown(QStringLiteral("question")).text,
                     QStringLiteral("Es sind noch keine Daten eingegeben. Vantor!! kann nun für Sie versuchen, die "
                                    "Informationen aus dem Dokument zu lesen. Wenn Sie dies möchten, klicken Sie "
                                    "\"Ok\", ansonsten auf \"Abbruch\".\nHinweis: Sie sollten alle gefundenen "
                                    "Informationen unbedingt überarbeiten (Siehe Hinweise im Dialog unter \"Info\" "
                                    "und in der Hilfe!)"));
            QCOMPARE(lineEdit(page, QStringLiteral("title1Edit"))->text(),
                     QStringLiteral("Gärtnerei Sonnenblume - Stauden, Kräuter und Obstgehölze"));
            QCOMPARE(page->findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"))->toPlainText(),
                     QStringLiteral("Die Gärtnerei Sonnenblume in Lindenfeld: Stauden, Kräuter und Obstgehölze aus "
                                    "eigener Anzucht."));
            QVERIFY(!QApplication::overrideCursor());
            QVERIFY(clickButton(page, QStringLiteral("Weiter")));
        });
        step([&](QWidget *page) {
            m_env->hooks().clearShown();
            QTRY_VERIFY(m_env->hooks().showedTitle(QStringLiteral("Dokument analysieren")));
            QVERIFY(lastShown(QStringLiteral("question")).text.startsWith(
                QStringLiteral("Es sind noch keine Suchbegriffe eingegeben. ")));
            const QStringList expected{QStringLiteral("Gärtnerei"), QStringLiteral("Stauden"),
                                       QStringLiteral("Kräuter"), QStringLiteral("Obstbäume"),
                                       QStringLiteral("Beerensträucher")};
            for (int i = 0; i < expected.size(); ++i)
                QCOMPARE(lineEdit(page, QStringLiteral("field%1").arg(4000 + i))->text(), expected[i]);
            QCOMPARE(lineEdit(page, QStringLiteral("field4005"))->text(), QString());
            QVERIFY(!QApplication::overrideCursor());
            QVERIFY(clickButton(page, QStringLiteral("Abbrechen")));
        });
        step([&](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("saveCheck"))->setChecked(false);
            QVERIFY(clickButton(dialog, QStringLiteral("Wizard beenden")));
        });
        m_env->hooks().pushFileName(m_homepage);
        WizardWatchdog watchdog;
        QtSiteWizardHost host(nullptr);
        RunSiteWizard(false, host);
        QCOMPARE(watchdog.rescues(), 0);
        QCOMPARE(m_names, (QStringList{QStringLiteral("titlesPage"), QStringLiteral("keywordGridPage"),
                                       QStringLiteral("askEndWizardDialog")}));
    }

    void theAnalysisIsOfferedOnlyForUntouchedPages()
    {
        storeStandardProject(m_homepage);
        projectRecord().path.set(toCp1252(m_homepage));
        {
            KeywordGridPage grid;
            grid.show();
            settle();
            retype(grid.field(2), QStringLiteral("Farne"));
            grid.offerAnalysisNow();
            QVERIFY(!m_env->hooks().showedTitle(QStringLiteral("Dokument analysieren")));
            retype(grid.field(2), QStringLiteral("Suchbegriff3"));
            // "Abbruch" leaves the placeholders.
            m_env->hooks().pushQuestionAnswer(false);
            grid.offerAnalysisNow();
            QVERIFY(m_env->hooks().showedTitle(QStringLiteral("Dokument analysieren")));
            QCOMPARE(grid.field(0)->text(), QStringLiteral("Suchbegriff1"));
            grid.reject();
        }
        m_env->hooks().clearShown();
        // A homepage without keywords: the answer says so, and the wait
        // cursor is gone again.
        writeAll(m_homepage, "<html><head><title></title></head><body>leer</body></html>");
        KeywordGridPage grid;
        grid.show();
        settle();
        grid.offerAnalysisNow();
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Keine Informationen gefunden"));
        QCOMPARE(grid.field(0)->text(), QStringLiteral("Suchbegriff1"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void webSiteQuickStillWritesOnlyThePath()
    {
        storeStandardProject(m_env->path() + QStringLiteral("/alt/index.htm"), []() {
            projectRecord().title1.set("Alter Titel");
            projectRecord().homepageKeywords[0].set("Stauden");
        });
        const QList<QByteArray> before = readAll(standardProjectPath()).split('\n');
        WizardMenu menu;
        menu.show();
        settle();
        m_env->hooks().pushFileName(m_homepage);
        step([&](QWidget *page) { qobject_cast<QDialog *>(page)->reject(); });
        WizardWatchdog watchdog;
        QVERIFY(clickButton(&menu, QStringLiteral("Web-Site Quick")));

        QCOMPARE(m_names, QStringList{QStringLiteral("optimizationDialog")});
        const QList<QByteArray> after = readAll(standardProjectPath()).split('\n');
        QCOMPARE(after.size(), before.size());
        QStringList changed;
        for (int i = 0; i < after.size(); ++i)
            if (after[i] != before[i])
                changed.append(QString::fromLatin1(before[i].left(5)) + QStringLiteral(" -> ") +
                               fromCp1252(after[i].trimmed().toStdString()));
        QCOMPARE(changed, QStringList{QStringLiteral("path= -> path=") + m_homepage});
    }

private:
    // The next window that shows is handed to `act`, after its name is noted.
    void step(std::function<void(QWidget *)> act)
    {
        m_env->hooks().onNextShown([this, act](QWidget *window) {
            m_names.append(window->objectName());
            act(window);
        });
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_homepage;
    QStringList m_names;
};

QTEST_MAIN(SiteWizardPagesTest)
#include "SiteWizardPagesTest.moc"
