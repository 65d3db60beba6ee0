#include "WizardPagesSupport.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "research/WatchListWindow.h"
#include "ui/QtText.h"
#include "wizard/AskEndWizardDialog.h"
#include "wizard/CopyDescriptionsPage.h"
#include "wizard/CopyTitlesPage.h"
#include "wizard/DoorwayPage.h"
#include "wizard/KeywordGridPage.h"
#include "wizard/LimitedTextEdit.h"
#include "wizard/TitlesPage.h"
#include "wizard/WizardPageDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

QStringList itemsOf(QListWidget *list)
{
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QString labelText(QWidget *page, const QString &name) { return page->findChild<QLabel *>(name)->text(); }

// Every page with its help topic, made on the record as it stands.
struct PageKind {
    const char *name;
    int topic;
    std::function<std::unique_ptr<WizardPageDialog>()> make;
};

std::vector<PageKind> allPages()
{
    return {
        {"titlesPage", help::kTitlesPage, [] { return std::make_unique<TitlesPage>(); }},
        {"keywordGridPage", help::kKeywordGrid, [] { return std::make_unique<KeywordGridPage>(); }},
        {"copyTitlesPage", help::kCopyTitles, [] { return std::make_unique<CopyTitlesPage>(); }},
        {"copyDescriptionsPage", help::kCopyDescriptions, [] { return std::make_unique<CopyDescriptionsPage>(); }},
        {"doorwayPage", help::kDoorwayPage, [] { return std::make_unique<DoorwayPage>(); }},
    };
}

} // namespace

class WizardPageFieldsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        WizardPageDialog::setAnalysisTimerEnabled(false);
        ResetProjectRecord();
        RestoreStandardOptions();
        m_site = m_env->path() + QStringLiteral("/site");
        projectRecord().path.set(toCp1252(m_site + QStringLiteral("/index.htm")));
        projectRecord().deriveHomepageFields();
    }
    void cleanup()
    {
        destroyWatchList();
        WizardPageDialog::setAnalysisTimerEnabled(true);
        m_env.reset();
    }

    void everyPageFitsTheSmallScreenAndHasItsButtonsAndHelp()
    {
        // The fullest the pages get: every copy with terms, long texts.
        for (auto &copy : projectRecord().copyKeywords)
            copy[0].set("Begriff");
        projectRecord().description.set(std::string(398, 'b'));
        for (const PageKind &kind : allPages()) {
            std::unique_ptr<WizardPageDialog> page = kind.make();
            page->show();
            settle();
            QCOMPARE(page->objectName(), QString::fromLatin1(kind.name));
            // Room left for the title bar and the task bar.
            QVERIFY2(page->width() <= 1000 && page->height() <= 700,
                     qPrintable(page->objectName() + QStringLiteral(" %1 x %2").arg(page->width()).arg(page->height())));
            for (const char *text : {"Weiter", "Abbrechen", "Merkliste", "Hilfe"})
                QVERIFY(findButton(page.get(), QString::fromUtf8(text)));
            QCOMPARE(findButton(page.get(), QStringLiteral("Zurück")) != nullptr, kind.topic != help::kTitlesPage);
            // No label is cut: each gets at least the room it asks for.
            for (QLabel *label : page->findChildren<QLabel *>())
                if (label->isVisibleTo(page.get()) && !label->wordWrap())
                    QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));

            QVERIFY(clickButton(page.get(), QStringLiteral("Hilfe")));
            QTest::keyClick(page.get(), Qt::Key_F1);
            QCOMPARE(m_env->helpTopics, (std::vector<int>{kind.topic, kind.topic}));
            m_env->helpTopics.clear();

            // "Merkliste" shows the program's one watch list beside the page.
            QVERIFY(clickButton(page.get(), QStringLiteral("Merkliste")));
            QVERIFY(watchListWindow() && watchListWindow()->isVisible());
            hideWatchList();
            QVERIFY(page->isVisible());
            page->reject();
            QCOMPARE(page->pageResult(), PageResult::Cancel);
        }
    }

    void theHeaderKeepsTheDotsOfACapitalUmlaut()
    {
        programSettings().currentProject = toCp1252(QStringLiteral("Ökologie"));
        TitlesPage page;
        page.show();
        settle();
        auto *header = page.findChild<QLabel *>(QStringLiteral("headerLabel"));
        QVERIFY(header);
        QVERIFY(header->text().startsWith(QStringLiteral("Projekt: Ökologie")));
        QVERIFY(umlautDotsShow(header));
    }

    void titlesPageSpeaksToTheUserLevel()
    {
        programSettings().userLevel = 1;
        {
            TitlesPage page;
            QCOMPARE(labelText(&page, QStringLiteral("title1Label")), QStringLiteral("Titel der Seite (max. 20 Worte):"));
            QCOMPARE(labelText(&page, QStringLiteral("title3Label")), QStringLiteral("Titel 3 der Seite (max. 20 Worte):"));
            QCOMPARE(labelText(&page, QStringLiteral("authorLabel")), QStringLiteral("Autor:"));
            QCOMPARE(labelText(&page, QStringLiteral("descriptionLabel")), QStringLiteral("Beschreibung:"));
        }
        programSettings().userLevel = 2;
        TitlesPage page;
        QCOMPARE(labelText(&page, QStringLiteral("title1Label")), QStringLiteral("Titel (<TITLE> Tag), max. 20 Worte"));
        QCOMPARE(labelText(&page, QStringLiteral("title2Label")),
                 QStringLiteral("Zweiter Titel (<TITLE> Tag), max. 20 Worte"));
        QCOMPARE(labelText(&page, QStringLiteral("title3Label")),
                 QStringLiteral("Dritter Titel (<TITLE> Tag), max. 20 Worte"));
        QCOMPARE(labelText(&page, QStringLiteral("authorLabel")), QStringLiteral("Autor (META-Tag Author)"));
        QCOMPARE(labelText(&page, QStringLiteral("descriptionLabel")),
                 QStringLiteral("Beschreibung (META-Tag Description)"));
        QCOMPARE(page.findChild<QCheckBox *>(QStringLiteral("makedirsCheck"))->text(),
                 QStringLiteral("Verzeichnisse können auf dem Web-Server erstellt werden"));
        QCOMPARE(page.findChild<QCheckBox *>(QStringLiteral("deleteoldCheck"))->text(),
                 QStringLiteral("Daten vorheriger Optimierung(en) löschen"));
    }

    void switchedOffFieldsShowTheirNoteAndKeepTheStoredText()
    {
        ProjectRecord &record = projectRecord();
        record.title1.set("Gespeicherter Titel");
        record.author.set("Gespeicherter Autor");
        record.description.set("Alt");
        record.makedirs = 0;
        record.deleteold = 1;
        projectOptions().titl = 2; // copies only
        projectOptions().auth = 0;
        projectOptions().copy = 2; // no copyright line on the homepage either
        projectOptions().desc = 1;
        TitlesPage page;
        page.show();
        settle();
        QLineEdit *title = lineEdit(&page, QStringLiteral("title1Edit"));
        QLineEdit *author = lineEdit(&page, QStringLiteral("authorEdit"));
        auto *description = page.findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"));
        QVERIFY(!title->isEnabled());
        QCOMPARE(title->text(), QStringLiteral("Titel lt. Konfiguration deaktiviert"));
        QCOMPARE(lineEdit(&page, QStringLiteral("title3Edit"))->text(), QStringLiteral("Titel lt. Konfiguration deaktiviert"));
        QVERIFY(!author->isEnabled());
        QCOMPARE(author->text(), QStringLiteral("Autor lt. Konfiguration deaktiviert"));
        QVERIFY(description->isEnabled());
        QCOMPARE(page.focusWidget(), description);
        QVERIFY(!page.findChild<QCheckBox *>(QStringLiteral("makedirsCheck"))->isChecked());
        QVERIFY(page.findChild<QCheckBox *>(QStringLiteral("deleteoldCheck"))->isChecked());

        description->setPlainText(QStringLiteral("Erste Zeile\nzweite Zeile"));
        page.findChild<QCheckBox *>(QStringLiteral("makedirsCheck"))->setChecked(true);
        QVERIFY(clickButton(&page, QStringLiteral("Weiter")));
        QCOMPARE(page.pageResult(), PageResult::Next);
        QCOMPARE(record.title1.str(), std::string("Gespeicherter Titel"));
        QCOMPARE(record.author.str(), std::string("Gespeicherter Autor"));
        QCOMPARE(record.description.str(), std::string("Erste Zeile\r\nzweite Zeile"));
        QCOMPARE(record.makedirs, 1);
    }

    void fieldsTakeNoMoreThanTheirSlots()
    {
        TitlesPage titles;
        QCOMPARE(lineEdit(&titles, QStringLiteral("title1Edit"))->maxLength(), 259);
        QCOMPARE(lineEdit(&titles, QStringLiteral("authorEdit"))->maxLength(), 199);
        auto *description = titles.findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"));
        QCOMPARE(description->maxLength(), 398);
        // Typed past the end: the rest does not go in.
        description->setPlainText(QString(396, QLatin1Char('a')));
        description->moveCursor(QTextCursor::End);
        QTest::keyClicks(description, QStringLiteral("xyz"));
        QCOMPARE(description->toPlainText(), QString(396, QLatin1Char('a')) + QStringLiteral("xy"));
        // A line break takes two of the 398, as it does in the slot.
        description->setPlainText(QString(396, QLatin1Char('a')));
        description->moveCursor(QTextCursor::Start);
        QTest::keyClick(description, Qt::Key_Return);
        QTest::keyClick(description, Qt::Key_Return);
        QCOMPARE(description->storedLength(), 398);
        QCOMPARE(description->toPlainText(), QStringLiteral("\n") + QString(396, QLatin1Char('a')));
        // A paste in the middle is cut where it went in.
        description->setPlainText(QStringLiteral("Anfang Ende"));
        QTextCursor cursor = description->textCursor();
        cursor.setPosition(7);
        description->setTextCursor(cursor);
        description->insertPlainText(QString(500, QLatin1Char('m')));
        QCOMPARE(description->storedLength(), 398);
        QVERIFY(description->toPlainText().startsWith(QStringLiteral("Anfang m")));
        QVERIFY(description->toPlainText().endsWith(QStringLiteral("mEnde")));
        // Tab goes on to the next field instead of into the text.
        QVERIFY(description->tabChangesFocus());

        for (auto &copy : projectRecord().copyKeywords)
            copy[0].set("Begriff");
        CopyTitlesPage copyTitles;
        QCOMPARE(lineEdit(&copyTitles, QStringLiteral("copyTitle9Edit"))->maxLength(), 258);
        CopyDescriptionsPage copyDescriptions;
        QCOMPARE(copyDescriptions.field(8)->maxLength(), 398);
        DoorwayPage doorways;
        QCOMPARE(lineEdit(&doorways, QStringLiteral("newTermEdit"))->maxLength(), 164);
        QCOMPARE(lineEdit(&doorways, QStringLiteral("startpageEdit"))->maxLength(), 258);
    }

    void gridFieldsAreNamedByTheirKeysAndTabFieldByField()
    {
        KeywordGridPage grid;
        grid.show();
        settle();
        for (int i = 0; i < keywordgrid::kFieldCount; ++i) {
            const int key = i < 30 ? 4000 + i : 4100 + (i - 30);
            QLineEdit *edit = lineEdit(&grid, QStringLiteral("field%1").arg(key));
            QVERIFY2(edit, qPrintable(QString::number(key)));
            QCOMPARE(edit, grid.field(i));
            QCOMPARE(edit->maxLength(), 149);
            QCOMPARE(edit->text(), i < 3 ? QStringLiteral("Suchbegriff%1").arg(i + 1) : QString());
        }
        QVERIFY(!lineEdit(&grid, QStringLiteral("field4030")));
        QVERIFY(!lineEdit(&grid, QStringLiteral("field4235")));
        // Tab walks the fields in the order of their slots, then the buttons.
        QWidget *at = grid.field(0);
        for (int i = 1; i < keywordgrid::kFieldCount; ++i) {
            at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus)
                at = at->nextInFocusChain();
            QCOMPARE(at, static_cast<QWidget *>(grid.field(i)));
        }
        // The strip follows the focus to the last copy, the whole field in view.
        grid.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        QScrollBar *strip = grid.scrollArea()->horizontalScrollBar();
        QCOMPARE(strip->value(), 0);
        QLineEdit *last = grid.field(keywordgrid::kFieldCount - 1);
        last->setFocus();
        QCOMPARE(strip->value(), strip->maximum());
        const QRect shown(last->mapTo(grid.scrollArea()->viewport(), QPoint(0, 0)), last->size());
        QVERIFY(grid.scrollArea()->viewport()->rect().contains(shown));
        grid.field(0)->setFocus();
        QCOMPARE(strip->value(), 0);
        // All fifteen rows in view without scrolling up and down.
        QVERIFY(grid.scrollArea()->widget()->height() <= grid.scrollArea()->viewport()->height());
    }

    void theGapIsMarkedBeforeTheMessageAsksToLookForIt()
    {
        // Looks at the page while the message is up.
        class Watching : public Ui
        {
        public:
            Watching(Ui &ui, KeywordGridPage &grid) : m_ui(ui), m_grid(grid) {}
            void message(const std::string &title, const std::string &text) override
            {
                markerShown = m_grid.field(1)->text();
                focusAt = m_grid.focusWidget();
                m_ui.message(title, text);
            }
            bool question(const std::string &title, const std::string &text) override { return m_ui.question(title, text); }
            void systemError(const std::string &title, const std::string &text) override { m_ui.systemError(title, text); }
            void showWait(const std::string &) override {}
            void closeWait() override {}
            ConnectionAnswer connectionError(const std::string &, const std::string &, bool) override
            {
                return ConnectionAnswer::Cancel;
            }
            bool credentials(const std::string &, std::string &, std::string &) override { return false; }
            void progress(int, int) override {}
            void pump() override {}
            void pause(int) override {}
            QString markerShown;
            QWidget *focusAt = nullptr;

        private:
            Ui &m_ui;
            KeywordGridPage &m_grid;
        };
        KeywordGridPage grid;
        grid.show();
        settle();
        Watching watching(m_env->ui(), grid);
        setCurrentUi(&watching);
        grid.field(1)->clear();
        QVERIFY(clickButton(&grid, QStringLiteral("Weiter")));
        setCurrentUi(&m_env->ui());
        QVERIFY(grid.isVisible());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Leeres Feld für Suchbegriff"));
        QCOMPARE(watching.markerShown, QStringLiteral("---- leeres feld ----"));
        QCOMPARE(watching.focusAt, grid.field(1));
    }

    void copyPagesShutTheFieldsOfCopiesWithoutTerms()
    {
        ProjectRecord &record = projectRecord();
        record.copyKeywords[0][0].set("Rosen");
        record.copyKeywords[4][14].set("Tulpen");
        record.copyTitles[3].set("Titel vier");
        record.copyDescriptions[3].set("Beschreibung vier");
        record.copyDescriptions[0].set("Zeile\r\nzwei");
        {
            CopyTitlesPage page;
            QCOMPARE(labelText(&page, QStringLiteral("copyTitlesAdvice")).right(27),
                     QStringLiteral("maximal 20 Worte lang sein."));
            QVERIFY(page.field(0)->isEnabled());
            QVERIFY(page.field(4)->isEnabled());
            QVERIFY(!page.field(3)->isEnabled());
            QCOMPARE(page.field(3)->text(),
                     QStringLiteral("Keine Suchbegriffe vorhanden, daher kann kein Titel eingegeben werden"));
            retype(page.field(0), QStringLiteral("Rosen über alles"));
            QVERIFY(clickButton(&page, QStringLiteral("Zurück")));
            QCOMPARE(page.pageResult(), PageResult::Back);
        }
        QCOMPARE(fromCp1252(record.copyTitles[0].str()), QStringLiteral("Rosen über alles"));
        QCOMPARE(record.copyTitles[3].str(), std::string("Titel vier"));
        {
            CopyDescriptionsPage page;
            QCOMPARE(labelText(&page, QStringLiteral("copyDescriptionsAdvice")).right(33),
                     QStringLiteral("maximal 150 Buchstaben lang sein."));
            QCOMPARE(page.field(0)->toPlainText(), QStringLiteral("Zeile\nzwei"));
            QVERIFY(!page.field(3)->isEnabled());
            QCOMPARE(page.field(3)->toPlainText(), QStringLiteral("Keine Suchbegriffe für diese Kopie vorhanden"));
            page.field(4)->setPlainText(QStringLiteral("Tulpen"));
            page.reject();
            QCOMPARE(page.pageResult(), PageResult::Cancel);
        }
        QCOMPARE(record.copyDescriptions[0].str(), std::string("Zeile\r\nzwei"));
        QCOMPARE(record.copyDescriptions[3].str(), std::string("Beschreibung vier"));
        QCOMPARE(record.copyDescriptions[4].str(), std::string("Tulpen"));
    }

    void doorwayPageImportsRemovesAndChecksTheStartPage()
    {
        ProjectRecord &record = projectRecord();
        record.homepageKeywords[0].set("Stauden");
        record.copyKeywords[1][0].set("Rosen");
        record.copyKeywords[2][0].set("stauden");
        record.doorwayKeywords[0].set("Farne");
        record.doorwayKeywords[1].set("Rosen"); // a copy's term: it goes
        record.doorlikehp = 1;
        record.startpage.set("index.htm");
        const QString list = m_env->path() + QStringLiteral("/liste.txt");
        writeAll(list, "b\r\na\r\n\r\n");

        DoorwayPage page;
        page.show();
        settle();
        QCOMPARE(itemsOf(page.findChild<QListWidget *>(QStringLiteral("existingList"))),
                 (QStringList{QStringLiteral("Rosen"), QStringLiteral("Stauden")}));
        auto *existing = page.findChild<QListWidget *>(QStringLiteral("existingList"));
        QCOMPARE(existing->selectionMode(), QAbstractItemView::NoSelection);
        auto *doorways = page.findChild<QListWidget *>(QStringLiteral("doorwayList"));
        QCOMPARE(doorways->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(itemsOf(doorways), QStringList{QStringLiteral("Farne")});
        QCOMPARE(labelText(&page, QStringLiteral("startpageAdvice")),
                 QStringLiteral("Der Name der Startseite muß der Name für Startseiten in einem Verzeichnis sein. In der "
                                "Regel ist dies der gleiche Name wie die Homepage (er lautet meistens \"index.htm\" "
                                "oder \"default.htm\")."));

        QLineEdit *term = lineEdit(&page, QStringLiteral("newTermEdit"));
        m_env->hooks().pushFileName(list);
        QTest::keyClicks(term, QStringLiteral("IMPORTLIST"));
        QVERIFY(clickButton(&page, QStringLiteral("Hinzufügen --->")));
        const DialogHooks::FileRequest request = m_env->hooks().fileRequests().back();
        QCOMPARE(request.directory, QStringLiteral("list.txt"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));
        QCOMPARE(request.filter, QString());
        QCOMPARE(itemsOf(doorways), (QStringList{QString(), QStringLiteral("a"), QStringLiteral("b"),
                                                 QStringLiteral("Farne")}));
        QCOMPARE(term->text(), QStringLiteral("IMPORTLIST"));
        // A cancelled file dialog adds nothing.
        m_env->hooks().pushFileName(QString());
        QVERIFY(clickButton(&page, QStringLiteral("Hinzufügen --->")));
        QCOMPARE(doorways->count(), 4);

        doorways->item(0)->setSelected(true);
        doorways->item(2)->setSelected(true);
        QVERIFY(clickButton(&page, QStringLiteral("Entfernen <---")));
        QCOMPARE(itemsOf(doorways), (QStringList{QStringLiteral("a"), QStringLiteral("Farne")}));

        // A name with a blank is refused whichever choice is made.
        auto *other = page.findChild<QRadioButton *>(QStringLiteral("otherRadio"));
        QLineEdit *name = lineEdit(&page, QStringLiteral("startpageEdit"));
        clickIndicator(other);
        retype(name, QStringLiteral("my page.htm"));
        clickIndicator(page.findChild<QRadioButton *>(QStringLiteral("likeHomepageRadio")));
        QVERIFY(!name->isEnabled());
        QVERIFY(clickButton(&page, QStringLiteral("Weiter")));
        QVERIFY(page.isVisible());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Falscher Dateiname"));
        clickIndicator(other);
        retype(name, QStringLiteral("index"));
        QVERIFY(clickButton(&page, QStringLiteral("Weiter")));
        QVERIFY(page.isVisible());
        QCOMPARE(lastShown(QStringLiteral("message")).text,
                 QStringLiteral("Der Dateiname für die Startseite ist nicht korrekt, er muß aus einem Namen, einem "
                                "Punkt und einer Erweiterung bestehen, z.B. \"index.html\", \"default.htm\" "
                                "oder\"homepage.html\"."));
        retype(name, QStringLiteral("index.html"));
        QVERIFY(clickButton(&page, QStringLiteral("Weiter")));
        QVERIFY(!page.isVisible());
        QCOMPARE(page.pageResult(), PageResult::Next);
        QCOMPARE(record.doorwayKeywords[0].str(), std::string("a"));
        QCOMPARE(record.doorwayKeywords[1].str(), std::string("Farne"));
        QCOMPARE(record.doorwayKeywords[2].str(), std::string());
        QCOMPARE(record.doorlikehp, 0);
        QCOMPARE(record.startpage.str(), std::string("index.html"));
    }

    void askEndWizardAnswersWithTheChoice()
    {
        {
            AskEndWizardDialog dialog;
            dialog.show();
            settle();
            QCOMPARE(dialog.focusWidget(), findButton(&dialog, QStringLiteral("Zurück zum Wizard")));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QCOMPARE(dialog.choice(), EndChoice::BackToWizard);
        }
        {
            AskEndWizardDialog dialog;
            dialog.show();
            QVERIFY(clickButton(&dialog, QStringLiteral("Wizard beenden")));
            QCOMPARE(dialog.choice(), EndChoice::EndAndSave);
        }
        {
            AskEndWizardDialog dialog;
            dialog.show();
            QTest::keyClick(&dialog, Qt::Key_F1);
            QCOMPARE(m_env->helpTopics, std::vector<int>{help::kEndWizard});
            dialog.findChild<QCheckBox *>(QStringLiteral("saveCheck"))->setChecked(false);
            QVERIFY(clickButton(&dialog, QStringLiteral("Wizard beenden")));
            QCOMPARE(dialog.choice(), EndChoice::End);
        }
    }

    void theAnalysisTimerAsksOncePerOpening()
    {
        WizardPageDialog::setAnalysisTimerEnabled(true);
        TitlesPage page;
        QCOMPARE(page.analysisTimer()->interval(), 1000);
        QVERIFY(page.analysisTimer()->isSingleShot());
        QVERIFY(!page.analysisTimer()->isActive());
        page.show();
        QVERIFY(page.analysisTimer()->isActive());
        // What is typed before it fires counts: nothing is offered then.
        lineEdit(&page, QStringLiteral("title2Edit"))->insert(QStringLiteral("Schon da"));
        page.offerAnalysisNow();
        QVERIFY(!page.analysisTimer()->isActive());
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(lineEdit(&page, QStringLiteral("title2Edit"))->text(), QStringLiteral("Schon da"));
        page.hide();
        page.show();
        QVERIFY(!page.analysisTimer()->isActive());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_site;
};

QTEST_MAIN(WizardPageFieldsTest)
#include "WizardPageFieldsTest.moc"
