#include "GuiTestSupport.h"

#include "optimizer/OptimizationDialog.h"
#include "platform/Help.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <map>
#include <memory>
#include <optional>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QStringList kResultButtons{QStringLiteral("Report speichern..."), QStringLiteral("Report einsehen"),
                                 QStringLiteral("Kopie"), QStringLiteral("Zugangsdokument kurz"),
                                 QStringLiteral("Zugangsdokument lang")};

struct Widgets {
    QTreeWidget *report;
    QListWidget *todos;
    QProgressBar *progress;
    QCheckBox *withConfigData;
    QCheckBox *withProjectData;
    QPushButton *start;
    QPushButton *close;
};

Widgets widgetsOf(OptimizationDialog &dialog)
{
    return {findChildNamed<QTreeWidget>(&dialog, QStringLiteral("reportList")),
            findChildNamed<QListWidget>(&dialog, QStringLiteral("todoList")),
            findChildNamed<QProgressBar>(&dialog, QStringLiteral("progressBar")),
            findChildNamed<QCheckBox>(&dialog, QStringLiteral("withConfigDataCheck")),
            findChildNamed<QCheckBox>(&dialog, QStringLiteral("withProjectDataCheck")),
            findButton(&dialog, QStringLiteral("Optimierung durchführen")),
            findButton(&dialog, QStringLiteral("Schließen"))};
}

void fillTerms()
{
    ProjectRecord &record = projectRecord();
    record.homepageKeywords[0].set(toCp1252(QStringLiteral("Stauden")));
    record.homepageKeywords[1].set(toCp1252(QStringLiteral("Kräuter")));
    record.copyKeywords[0][0].set(toCp1252(QStringLiteral("Obstgehölze")));
    record.doorwayKeywords[0].set(toCp1252(QStringLiteral("Gärtnerei Lindenfeld")));
    record.doorwayKeywords[1].set(toCp1252(QStringLiteral("Beerensträucher")));
}

// Every entry of the site with the bytes of its files: what an undo must
// bring back exactly. The template is left out: its check writes HEAD and
// BODY in capitals when a run begins, before the run keeps anything, and
// that stays.
std::map<QString, QByteArray> siteState(const QString &site)
{
    std::map<QString, QByteArray> state;
    QDirIterator it(site, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString name = QDir(site).relativeFilePath(entry.filePath());
        if (name == QStringLiteral("vantor!!/index.htm"))
            continue;
        state[name] = entry.isDir() ? QByteArray("<dir>") : readAll(entry.filePath());
    }
    return state;
}

// The first entry in which two states differ, for the failure message; empty
// when they are the same.
QString firstDifference(const std::map<QString, QByteArray> &actual, const std::map<QString, QByteArray> &expected)
{
    for (const auto &[name, bytes] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end())
            return QStringLiteral("missing: ") + name;
        if (found->second != bytes)
            return QStringLiteral("changed: ") + name;
    }
    for (const auto &entry : actual)
        if (expected.find(entry.first) == expected.end())
            return QStringLiteral("left over: ") + entry.first;
    return {};
}

// One whole optimisation, as the user makes it: open, start, close.
bool runAndClose()
{
    OptimizationDialog dialog;
    dialog.show();
    QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
    QTest::mouseClick(widgetsOf(dialog).close, Qt::LeftButton);
    return dialog.run().reportWritten() && !dialog.isVisible();
}

// What a line of the report list holds, as the user sees it.
struct ShownLine {
    QString text;
    QColor color;
    bool hasIcon;
};

std::vector<ShownLine> shownLines(QTreeWidget *report)
{
    std::vector<ShownLine> lines;
    for (int i = 0; i < report->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = report->topLevelItem(i);
        lines.push_back({item->text(1), item->foreground(1).color(), !item->icon(0).isNull()});
    }
    return lines;
}

// A row of this height, with the text centred in it, shows the dots of
// "Ü" whole: they stand above the font's ascent.
bool fitsCapitalUmlauts(const QFontMetrics &metrics, int rowHeight)
{
    const int textTop = (rowHeight - metrics.height()) / 2;
    const int dotsTop = textTop + metrics.ascent() + metrics.tightBoundingRect(QStringLiteral("Ü")).top();
    return dotsTop >= 0;
}

} // namespace

class OptimizationDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_homepage = copyExampleSite(m_env->path());
        m_site = QFileInfo(m_homepage).path();
        storeStandardProject(m_homepage, fillTerms);
    }
    void cleanup()
    {
        m_env.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void opensReadyToStart()
    {
        OptimizationDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Optimierung durchführen"));
        QVERIFY(w.report && w.todos && w.progress && w.withConfigData && w.withProjectData && w.start && w.close);

        const std::vector<ShownLine> lines = shownLines(w.report);
        QCOMPARE(lines.size(), std::size_t(2));
        QCOMPARE(lines[0].text, QStringLiteral("Daten zur Optimierung liegen vor"));
        QCOMPARE(lines[1].text, QStringLiteral("Optimierung kann gestartet werden..."));
        for (const ShownLine &line : lines) {
            QCOMPARE(line.color, QColor(0, 0, 100));
            QVERIFY(line.hasIcon);
        }
        QCOMPARE(w.report->columnWidth(0), 18);
        QCOMPARE(w.report->columnWidth(1), 1500);
        QCOMPARE(w.report->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(w.todos->count(), 0);

        QVERIFY(w.withConfigData->isChecked() && w.withConfigData->isEnabled());
        QVERIFY(w.withProjectData->isChecked() && w.withProjectData->isEnabled());
        QCOMPARE(w.withConfigData->text(), QStringLiteral("Mit Konfigurationsdaten"));
        QCOMPARE(w.withProjectData->text(), QStringLiteral("Mit Projektdaten"));
        QVERIFY(w.start->isEnabled());
        QVERIFY(w.start->isDefault());
        for (const QString &text : kResultButtons) {
            QPushButton *button = findButton(&dialog, text);
            QVERIFY2(button, qPrintable(text));
            QVERIFY2(!button->isEnabled(), qPrintable(text));
        }
        QCOMPARE(w.progress->minimum(), 0);
        QCOMPARE(w.progress->maximum(), 28);
        QCOMPARE(w.progress->value(), 0);
        // Nothing was asked or written by merely opening.
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/~report.htm")));
    }

    void theThreeExampleButtonsStandBelowTheLists()
    {
        OptimizationDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        QTest::mouseClick(w.start, Qt::LeftButton);
        // The To Do's point there.
        bool pointed = false;
        for (int i = 0; i < w.todos->count(); ++i)
            pointed = pointed || w.todos->item(i)->text().contains(QStringLiteral("die drei Buttons unten"));
        QVERIFY(pointed);

        const auto inDialog = [&dialog](QWidget *widget) {
            return QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
        };
        const QRect report = inDialog(w.report);
        const QRect todos = inDialog(w.todos);
        const QRect progress = inDialog(w.progress);
        QVERIFY(report.bottom() < todos.top());
        std::vector<QRect> placed;
        for (const QString &text :
             {QStringLiteral("Kopie"), QStringLiteral("Zugangsdokument kurz"), QStringLiteral("Zugangsdokument lang")}) {
            QPushButton *button = findButton(&dialog, text);
            QVERIFY2(button && button->isVisible() && button->isEnabled(), qPrintable(text));
            const QRect at = inDialog(button);
            QVERIFY2(at.top() > todos.bottom(), qPrintable(text));
            QVERIFY2(at.left() >= todos.left() && at.right() <= todos.right(), qPrintable(text));
            QVERIFY2(dialog.rect().contains(at), qPrintable(text));
            QVERIFY2(!at.intersects(progress), qPrintable(text));
            // Every text whole.
            QVERIFY2(at.width() >= button->sizeHint().width() && at.height() >= button->sizeHint().height(),
                     qPrintable(text));
            for (const QRect &other : placed)
                QVERIFY2(!at.intersects(other), qPrintable(text));
            placed.push_back(at);
        }
        // In the order of the To Do: a copy, then the short and the long doorway document.
        QVERIFY(placed[0].right() < placed[1].left() && placed[1].right() < placed[2].left());
        QCOMPARE(placed[0].top(), placed[2].top());
        // The rest of the buttons still shows.
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            QVERIFY2(button->isVisible(), qPrintable(button->text()));
            QVERIFY2(dialog.rect().contains(inDialog(button)), qPrintable(button->text()));
        }
        saveScreenshot(&dialog);
    }

    void runShowsEveryLineAndTodoAndEnablesTheResults()
    {
        OptimizationDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        QTest::mouseClick(w.start, Qt::LeftButton);

        const OptimizationRun &run = dialog.run();
        QVERIFY(run.hasRun());
        QVERIFY(run.reportWritten());
        const std::vector<ShownLine> lines = shownLines(w.report);
        QCOMPARE(lines.size(), run.log().lines().size());
        bool sawWarning = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const ReportLine &line = run.log().lines()[i];
            QCOMPARE(lines[i].text, fromCp1252(line.text));
            QCOMPARE(lines[i].color, OptimizationDialog::lineColor(line.kind));
            QVERIFY(lines[i].hasIcon);
            sawWarning = sawWarning || line.kind == LineKind::Warning;
        }
        QVERIFY(sawWarning);
        QVERIFY(fitsCapitalUmlauts(w.report->fontMetrics(), w.report->visualItemRect(w.report->topLevelItem(0)).height()));
        QCOMPARE(OptimizationDialog::lineColor(LineKind::Warning), QColor(0, 0, 255));
        QVERIFY(lines.back().text.startsWith(QStringLiteral("Es sind insgesamt 0 Fehler und ")));

        // The newest line is the one in view.
        QTreeWidgetItem *last = w.report->topLevelItem(w.report->topLevelItemCount() - 1);
        const QRect lastRect = w.report->visualItemRect(last);
        QVERIFY(lastRect.isValid());
        QVERIFY(lastRect.top() >= 0 && lastRect.bottom() <= w.report->viewport()->height());

        QCOMPARE(w.todos->count(), static_cast<int>(run.log().todos().size()));
        QVERIFY(w.todos->count() > 0);
        for (int i = 0; i < w.todos->count(); ++i) {
            QCOMPARE(w.todos->item(i)->text(), fromCp1252(run.log().todos()[static_cast<std::size_t>(i)]));
            const QSize size = w.todos->item(i)->sizeHint();
            QCOMPARE(size.width(), 1200);
            QVERIFY(size.height() >= 14);
            QVERIFY(fitsCapitalUmlauts(w.todos->fontMetrics(), size.height()));
        }

        QCOMPARE(w.progress->value(), 28);
        QVERIFY(!w.start->isEnabled());
        QVERIFY(!w.withConfigData->isEnabled());
        QVERIFY(!w.withProjectData->isEnabled());
        for (const QString &text : kResultButtons)
            QVERIFY2(findButton(&dialog, text)->isEnabled(), qPrintable(text));
        QVERIFY(w.close->isEnabled());
        QVERIFY(QFile::exists(m_site + QStringLiteral("/~report.htm")));

        // A second click cannot start a second run.
        w.start->click();
        QCOMPARE(shownLines(w.report).size(), lines.size());

        // After the run the dialog closes without asking, and the report goes.
        QTest::mouseClick(w.close, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/~report.htm")));
    }

    void whileTheRunGoesOnTheDialogLivesButCannotBeLeft()
    {
        OptimizationDialog dialog;
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        struct Seen {
            bool looked = false;
            bool running = false;
            bool waitCursor = false;
            bool startEnabled = true;
            bool ticksEnabled = true;
            bool closeEnabled = true;
            bool stillVisible = false;
        } seen;
        // Fires from the event loop the run turns between its steps.
        QTimer::singleShot(0, &dialog, [&]() {
            seen.looked = true;
            seen.running = dialog.running();
            const QCursor *cursor = QApplication::overrideCursor();
            seen.waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
            seen.startEnabled = w.start->isEnabled();
            seen.ticksEnabled = w.withConfigData->isEnabled() || w.withProjectData->isEnabled();
            seen.closeEnabled = w.close->isEnabled();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.close();
            seen.stillVisible = dialog.isVisible();
        });
        QTest::mouseClick(w.start, Qt::LeftButton);

        QVERIFY(seen.looked);
        QVERIFY(seen.running);
        QVERIFY(seen.waitCursor);
        QVERIFY(!seen.startEnabled);
        QVERIFY(!seen.ticksEnabled);
        QVERIFY(!seen.closeEnabled);
        QVERIFY(seen.stillVisible);
        QVERIFY(dialog.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(dialog.run().reportWritten());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!dialog.running());
    }

    void anAbortedRunShowsItsErrorsAndLeavesTheResultsShut()
    {
        writeAll(m_homepage, "<html><body>Keine Kopfzeile</body></html>");
        OptimizationDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);
        QTest::mouseClick(w.start, Qt::LeftButton);

        const std::vector<ShownLine> lines = shownLines(w.report);
        int errors = 0;
        for (const ShownLine &line : lines) {
            if (line.color == QColor(255, 0, 0))
                ++errors;
        }
        QCOMPARE(errors, dialog.run().log().errors());
        QVERIFY(errors >= 2);
        QCOMPARE(lines.back().text, QStringLiteral("OPTIMIERUNG ABGEBROCHEN"));
        QCOMPARE(lines.back().color, QColor(255, 0, 0));
        QCOMPARE(w.todos->item(0)->text(),
                 QStringLiteral("Fügen Sie das Element <HEAD> in das Dokument ein! Näheres dazu in der Hilfe."));
        for (const QString &text : kResultButtons)
            QVERIFY2(!findButton(&dialog, text)->isEnabled(), qPrintable(text));
        QVERIFY(!w.start->isEnabled());
        QCOMPARE(w.progress->value(), 28);

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
    }

    void leavingBeforeTheRunAsksFirst()
    {
        const QString question = QStringLiteral("Optimierung noch nicht durchgeführt");
        OptimizationDialog dialog;
        dialog.show();
        const Widgets w = widgetsOf(dialog);

        m_env->hooks().pushQuestionAnswer(false);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(lastShown(QStringLiteral("question")).title, question);

        m_env->hooks().pushQuestionAnswer(false);
        dialog.close();
        QVERIFY(dialog.isVisible());

        m_env->hooks().pushQuestionAnswer(false);
        QTest::mouseClick(w.close, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), 3);
        QVERIFY(!dialog.run().hasRun());

        m_env->hooks().pushQuestionAnswer(true);
        QTest::mouseClick(w.close, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), 4);
    }

    void savingTheReportAddsTheSuffixAndCancellingWritesNothing()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
        QPushButton *save = findButton(&dialog, QStringLiteral("Report speichern..."));

        const QString saved = m_env->path() + QStringLiteral("/Berichte");
        QDir().mkpath(saved);
        m_env->hooks().pushFileName(saved + QStringLiteral("/Gärtnerei"));
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(QFile::exists(saved + QStringLiteral("/Gärtnerei.htm")));
        QVERIFY(!QFile::exists(saved + QStringLiteral("/Gärtnerei")));
        QVERIFY(readAll(saved + QStringLiteral("/Gärtnerei.htm")).contains("background=\"back.gif\""));
        QVERIFY(QFile::exists(saved + QStringLiteral("/back.gif")));

        const std::vector<DialogHooks::FileRequest> &requests = m_env->hooks().fileRequests();
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(requests[0].caption, QStringLiteral("Report speichern"));
        QCOMPARE(requests[0].directory, m_site + QStringLiteral("/Report"));
        QCOMPARE(requests[0].filter, QStringLiteral("HTML Datei (*.htm) (*.htm);;Alle Dateien (*.*) (*)"));
        QCOMPARE(requests[0].defaultSuffix, QStringLiteral("htm"));

        // A suffix of the user's own stays.
        m_env->hooks().pushFileName(saved + QStringLiteral("/bericht.html"));
        QTest::mouseClick(save, Qt::LeftButton);
        QVERIFY(QFile::exists(saved + QStringLiteral("/bericht.html")));
        QVERIFY(!QFile::exists(saved + QStringLiteral("/bericht.html.htm")));

        const QStringList before = QDir(saved).entryList(QDir::Files);
        m_env->hooks().pushFileName(QString());
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(QDir(saved).entryList(QDir::Files), before);
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(save->isEnabled());
    }

    void theSaveDialogShowsOurTextsAndAddsTheSuffixItself()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);

        QString title;
        QStringList types;
        QString presetName;
        m_env->hooks().onNextShown([&](QWidget *window) {
            auto *files = qobject_cast<QFileDialog *>(window);
            QVERIFY(files);
            title = files->windowTitle();
            auto *combo = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            for (int i = 0; i < combo->count(); ++i)
                types.append(combo->itemText(i));
            auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            presetName = name->text();
            name->setText(QStringLiteral("Neuer Report"));
            static_cast<QDialog *>(files)->accept();
        });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Report speichern...")), Qt::LeftButton);

        QCOMPARE(title, QStringLiteral("Report speichern"));
        QCOMPARE(types, (QStringList{QStringLiteral("HTML Datei (*.htm)"), QStringLiteral("Alle Dateien (*.*)")}));
        QCOMPARE(presetName, QStringLiteral("Report"));
        QVERIFY(QFile::exists(m_site + QStringLiteral("/Neuer Report.htm")));
    }

    void exampleButtonsOpenTheirDocumentsAndRestWhileOpening()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);

        // Each button opens its document, or says there is none; either way
        // it rests while busy and is back afterwards.
        for (const QString &text :
             {QStringLiteral("Kopie"), QStringLiteral("Zugangsdokument kurz"), QStringLiteral("Zugangsdokument lang")}) {
            QPushButton *button = findButton(&dialog, text);
            bool enabledWhileOpening = true;
            m_env->duringOpen = [&]() { enabledWhileOpening = button->isEnabled(); };
            m_env->opened.clear();
            m_env->hooks().clearShown();
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY2(button->isEnabled(), qPrintable(text));
            if (m_env->opened.empty()) {
                QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Kein Dokument vorhanden"));
                continue;
            }
            QCOMPARE(m_env->opened.size(), std::size_t(1));
            QVERIFY(m_env->hooks().shown().empty());
            QVERIFY2(!enabledWhileOpening, qPrintable(text));
            const QString target = fromCp1252(m_env->opened.front());
            QVERIFY2(target.startsWith(m_site + QLatin1Char('/')), qPrintable(target));
        }
        m_env->duringOpen = nullptr;
        m_env->opened.clear();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Report einsehen")), Qt::LeftButton);
        QCOMPARE(m_env->opened.size(), std::size_t(1));
        QCOMPARE(fromCp1252(m_env->opened.front()), m_site + QStringLiteral("/~report.htm"));
    }

    void withoutCopiesTheCopyButtonSaysSo()
    {
        storeStandardProject(m_homepage, []() {
            projectRecord().homepageKeywords[0].set("Stauden");
            projectRecord().doorwayKeywords[0].set("Beratung");
        });
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
        QPushButton *copy = findButton(&dialog, QStringLiteral("Kopie"));
        QTest::mouseClick(copy, Qt::LeftButton);
        QVERIFY(m_env->opened.empty());
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Kein Dokument vorhanden"));
        QCOMPARE(box.text, QStringLiteral("Es ist kein optimiertes Dokument für die Kopien vorhanden. Bitte geben Sie "
                                          "im Wizard entsprechende Informationen ein."));
        QVERIFY(copy->isEnabled());
    }

    void theMissingTemplateIsMadeInTheTemplateWizardAndCheckedAgain()
    {
        installStockTemplates();
        const QString templatePath = m_site + QStringLiteral("/vantor!!/index.htm");
        QVERIFY(QFile::remove(templatePath));
        OptimizationDialog dialog;
        dialog.show();
        m_env->hooks().pushQuestionAnswer(true);
        QString wizard;
        QString homepageLine;
        bool arrow = false;
        bool overTheRun = false;
        m_env->hooks().onNextShown([&](QWidget *window) {
            wizard = window->objectName();
            if (auto *line = window->findChild<QLabel *>(QStringLiteral("homepageLine")))
                homepageLine = line->text();
            const QCursor *cursor = QApplication::overrideCursor();
            arrow = cursor && cursor->shape() == Qt::ArrowCursor;
            overTheRun = window->parentWidget() == &dialog;
            clickIndicator(window->findChild<QRadioButton *>(QStringLiteral("plainRadio")));
            QTest::mouseClick(findButton(window, QStringLiteral("Vorlage erzeugen")), Qt::LeftButton);
            QTest::mouseClick(findButton(window, QStringLiteral("OK")), Qt::LeftButton);
        });
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);

        QCOMPARE(wizard, QStringLiteral("templateWizardDialog"));
        QVERIFY(homepageLine.endsWith(m_homepage));
        QVERIFY(arrow);
        QVERIFY(overTheRun);
        const std::vector<ShownBox> &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].kind, QStringLiteral("question"));
        QCOMPARE(shown[0].title, QStringLiteral("Vorlage fehlt"));
        QCOMPARE(shown[1].title, QStringLiteral("Vorlage erstellt"));
        // The second check passed on the new template, and the run went on.
        QVERIFY(readAll(templatePath).contains("bgcolor=\"#EBC8C8\""));
        QCOMPARE(dialog.run().log().errors(), 0);
        QVERIFY(dialog.run().reportWritten());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void aTemplateWizardLeftWithoutATemplateAsksAgain()
    {
        QVERIFY(QFile::remove(m_site + QStringLiteral("/vantor!!/index.htm")));
        OptimizationDialog dialog;
        dialog.show();
        m_env->hooks().pushQuestionAnswer(true);
        m_env->hooks().pushQuestionAnswer(false);
        DialogWalk walk;
        closeNextDialogs(1, walk);
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);

        QCOMPARE(walk.names, (std::vector<QString>{QStringLiteral("templateWizardDialog")}));
        const std::vector<ShownBox> &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].title, QStringLiteral("Vorlage fehlt"));
        QCOMPARE(shown[1].title, QStringLiteral("Vorlage fehlt"));
        QVERIFY(dialog.run().log().errors() > 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void undoBringsBackTheSiteAsItWasBeforeTheRun()
    {
        const std::map<QString, QByteArray> before = siteState(m_site);
        const QByteArray homepage = readAll(m_homepage);
        OptimizationDialog dialog;
        dialog.show();
        QPushButton *undo = findButton(&dialog, QStringLiteral("Optimierung rückgängig"));
        QVERIFY(undo);
        QVERIFY(!undo->isEnabled()); // nothing kept yet
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
        const std::optional<std::string> copy = dialog.run().copyExamplePath();
        QVERIFY(copy);
        QVERIFY(readAll(m_homepage) != homepage);
        QVERIFY(undo->isEnabled());

        m_env->hooks().pushQuestionAnswer(true);
        QTest::mouseClick(undo, Qt::LeftButton);
        const std::vector<ShownBox> &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].kind, QStringLiteral("question"));
        QCOMPARE(shown[0].title, QStringLiteral("Optimierung rückgängig"));
        QVERIFY2(shown[0].text.startsWith(QStringLiteral("Die letzte Optimierung vom ")), qPrintable(shown[0].text));
        QVERIFY(shown[0].text.endsWith(QStringLiteral("\nKlicken Sie auf \"OK\", um fortzufahren.")));
        QCOMPARE(shown[1].kind, QStringLiteral("message"));
        QCOMPARE(shown[1].title, QStringLiteral("Optimierung rückgängig gemacht"));
        QVERIFY2(shown[1].text.contains(QStringLiteral(" Dateien haben wieder ihren Stand von vor der Optimierung.")),
                 qPrintable(shown[1].text));

        QCOMPARE(readAll(m_homepage), homepage);
        QVERIFY(!QFile::exists(fromCp1252(*copy)));
        QVERIFY2(firstDifference(siteState(m_site), before).isEmpty(), qPrintable(firstDifference(siteState(m_site), before)));
        QVERIFY(!undo->isEnabled());
        // What the buttons would show is gone; the report text is not.
        for (const QString &text : {QStringLiteral("Report einsehen"), QStringLiteral("Kopie"),
                                    QStringLiteral("Zugangsdokument kurz"), QStringLiteral("Zugangsdokument lang")})
            QVERIFY2(!findButton(&dialog, text)->isEnabled(), qPrintable(text));
        QVERIFY(findButton(&dialog, QStringLiteral("Report speichern..."))->isEnabled());
        QTest::mouseClick(widgetsOf(dialog).close, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY2(firstDifference(siteState(m_site), before).isEmpty(), qPrintable(firstDifference(siteState(m_site), before)));
    }

    void undoAnsweredWithAbbruchChangesNothing()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
        const std::map<QString, QByteArray> optimised = siteState(m_site);
        QPushButton *undo = findButton(&dialog, QStringLiteral("Optimierung rückgängig"));

        m_env->hooks().pushQuestionAnswer(false);
        QTest::mouseClick(undo, Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QVERIFY2(firstDifference(siteState(m_site), optimised).isEmpty(), qPrintable(firstDifference(siteState(m_site), optimised)));
        QVERIFY(undo->isEnabled());
        for (const QString &text : kResultButtons)
            QVERIFY2(findButton(&dialog, text)->isEnabled(), qPrintable(text));
    }

    void anEditAfterTheRunIsNamedAndKeptWhenTheUserStops()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
        writeAll(m_homepage, readAll(m_homepage) + "<!-- Neu: Rosen -->\r\n");
        const std::map<QString, QByteArray> optimised = siteState(m_site);
        QPushButton *undo = findButton(&dialog, QStringLiteral("Optimierung rückgängig"));

        m_env->hooks().pushQuestionAnswer(true);
        m_env->hooks().pushQuestionAnswer(false);
        QTest::mouseClick(undo, Qt::LeftButton);
        const std::vector<ShownBox> &shown = m_env->hooks().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[1].title, QStringLiteral("Dateien wurden geändert"));
        QVERIFY2(shown[1].text.contains(m_homepage), qPrintable(shown[1].text));
        QVERIFY2(firstDifference(siteState(m_site), optimised).isEmpty(),
                 qPrintable(firstDifference(siteState(m_site), optimised)));
        QVERIFY(undo->isEnabled());
        for (const QString &text : kResultButtons)
            QVERIFY2(findButton(&dialog, text)->isEnabled(), qPrintable(text));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void undoStepsBackOneRunAtATime()
    {
        const std::map<QString, QByteArray> original = siteState(m_site);
        QVERIFY(runAndClose());
        const std::map<QString, QByteArray> afterFirst = siteState(m_site);
        storeStandardProject(m_homepage, []() {
            projectRecord().homepageKeywords[0].set("Rosen");
            projectRecord().copyKeywords[0][0].set("Rosenschnitt");
            projectRecord().doorwayKeywords[0].set("Rosenzucht");
        });
        // The second run: the button waits while it goes on.
        bool undoDuringRun = true;
        bool undoBeforeRun = false;
        {
            OptimizationDialog dialog;
            dialog.show();
            QPushButton *undo = findButton(&dialog, QStringLiteral("Optimierung rückgängig"));
            undoBeforeRun = undo->isEnabled();
            QTimer::singleShot(0, &dialog, [&]() { undoDuringRun = undo->isEnabled(); });
            QTest::mouseClick(widgetsOf(dialog).start, Qt::LeftButton);
            QTest::mouseClick(widgetsOf(dialog).close, Qt::LeftButton);
        }
        QVERIFY(undoBeforeRun);
        QVERIFY(!undoDuringRun);
        QVERIFY(siteState(m_site) != afterFirst);

        OptimizationDialog dialog;
        dialog.show();
        QPushButton *undo = findButton(&dialog, QStringLiteral("Optimierung rückgängig"));
        QVERIFY(undo->isEnabled());
        m_env->hooks().pushQuestionAnswer(true);
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY2(firstDifference(siteState(m_site), afterFirst).isEmpty(), qPrintable(firstDifference(siteState(m_site), afterFirst)));
        QVERIFY(undo->isEnabled());
        m_env->hooks().pushQuestionAnswer(true);
        QTest::mouseClick(undo, Qt::LeftButton);
        QVERIFY2(firstDifference(siteState(m_site), original).isEmpty(), qPrintable(firstDifference(siteState(m_site), original)));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 2);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), 2);
    }

    void helpShowsTheDialogsTopic()
    {
        OptimizationDialog dialog;
        dialog.show();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("?")), Qt::LeftButton);
        QTest::keyClick(widgetsOf(dialog).report, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kOptimization, help::kOptimization}));
        QVERIFY(dialog.isVisible());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_homepage;
    QString m_site;
};

QTEST_MAIN(OptimizationDialogTest)
#include "OptimizationDialogTest.moc"
