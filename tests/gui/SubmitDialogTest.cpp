#include "GuiTestSupport.h"
#include "MakerServerFixture.h"

#include "net/DataFileFetch.h"
#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "submit/SubmitDialog.h"
#include "project/WizardMenu.h"
#include "submit/SubmitOutcome.h"
#include "submit/SubmitPreparation.h"
#include "submit/SubmitRun.h"
#include "submit/SubmitSettings.h"
#include "submit/SubmitStateImages.h"
#include "ui/MessageDialog.h"
#include "ui/QtText.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <map>

#include <algorithm>
#include <memory>
#include <set>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

QPushButton *button(QWidget &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

// What the slot lists showed while a run went on, sampled as the run pumps.
struct SeenLine {
    QString document;
    QString outcome;
    int image = 0;
};

class SlotWatcher : public QObject
{
public:
    explicit SlotWatcher(SubmitDialog &dialog)
        : m_dialog(dialog)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &SlotWatcher::sample);
        m_timer.start();
    }

    std::vector<SeenLine> lines;
    std::set<QString> titles;
    bool abortWasEnabled = false;
    bool closeWasEnabled = false;

private:
    void sample()
    {
        for (int slot = 1; slot <= SubmitDialog::kSlots; ++slot) {
            auto *list = m_dialog.findChild<QTreeWidget *>(QStringLiteral("slotList%1").arg(slot));
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem *item = list->topLevelItem(row);
                lines.push_back({item->text(0), item->text(1), SubmitDialog::lineImage(item)});
            }
            titles.insert(m_dialog.findChild<QLineEdit *>(QStringLiteral("slotTitle%1").arg(slot))->text());
        }
        // By name: the Anmelde-Liste, a child while it is open, has an
        // "Abbrechen" of its own.
        abortWasEnabled = abortWasEnabled || button(m_dialog, "abortButton")->isEnabled();
        closeWasEnabled = closeWasEnabled || button(m_dialog, "closeButton")->isEnabled();
    }

    SubmitDialog &m_dialog;
    QTimer m_timer;
};

// Chooses the named targets in the Anmelde-Liste and starts.
void chooseAndStart(QWidget *window, const QStringList &targets)
{
    QCOMPARE(window->objectName(), QStringLiteral("submitListDialog"));
    auto *offered = window->findChild<QListWidget *>(QStringLiteral("offeredList"));
    offered->clearSelection();
    for (const QString &target : targets) {
        const QList<QListWidgetItem *> found = offered->findItems(target, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(target));
        found.front()->setSelected(true);
    }
    QTest::mouseClick(findButton(window, QStringLiteral("-- Hinzufügen -->")), Qt::LeftButton);
    QTest::mouseClick(findButton(window, QStringLiteral("Starten")), Qt::LeftButton);
}

} // namespace

class SubmitDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        m_env->hooks().setIntercepting(true);
        m_homepage = copyExampleSite(m_env->path());
        storeStandardProject(m_homepage);
        DataFileFetch::reset();
        SubmitRun::resetMakerReport();
        // The engines' data files as the last update left them.
        std::filesystem::create_directories(dataDirectory());
        for (const char *name : {submitprep::kSubmitFile, submitprep::kListsFile})
            std::filesystem::copy_file(demo::builtDataDirectory() / name, dataDirectory() / name,
                                       std::filesystem::copy_options::overwrite_existing);
    }
    void cleanup()
    {
        m_server.reset();
        m_env.reset();
    }

    void withoutHomepageTheDialogNeverOpens()
    {
        storeStandardProject(QString());
        SubmitDialog dialog;
        QVERIFY(!dialog.ready());
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, fromCp1252(submitprep::notOptimizedTitle()));
        QCOMPARE(box.text, fromCp1252(submitprep::notOptimizedText()));
        QCOMPARE(box.title, QStringLiteral("Noch nicht optimiert"));
    }

    void opensWithTheStoredEntries()
    {
        submitsettings::Entries stored;
        stored.url = "www.beispiel.de";
        stored.email = "info@beispiel.de";
        stored.mode = submitdocs::Mode::Complete;
        QVERIFY(submitsettings::saveEntries(projectFile(), stored));

        SubmitDialog dialog;
        QVERIFY(dialog.ready());
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Anmeldung"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("projectLabel"))->text(),
                 QStringLiteral("Projekt: Standardprojekt (%1)").arg(m_homepage));
        QCOMPARE(edit(dialog, "urlEdit")->text(), QStringLiteral("www.beispiel.de"));
        QCOMPARE(edit(dialog, "emailEdit")->text(), QStringLiteral("info@beispiel.de"));
        QVERIFY(findChildNamed<QRadioButton>(&dialog, QStringLiteral("completeRadio"))->isChecked());
        for (int slot = 1; slot <= SubmitDialog::kSlots; ++slot) {
            QCOMPARE(edit(dialog, qPrintable(QStringLiteral("slotTitle%1").arg(slot)))->text(),
                     QStringLiteral("Bereit..."));
            auto *list = findChildNamed<QTreeWidget>(&dialog, QStringLiteral("slotList%1").arg(slot));
            QVERIFY(list);
            QCOMPARE(list->columnCount(), 2);
            QCOMPARE(list->iconSize(), QSize(SubmitStateImages::kSize, SubmitStateImages::kSize));
        }
        for (const QString &text :
             {QStringLiteral("Anmeldung durchführen"), QStringLiteral("Datei-Endungen"), QStringLiteral("Abbrechen"),
              QStringLiteral("Excel-Format"), QStringLiteral("HTML-Format"), QStringLiteral("Hilfe")})
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());

        QTest::keyClick(&dialog, Qt::Key_F1);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kSubmission, help::kSubmission}));
    }

    void aMissingModeIsOptimal()
    {
        SubmitDialog dialog;
        QVERIFY(dialog.ready());
        QVERIFY(findChildNamed<QRadioButton>(&dialog, QStringLiteral("optimalRadio"))->isChecked());
    }

    void onlyKomplettOffersTheExtensions()
    {
        SubmitDialog dialog;
        dialog.show();
        settle();
        QPushButton *extensions = findButton(&dialog, QStringLiteral("Datei-Endungen"));
        QVERIFY(!extensions->isEnabled());
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("completeRadio")));
        QVERIFY(extensions->isEnabled());
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("startPageOnlyRadio")));
        QVERIFY(!extensions->isEnabled());
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("completeRadio")));
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("optimalRadio")));
        QVERIFY(!extensions->isEnabled());

        // It opens the extensions of this project.
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("completeRadio")));
        DialogWalk walk;
        closeNextDialogs(1, walk, [](QWidget *window) { static_cast<QDialog *>(window)->reject(); });
        QTest::mouseClick(extensions, Qt::LeftButton);
        QCOMPARE(walk.names, std::vector<QString>{QStringLiteral("extensionsDialog")});
    }

    void theEntriesAreCheckedInTheirOrder_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("opening");
        QTest::newRow("no e-mail") << QString() << QString() << QStringLiteral("Email-Adresse")
                                   << QStringLiteral("Bitte geben Sie eine Email-Adresse ein. Sie können auch ein nicht "
                                                     "existente Email-Adresse eingeben");
        // The blank is caught before the missing '@'.
        QTest::newRow("blank") << QStringLiteral("info beispiel.de") << QString() << QStringLiteral("Ungültige Zeichen")
                               << QStringLiteral("Die angegebene Email-Adresse enthält ungültige Zeichen.");
        QTest::newRow("umlaut") << QStringLiteral("müller@beispiel.de") << QString()
                                << QStringLiteral("Ungültige Zeichen")
                                << QStringLiteral("Die angegebene Email-Adresse enthält ungültige Zeichen.");
        QTest::newRow("no @") << QStringLiteral("info.beispiel.de") << QString() << QStringLiteral("Email-Adresse")
                              << QStringLiteral("Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse "
                                                "muss das Zeichen '@' enthalten!");
        QTest::newRow("no dot") << QStringLiteral("info@beispiel") << QString() << QStringLiteral("Email-Adresse")
                                << QStringLiteral("Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse "
                                                  "muss das Zeichen '.' enthalten!");
        QTest::newRow("no url") << QStringLiteral("info@beispiel.de") << QString() << QStringLiteral("Domain Adresse")
                                << QStringLiteral("Bitte geben Sie die Domain-Adresse für die Homepage im Internet ein");
        QTest::newRow("url without dot") << QStringLiteral("info@beispiel.de") << QStringLiteral("localhost")
                                         << QStringLiteral("Domain Adresse")
                                         << QStringLiteral("Bitte geben Sie eine gültige Domain-Adresse ein.");
    }
    void theEntriesAreCheckedInTheirOrder()
    {
        QFETCH(QString, email);
        QFETCH(QString, url);
        QFETCH(QString, title);
        QFETCH(QString, opening);
        SubmitDialog dialog;
        dialog.show();
        settle();
        edit(dialog, "emailEdit")->setText(email);
        edit(dialog, "urlEdit")->setText(url);
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("startPageOnlyRadio")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Anmeldung durchführen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, title);
        QVERIFY2(box.text.startsWith(opening), qPrintable(box.text));
        // Nothing was kept, and the dialog is ready for the next try.
        QVERIFY(submitsettings::readEntries(projectFile()).email.empty());
        QCOMPARE(submitsettings::readEntries(projectFile()).mode, submitdocs::Mode::Optimal);
        QVERIFY(findButton(&dialog, QStringLiteral("Anmeldung durchführen"))->isEnabled());
        QVERIFY(edit(dialog, "emailEdit")->isEnabled());
    }

    void closingWaitsForNothingButTheRun()
    {
        SubmitDialog dialog;
        dialog.show();
        settle();
        QVERIFY(!dialog.running());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Schließen")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void theStateImagesDifferWhereTheStatesDo()
    {
        const QPixmap &strip = SubmitStateImages::strip();
        QCOMPARE(strip.height(), SubmitStateImages::kSize);
        QCOMPARE(strip.width() % SubmitStateImages::kSize, 0);
        std::set<QByteArray> seen;
        for (const int state : {1, 3, 4, 5, 7, 8, 9}) {
            const QImage image = SubmitStateImages::pixmap(state).toImage();
            QVERIFY2(!image.isNull(), qPrintable(QString::number(state)));
            const QByteArray bytes(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
            QVERIFY2(seen.insert(bytes).second, qPrintable(QString::number(state)));
            QVERIFY2(image.pixelColor(7, 7).alpha() > 0, qPrintable(QString::number(state)));
        }
        QVERIFY(SubmitStateImages::icon(SubmitStateImages::kCount).isNull());
    }

    void theHomepageQuestionHasItsOwnButtons()
    {
        m_env->hooks().setIntercepting(false);
        QWidget parent;
        parent.show();
        const auto answer = [&](const QString &press) {
            m_env->hooks().onNextShown([press](QWidget *window) {
                QCOMPARE(window->windowTitle(), QStringLiteral("Keine Antwort von Homepage"));
                QVERIFY(findButton(window, QStringLiteral("Anmelden beenden")));
                QVERIFY(findButton(window, QStringLiteral("Anmelden fortsetzen")));
                QVERIFY(!findButton(window, QStringLiteral("OK")));
                if (press.isEmpty())
                    QTest::keyClick(window, Qt::Key_Escape);
                else
                    QTest::mouseClick(findButton(window, press), Qt::LeftButton);
            });
            return m_env->ui().questionWith(toCp1252(QStringLiteral("Keine Antwort von Homepage")), "Text",
                                            "Anmelden beenden", "Anmelden fortsetzen");
        };
        QVERIFY(answer(QStringLiteral("Anmelden fortsetzen")));
        QVERIFY(!answer(QStringLiteral("Anmelden beenden")));
        QVERIFY(!answer(QString()));
    }

    void fromTheWizardMenuWithoutHomepage()
    {
        storeStandardProject(QString());
        WizardMenu menu;
        menu.show();
        QTest::mouseClick(findButton(&menu, QStringLiteral("Anmelden")), Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Noch nicht optimiert"));
        QVERIFY(lastShown(QStringLiteral("message")).text.startsWith(
            QStringLiteral("Für dieses Projekt wurde noch keine Startseite (Homepage) festgelegt.")));
    }

    void withoutDataFilesTheDialogCloses()
    {
        // Missing ones are fetched first; here the server is not there.
        std::filesystem::remove(dataDirectory() / submitprep::kListsFile);
        startServer();
        QVERIFY(m_server->refuseConnections());
        SubmitDialog dialog;
        QVERIFY(!dialog.ready());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Datei fehlt!"));
    }

    void aWholeRunShowsEveryOutcomeAndItsSummary()
    {
        startServer();
        SubmitDialog dialog;
        QVERIFY(dialog.ready());
        dialog.setTiming({std::chrono::milliseconds(200), std::chrono::milliseconds(20), std::chrono::milliseconds(10)});
        dialog.show();
        settle();
        const QString site = QStringLiteral("127.0.0.1:%1").arg(m_server->port());
        edit(dialog, "urlEdit")->setText(site);
        edit(dialog, "emailEdit")->setText(QStringLiteral("test@beispiel.de"));
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("startPageOnlyRadio")));

        const QStringList targets{QStringLiteral("Suchfix"), QStringLiteral("Spürnase"), QStringLiteral("Netzlotse"),
                                  QStringLiteral("Sammelgut")};
        m_env->hooks().onNextShown([targets](QWidget *window) { chooseAndStart(window, targets); });
        SlotWatcher watcher(dialog);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Anmeldung durchführen")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(!dialog.running());

        // The entries were kept.
        const submitsettings::Entries stored = submitsettings::readEntries(projectFile());
        QCOMPARE(fromCp1252(stored.url), site);
        QCOMPARE(stored.mode, submitdocs::Mode::StartPageOnly);

        // Each target's line went from "working" to its outcome.
        const QString line = QStringLiteral("Anmelden: ") + site;
        std::map<QString, int> images;
        bool working = false;
        for (const SeenLine &seen : watcher.lines) {
            if (seen.document == line && seen.outcome.isEmpty() && seen.image == submitoutcome::kWorkingImage)
                working = true;
            if (seen.document == line && !seen.outcome.isEmpty())
                images[seen.outcome] = seen.image;
        }
        QVERIFY(working);
        // Four targets in three slots: two slots wait for the last one.
        const QString idle = fromCp1252(SubmitRun::idleLine());
        QVERIFY(std::any_of(watcher.lines.begin(), watcher.lines.end(), [&idle](const SeenLine &seen) {
            return seen.document == idle && seen.image == submitoutcome::kIdleImage;
        }));
        const auto expectOutcome = [&images](SubmitOutcome outcome) {
            const QString text = fromCp1252(submitoutcome::text(outcome));
            QVERIFY2(images.count(text), qPrintable(text));
            QCOMPARE(images[text], submitoutcome::image(outcome));
        };
        expectOutcome(SubmitOutcome::AlreadyListed);
        expectOutcome(SubmitOutcome::Rejected);
        expectOutcome(SubmitOutcome::EngineError);
        expectOutcome(SubmitOutcome::Down);
        for (const QString &target : targets)
            QVERIFY2(watcher.titles.count(target), qPrintable(target));
        QVERIFY(watcher.abortWasEnabled);
        QVERIFY(!watcher.closeWasEnabled);

        // The end: every slot done, the buttons back.
        for (int slot = 1; slot <= SubmitDialog::kSlots; ++slot)
            QCOMPARE(edit(dialog, qPrintable(QStringLiteral("slotTitle%1").arg(slot)))->text(), QStringLiteral("Fertig!"));
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());
        QVERIFY(findButton(&dialog, QStringLiteral("Anmeldung durchführen"))->isEnabled());
        QVERIFY(findButton(&dialog, QStringLiteral("Schließen"))->isEnabled());
        QVERIFY(edit(dialog, "urlEdit")->isEnabled());

        QStringList report;
        auto *reportList = findChildNamed<QListWidget>(&dialog, QStringLiteral("reportList"));
        for (int row = 0; row < reportList->count(); ++row)
            report << reportList->item(row)->text();
        QVERIFY2(report.contains(QStringLiteral("Spürnase: %1 > Abgelehnt (URL ungültig oder kann nicht angemeldet "
                                                "werden)").arg(site)),
                 qPrintable(report.join(QLatin1Char('\n'))));
        // Known already is no failure.
        QVERIFY(report.contains(QStringLiteral("Suchfix: Anmeldung erfolgreich abgeschlossen")));
        QVERIFY(report.contains(QStringLiteral("Netzlotse: Mind. 1 Dokument konnte nicht angemeldet werden")));
        QVERIFY(report.contains(QStringLiteral("Spürnase: Mind. 1 Dokument wurde nicht akzeptiert")));
        QVERIFY(report.contains(QStringLiteral("Sammelgut: Anmeldung erfolgreich abgeschlossen")));
        auto *adviceList = findChildNamed<QListWidget>(&dialog, QStringLiteral("adviceList"));
        QVERIFY(adviceList->count() >= 2);

        // The report goes where the user says, with what the lists hold.
        const QString file = m_env->path() + QStringLiteral("/bericht.htm");
        m_env->hooks().pushFileName(file);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("HTML-Format")), Qt::LeftButton);
        const auto &request = m_env->hooks().fileRequests().back();
        QCOMPARE(request.caption, QStringLiteral("Report speichern"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("htm"));
        QCOMPARE(request.directory, QFileInfo(m_homepage).absolutePath() + QStringLiteral("/Anmelde-Report"));
        const QString page = fromCp1252(readAll(file).toStdString());
        QVERIFY(page.contains(QStringLiteral("Suchfix: Anmeldung erfolgreich abgeschlossen")));
        QVERIFY(page.contains(site));

        const QString table = m_env->path() + QStringLiteral("/bericht.csv");
        m_env->hooks().pushFileName(m_env->path() + QStringLiteral("/bericht"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Excel-Format")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().fileRequests().back().defaultSuffix, QStringLiteral("csv"));
        QVERIFY(QString::fromUtf8(readAll(table)).contains(QStringLiteral("Spürnase")));
    }

    void abortStopsTheRun()
    {
        startServer();
        SubmitDialog dialog;
        QVERIFY(dialog.ready());
        dialog.setTiming({std::chrono::milliseconds(200), std::chrono::milliseconds(20), std::chrono::milliseconds(10)});
        dialog.show();
        settle();
        edit(dialog, "urlEdit")->setText(QStringLiteral("127.0.0.1:%1").arg(m_server->port()));
        edit(dialog, "emailEdit")->setText(QStringLiteral("test@beispiel.de"));
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("startPageOnlyRadio")));

        // Four slow ones: the fourth would only start once one of the first
        // three is through.
        const QStringList targets{QStringLiteral("Schnecke"), QStringLiteral("Suchfix"), QStringLiteral("Findling"),
                                  QStringLiteral("Sammelgut")};
        m_env->hooks().onNextShown([targets](QWidget *window) { chooseAndStart(window, targets); });
        QString titleAfterAbort;
        bool aborted = false;
        QTimer poke;
        poke.setInterval(5);
        connect(&poke, &QTimer::timeout, &dialog, [&] {
            QPushButton *abort = button(dialog, "abortButton");
            if (aborted || !abort->isEnabled())
                return;
            aborted = true;
            QTest::mouseClick(abort, Qt::LeftButton);
            titleAfterAbort = edit(dialog, "slotTitle1")->text();
            QVERIFY(!abort->isEnabled());
        });
        poke.start();
        SlotWatcher watcher(dialog);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Anmeldung durchführen")), Qt::LeftButton);
        poke.stop();
        QVERIFY(aborted);
        QCOMPARE(titleAfterAbort, QStringLiteral("Vorgang wird abgebrochen..."));
        QVERIFY(!watcher.titles.count(QStringLiteral("Sammelgut")));
        QVERIFY(!dialog.running());
        QVERIFY(findButton(&dialog, QStringLiteral("Anmeldung durchführen"))->isEnabled());
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());
    }

    void theSitemapGoesBesideTheHomepageWithItsLineInRobots()
    {
        SubmitDialog dialog;
        QVERIFY(dialog.ready());
        edit(dialog, "urlEdit")->setText(QStringLiteral("www.sonnenblume-gaerten.de"));
        auto *scheme = findChildNamed<QComboBox>(&dialog, QStringLiteral("schemeCombo"));
        scheme->setCurrentIndex(1);
        clickIndicator(findChildNamed<QRadioButton>(&dialog, QStringLiteral("startPageOnlyRadio")));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Sitemap erstellen")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(m_env->hooks().shown().back().title, QStringLiteral("Sitemap erstellt"));
        const std::filesystem::path directory = std::filesystem::path(m_homepage.toStdString()).parent_path();
        std::ifstream in(directory / "sitemap.xml");
        const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // "nur Startseite" still lists the site, by the scheme chosen.
        QVERIFY(xml.find("<loc>http://www.sonnenblume-gaerten.de/index.htm</loc>") != std::string::npos);
        std::ifstream robots(directory / "robots.txt");
        const std::string lines((std::istreambuf_iterator<char>(robots)), std::istreambuf_iterator<char>());
        QVERIFY(lines.find("Sitemap: http://www.sonnenblume-gaerten.de/sitemap.xml") != std::string::npos);
        QCOMPARE(submitsettings::readSiteScheme(projectFile()), std::string("http"));

        // Without an address there is nothing to put in front of the paths.
        edit(dialog, "urlEdit")->clear();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Sitemap erstellen")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().back().title, QStringLiteral("Domain Adresse"));
    }

    void theHelpPagesAreListed()
    {
        const QString shipped = QStringLiteral(VANTOR_SOURCE_DATA_DIR "/help/");
        const QString index = QString::fromUtf8(readAll(shipped + QStringLiteral("index.htm")));
        for (const int topic : {help::kSubmission, help::kSubmitList, help::kExtensions}) {
            const QString page = QString::number(topic) + QStringLiteral(".htm");
            QVERIFY2(QFile::exists(shipped + page), qPrintable(page));
            QVERIFY2(index.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')), qPrintable(page));
        }
    }

private:
    // The demo server as the maker's, with its engines.
    void startServer()
    {
        m_server = std::make_unique<MakerServerFixture>(std::filesystem::path(m_env->path().toStdString()) / "server");
        QVERIFY(m_server->running());
    }
    static std::filesystem::path dataDirectory()
    {
        return std::filesystem::path(programSettings().programDirectory) / "Data";
    }

    static std::string projectFile() { return projectFilePath(programSettings().currentProject); }
    static QLineEdit *edit(QWidget &dialog, const char *name)
    {
        return findChildNamed<QLineEdit>(&dialog, QString::fromLatin1(name));
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    std::unique_ptr<MakerServerFixture> m_server;
    QString m_homepage;
};

QTEST_MAIN(SubmitDialogTest)
#include "SubmitDialogTest.moc"
