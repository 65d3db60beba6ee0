#include "GuiTestSupport.h"

#include "net/DataFile.h"
#include "net/DataFileFetch.h"
#include "platform/Help.h"
#include "platform/Shell.h"
#include "platform/SettingsStore.h"
#include "position/PositionDialog.h"
#include "position/PositionOutcome.h"
#include "position/PositionPreparation.h"
#include "position/PositionRun.h"
#include "position/PositionTerms.h"
#include "position/RankStore.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitStateImages.h"
#include "ui/QtText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QString kDomain = QStringLiteral("www.beispiel.de");

std::string resultList(const std::vector<std::string> &sites)
{
    std::string page = "<html><body>\r\n<p>Ergebnisse</p>\r\n<ol>\r\n";
    for (const std::string &site : sites)
        page += "<li><a href=\"http://" + site + "/\">" + site + "</a> Beschreibung</li>\r\n";
    return page + "</ol>\r\n</body></html>\r\n";
}

// The maker's server and four search engines on 127.0.0.1. "Suchfix"
// knows the site under some terms: "oben" on its first page, third; "rosen"
// second on its second page; "zweit" lists only the second domain.
// "Spürnase" names the site outside any result list, "Leerlauf" answers
// with nothing and "Schnecke" holds its answers until released.
class PositionServer
{
public:
    PositionServer()
    {
        m_server.Get("/download/vantor/position_d.dat", [this](const httplib::Request &, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(m_mutex);
            response.set_content(m_packed, "application/octet-stream");
        });
        m_server.Get("/cgi-bin/support.pl", [this](const httplib::Request &request, httplib::Response &response) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_errorReports.push_back(request.get_param_value("text"));
            }
            response.set_content("OK", "text/plain");
        });
        m_server.Get("/fix", [](const httplib::Request &request, httplib::Response &response) {
            const std::string term = request.get_param_value("q");
            const bool second = request.get_param_value("p") == "2";
            std::vector<std::string> sites{"www.andere.de", "www.zweite.de"};
            if (!second && term.find("oben") != std::string::npos)
                sites.push_back("www.beispiel.de");
            if (second && term.find("rosen") != std::string::npos)
                sites.insert(sites.begin() + 1, "www.beispiel.de");
            if (!second && term.find("zweit") != std::string::npos)
                sites.insert(sites.begin() + 1, "www.zweitdomain.de");
            response.set_content(resultList(sites), "text/html");
        });
        m_server.Get("/nase", [](const httplib::Request &, httplib::Response &response) {
            response.set_content("<html><body>Besuchen Sie www.beispiel.de</body></html>\r\n", "text/html");
        });
        m_server.Get("/leer", [](const httplib::Request &, httplib::Response &response) {
            response.set_content("", "text/html");
        });
        m_server.Get("/langsam", [this](const httplib::Request &, httplib::Response &response) {
            m_slowAsked = true;
            std::unique_lock<std::mutex> lock(m_mutex);
            // The bound only keeps a broken test from hanging for ever.
            m_releaseSignal.wait_for(lock, std::chrono::seconds(20), [this] { return m_released; });
            response.set_content(resultList({"www.andere.de"}), "text/html");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
    }
    ~PositionServer()
    {
        release();
        m_server.stop();
        m_thread.join();
    }
    PositionServer(const PositionServer &) = delete;
    PositionServer &operator=(const PositionServer &) = delete;

    // The packed position file, served and in Data/ as an older update left it.
    bool writeDataFile()
    {
        const std::string server = "127.0.0.1:" + std::to_string(m_port);
        const auto engine = [&server](const char *name, const char *prefix, const char *path, int pages) {
            std::string request = "10";
            for (int page = 1; page <= pages; ++page)
                request += "^" + std::string(path) + "?q=suchbegriff&p=" + std::to_string(page);
            return std::string(name) + "|" + prefix + "|" + server + "|GET|" + request + "|</li>|<ol>|</ol>|<li>|<a";
        };
        const std::string text = "SYSTEM.active=0\r\nSYSTEM.showalways=0\r\nSYSTEM.german=Hallo\r\n"
                                 "SYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4.01\r\n"
                                 "P.1=" + engine("Suchfix", "suchfix.example", "/fix", 2) + "\r\n"
                                 "P.2=" + engine("Spürnase", "nase.example", "/nase", 1) + "\r\n"
                                 "P.3=" + engine("Leerlauf", "leer.example", "/leer", 1) + "\r\n"
                                 "P.4=" + engine("Schnecke", "schnecke.example", "/langsam", 1) + "\r\n";
        std::string packed;
        if (!DataFile::pack(toCp1252(QString::fromUtf8(text.c_str())), packed))
            return false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_packed = packed;
        }
        const QString directory = fromCp1252(programSettings().programDirectory) + QStringLiteral("/Data");
        QDir().mkpath(directory);
        QFile file(directory + QStringLiteral("/position_d.dat"));
        return file.open(QIODevice::WriteOnly)
            && file.write(packed.data(), static_cast<qint64>(packed.size())) == static_cast<qint64>(packed.size());
    }

    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_released = true;
        }
        m_releaseSignal.notify_all();
    }
    bool slowAsked() const { return m_slowAsked; }
    std::vector<std::string> errorReports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errorReports;
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_releaseSignal;
    bool m_released = false;
    std::atomic<bool> m_slowAsked{false};
    std::string m_packed;
    std::vector<std::string> m_errorReports;
};

QPushButton *button(QWidget &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QLineEdit *edit(QWidget &dialog, const QString &name) { return dialog.findChild<QLineEdit *>(name); }

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

struct SeenLine {
    QString query;
    QString outcome;
    int image = 0;
};

// What the slots showed while a run went on, sampled as the run pumps.
class SlotWatcher : public QObject
{
public:
    explicit SlotWatcher(PositionDialog &dialog)
        : m_dialog(dialog)
    {
        m_timer.setInterval(3);
        connect(&m_timer, &QTimer::timeout, this, &SlotWatcher::sample);
        m_timer.start();
    }

    std::vector<SeenLine> lines;
    std::set<QString> titles;
    bool abortWasEnabled = false;
    bool okWasEnabled = false;
    bool startWasEnabled = false;

    bool saw(const QString &query, const QString &outcome, int image) const
    {
        return std::any_of(lines.begin(), lines.end(), [&](const SeenLine &line) {
            return line.query == query && line.outcome == outcome && line.image == image;
        });
    }

private:
    void sample()
    {
        if (!m_dialog.running())
            return;
        for (int slot = 1; slot <= PositionDialog::kSlots; ++slot) {
            auto *list = m_dialog.findChild<QTreeWidget *>(QStringLiteral("slotList%1").arg(slot));
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QTreeWidgetItem *item = list->topLevelItem(row);
                lines.push_back({item->text(0), item->text(1), PositionDialog::lineImage(item)});
            }
            titles.insert(edit(m_dialog, QStringLiteral("slotTitle%1").arg(slot))->text());
        }
        abortWasEnabled = abortWasEnabled || button(m_dialog, "abortButton")->isEnabled();
        okWasEnabled = okWasEnabled || button(m_dialog, "okButton")->isEnabled();
        startWasEnabled = startWasEnabled || button(m_dialog, "startButton")->isEnabled();
    }

    PositionDialog &m_dialog;
    QTimer m_timer;
};

// Leaves only the named engines in the Anmelde-Liste and starts; the terms
// it was opened with go to `terms`.
void keepEnginesAndStart(QWidget *window, const QStringList &engines, QStringList *terms = nullptr)
{
    QCOMPARE(window->objectName(), QStringLiteral("positionListDialog"));
    if (terms)
        *terms = rows(window->findChild<QListWidget *>(QStringLiteral("termList")));
    auto *list = window->findChild<QListWidget *>(QStringLiteral("engineList"));
    list->clearSelection();
    for (int row = 0; row < list->count(); ++row)
        list->item(row)->setSelected(!engines.contains(list->item(row)->text()));
    if (!list->selectedItems().isEmpty())
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("removeEngineButton")), Qt::LeftButton);
    QCOMPARE(rows(list), engines);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("startButton")), Qt::LeftButton);
}

} // namespace

class PositionDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        DataFileFetch::reset();
        PositionRun::resetMakerReport();
        m_homepage = copyExampleSite(m_env->path());
        // "muellerbau" is "Müller Bau" once more, and "#" ends a term.
        storeStandardProject(m_homepage, [] {
            ProjectRecord &record = projectRecord();
            for (auto &term : record.homepageKeywords)
                term.set("");
            for (auto &copy : record.copyKeywords)
                for (auto &term : copy)
                    term.set("");
            for (auto &term : record.doorwayKeywords)
                term.set("");
            record.homepageKeywords[0].set("Gartenbau oben");
            record.homepageKeywords[1].set(toCp1252(QStringLiteral("Müller Bau")));
            record.copyKeywords[0][0].set("muellerbau");
            record.copyKeywords[0][1].set("Rosen#Sommer");
            record.doorwayKeywords[0].set("zweitdomain");
        });
        m_server = std::make_unique<PositionServer>();
        QVERIFY(m_server->writeDataFile());
    }
    void cleanup()
    {
        m_server.reset();
        DataFileFetch::reset();
        m_env.reset();
    }

    void opensWithTheStoredDomainAndEveryControl()
    {
        QVERIFY(positionprep::saveDomain(projectFile(), "www.gespeichert.de"));
        PositionDialog dialog;
        QVERIFY(dialog.ready());
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Positionen ermitteln"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("projectLabel"))->text(),
                 QStringLiteral("Projekt: Standardprojekt (%1)").arg(m_homepage));
        QCOMPARE(domain(dialog)->text(), QStringLiteral("www.gespeichert.de"));
        QCOMPARE(domain(dialog)->maxLength(), 49);
        QVERIFY(edit(dialog, QStringLiteral("domainListEdit"))->text().isEmpty());
        QCOMPARE(dialog.focusWidget(), domain(dialog));
        for (int slot = 1; slot <= PositionDialog::kSlots; ++slot) {
            QCOMPARE(edit(dialog, QStringLiteral("slotTitle%1").arg(slot))->text(), QStringLiteral("Bereit..."));
            QCOMPARE(findChildNamed<QTreeWidget>(&dialog, QStringLiteral("slotList%1").arg(slot))->columnCount(), 2);
        }
        QCOMPARE(progress(dialog)->minimum(), 0);
        QCOMPARE(progress(dialog)->maximum(), 28);
        for (const QString &text : {QStringLiteral("Positionen ermitteln"), QStringLiteral("Abbrechen"),
                                    QStringLiteral("HTML-Format"), QStringLiteral("OK"), QStringLiteral("Hilfe")})
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QVERIFY(findButton(&dialog, QStringLiteral("Positionen ermitteln"))->isDefault());
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());

        QTest::keyClick(&dialog, Qt::Key_F1);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kPosition, help::kPosition}));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void nothingOverlapsAtTheSmallestSize()
    {
        PositionDialog dialog;
        dialog.show();
        settle();
        dialog.resize(dialog.minimumSize());
        settle();
        // Top to bottom, each below the one before; the wrapped texts above
        // the slots once pushed the slots into each other.
        QWidget *previous = nullptr;
        for (const QString &name :
             {QStringLiteral("introLabel"), QStringLiteral("domainListNote"), QStringLiteral("slotTitle1"),
              QStringLiteral("slotList1"), QStringLiteral("slotTitle2"), QStringLiteral("slotList2"),
              QStringLiteral("slotTitle3"), QStringLiteral("slotList3"), QStringLiteral("progressBar"),
              QStringLiteral("reportList"), QStringLiteral("okButton")}) {
            auto *widget = findChildNamed<QWidget>(&dialog, name);
            QVERIFY2(widget, qPrintable(name));
            const QRect here(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
            if (previous) {
                const QRect before(previous->mapTo(&dialog, QPoint(0, 0)), previous->size());
                QVERIFY2(here.top() > before.bottom(), qPrintable(name));
            }
            QVERIFY2(dialog.rect().contains(here), qPrintable(name));
            previous = widget;
        }
    }

    void everyOutcomeHasAPictureOfItsOwn()
    {
        std::set<QByteArray> seen;
        for (const int image : {1, positionoutcome::kWorkingImage, 3, 4, 5, positionoutcome::kIdleImage, 8}) {
            const QImage picture = SubmitStateImages::pixmap(PositionDialog::stripIndex(image)).toImage();
            QVERIFY2(!picture.isNull(), qPrintable(QString::number(image)));
            QVERIFY2(picture.pixelColor(7, 7).alpha() > 0, qPrintable(QString::number(image)));
            const QByteArray bytes(reinterpret_cast<const char *>(picture.constBits()), picture.sizeInBytes());
            QVERIFY2(seen.insert(bytes).second, qPrintable(QString::number(image)));
        }
    }

    void aDomainIsRefusedBeforeAnythingHappens_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opening");
        QTest::newRow("empty") << QString()
                               << QStringLiteral("Bitte geben Sie die Domain-Adresse für die Homepage im Internet ein");
        QTest::newRow("without dot") << QStringLiteral("localhost")
                                     << QStringLiteral("Bitte geben Sie eine gültige Domain-Adresse ein. Die "
                                                       "Domain-Adresse muss das Zeichen '.' enthalten");
    }
    void aDomainIsRefusedBeforeAnythingHappens()
    {
        QFETCH(QString, typed);
        QFETCH(QString, opening);
        QVERIFY(positionprep::saveDomain(projectFile(), "www.vorher.de"));
        PositionDialog dialog;
        dialog.show();
        settle();
        domain(dialog)->setText(typed);
        DialogWalk walk;
        closeNextDialogs(1, walk);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);

        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Domain Adresse"));
        QVERIFY2(box.text.startsWith(opening), qPrintable(box.text));
        QVERIFY(box.text.endsWith(QStringLiteral(").")));
        // No Anmelde-Liste, nothing fetched, nothing kept.
        QVERIFY(walk.names.empty());
        QVERIFY(!DataFileFetch::fetched(positionprep::kDataFile));
        QCOMPARE(positionprep::readDomain(projectFile()), std::string("www.vorher.de"));
        QVERIFY(findButton(&dialog, QStringLiteral("Positionen ermitteln"))->isEnabled());
        QVERIFY(domain(dialog)->isEnabled());
    }

    void aRunShowsEveryOutcomeAndTheReport()
    {
        // A second address of the site, in a file beside the projects.
        writeAll(fromCp1252(positionterms::domainListPath("domains.txt")), "beispiel.example\r\nwww.zweitdomain.de\r\n");
        PositionDialog dialog;
        dialog.setTiming({std::chrono::milliseconds(20), std::chrono::milliseconds(10), std::chrono::milliseconds(10)});
        dialog.show();
        settle();
        domain(dialog)->setText(kDomain);
        edit(dialog, QStringLiteral("domainListEdit"))->setText(QStringLiteral("domains.txt"));

        QStringList offeredTerms;
        const QStringList engines{QStringLiteral("Suchfix"), QStringLiteral("Spürnase"), QStringLiteral("Leerlauf")};
        m_env->hooks().onNextShown(
            [&offeredTerms, engines](QWidget *window) { keepEnginesAndStart(window, engines, &offeredTerms); });
        SlotWatcher watcher(dialog);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(!dialog.running());
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);

        // The project's terms, each once, lower case and cut at '#'.
        QCOMPARE(offeredTerms, (QStringList{QStringLiteral("gartenbau oben"), QStringLiteral("müller bau"),
                                            QStringLiteral("rosen"), QStringLiteral("zweitdomain")}));
        QCOMPARE(positionprep::readDomain(projectFile()), kDomain.toStdString());

        // Each query went from "at work" to its outcome, with its picture.
        const QString query = QStringLiteral("Abfragen: gartenbau oben");
        QVERIFY(std::any_of(watcher.lines.begin(), watcher.lines.end(), [](const SeenLine &line) {
            return line.query.startsWith(QStringLiteral("Abfragen: ")) && line.outcome.isEmpty()
                && line.image == positionoutcome::kWorkingImage;
        }));
        QVERIFY(watcher.saw(query, QStringLiteral("Position 3"), 3));
        QVERIFY(watcher.saw(QStringLiteral("Abfragen: rosen"), QStringLiteral("Position 12"), 3));
        QVERIFY(watcher.saw(QStringLiteral("Abfragen: zweitdomain"), QStringLiteral("Position 2"), 3));
        QVERIFY(watcher.saw(QStringLiteral("Abfragen: müller bau"), QStringLiteral("Nicht unter Top 20"), 5));
        QVERIFY(watcher.saw(query, QStringLiteral("Spürnase: START_AFTER falsch"), 4));
        QVERIFY(watcher.saw(query, QStringLiteral("Leerlauf: Fehler (ungültige URL?)"), 1));
        for (const QString &engine : engines)
            QVERIFY2(watcher.titles.count(engine), qPrintable(engine));
        QVERIFY(watcher.abortWasEnabled);
        QVERIFY(!watcher.okWasEnabled);
        QVERIFY(!watcher.startWasEnabled);

        // The end: every slot done, the buttons back.
        for (int slot = 1; slot <= PositionDialog::kSlots; ++slot) {
            QCOMPARE(edit(dialog, QStringLiteral("slotTitle%1").arg(slot))->text(), QStringLiteral("Fertig!"));
            QCOMPARE(findChildNamed<QTreeWidget>(&dialog, QStringLiteral("slotList%1").arg(slot))->topLevelItemCount(),
                     0);
        }
        QCOMPARE(progress(dialog)->value(), 28);
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());
        QVERIFY(findButton(&dialog, QStringLiteral("Positionen ermitteln"))->isEnabled());
        QVERIFY(findButton(&dialog, QStringLiteral("OK"))->isEnabled());

        const QStringList report = rows(findChildNamed<QListWidget>(&dialog, QStringLiteral("reportList")));
        QCOMPARE(report.size(), 15);
        for (const QString &line :
             {QStringLiteral("Suchfix: Begriff 'gartenbau oben' Position 3 Link:suchfix.example/fix?q=gartenbau+oben&p=1"),
              QStringLiteral("Suchfix: Begriff 'rosen' Position 12 Link:suchfix.example/fix?q=rosen&p=2"),
              QStringLiteral("Suchfix: Begriff 'müller bau' Nicht unter Top 20 Link:suchfix.example"),
              QStringLiteral("Suchfix: Position-Analyse erfolgreich abgeschlossen"),
              QStringLiteral("Spürnase: Begriff 'rosen' Spürnase: START_AFTER falsch Link:nase.example"),
              QStringLiteral("Spürnase: Position-Analyse erfolgreich abgeschlossen"),
              QStringLiteral("Leerlauf: Mind. 1 Dokument ergab ungültige Antwort vom Webserver")})
            QVERIFY2(report.contains(line), qPrintable(line + QStringLiteral("\n\n") + report.join(QLatin1Char('\n'))));
        QCOMPARE(fromCp1252(dialog.report().front()), report.front());
        // The maker heard of the empty pages once.
        QCOMPARE(m_server->errorReports(),
                 std::vector<std::string>{"FEHLER Position: Antwort vom Web-Server Leerlauf: Error aufgetreten!"});

        // The ranking report: where the user says, with the found positions
        // only, each linked to its result page.
        const QString file = m_env->path() + QStringLiteral("/ranking.htm");
        m_env->hooks().pushFileName(m_env->path() + QStringLiteral("/ranking"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("HTML-Format")), Qt::LeftButton);
        const auto &request = m_env->hooks().fileRequests().back();
        QCOMPARE(request.caption, QStringLiteral("Report speichern"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("htm"));
        QCOMPARE(request.directory, QFileInfo(m_homepage).absolutePath() + QStringLiteral("/Positions-Report.htm"));
        QVERIFY(request.filter.startsWith(QStringLiteral("HTML Datei (*.htm)")));
        QVERIFY(request.filter.contains(QStringLiteral("Alle Dateien (*.*)")));
        const QString page = fromCp1252(readAll(file).toStdString());
        QVERIFY(page.contains(QStringLiteral("value=\"www.beispiel.de\"")));
        QVERIFY(page.contains(QStringLiteral("Suchfix: Begriff 'gartenbau oben' <a "
                                             "href=\"http://suchfix.example/fix?q=gartenbau+oben&amp;p=1\" "
                                             "target=\"_blank\">Position 3 </a><br>")));
        QVERIFY(page.contains(QStringLiteral(">Position 12 </a>")));
        QVERIFY(page.contains(QStringLiteral(">Position 2 </a>")));
        QVERIFY(!page.contains(QStringLiteral("Nicht unter Top")));
        QVERIFY(!page.contains(QStringLiteral("START_AFTER")));
        QVERIFY(QFile::exists(m_env->path() + QStringLiteral("/back.gif")));

        // Cancelled: nothing is written.
        QVERIFY(QFile::remove(file));
        m_env->hooks().pushFileName(QString());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("HTML-Format")), Qt::LeftButton);
        QVERIFY(!QFile::exists(file));
    }

    void aSecondRunShowsTheChangeAndTheHistoryOpens()
    {
        PositionDialog dialog;
        dialog.setTiming({std::chrono::milliseconds(20), std::chrono::milliseconds(10), std::chrono::milliseconds(10)});
        dialog.show();
        settle();
        domain(dialog)->setText(kDomain);
        const QStringList engines{QStringLiteral("Suchfix")};
        for (int run = 0; run < 2; ++run) {
            m_env->hooks().onNextShown([engines](QWidget *window) { keepEnginesAndStart(window, engines, nullptr); });
            SlotWatcher watcher(dialog);
            QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);
            QCOMPARE(m_env->hooks().pendingActions(), 0);
            // The first run has nothing to compare with; the second stands
            // where the first did.
            QVERIFY(watcher.saw(QStringLiteral("Abfragen: gartenbau oben"),
                                run == 0 ? QStringLiteral("Position 3") : QStringLiteral("Position 3 (=)"), 3));
            QVERIFY(watcher.saw(QStringLiteral("Abfragen: müller bau"), QStringLiteral("Nicht unter Top 20"), 5));
        }
        RankStore store;
        QVERIFY(store.open(RankStore::pathFor(programSettings().currentProject)));
        QCOMPARE(store.history("Suchfix", "gartenbau oben", 0).size(), std::size_t(2));

        std::vector<std::string> opened;
        setShellOpener([&opened](const std::string &target) {
            opened.push_back(target);
            return true;
        });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Verlauf")), Qt::LeftButton);
        setShellOpener(nullptr);
        QCOMPARE(opened.size(), std::size_t(1));
        const QString page = QString::fromUtf8(readAll(fromCp1252(opened.front())));
        QVERIFY(page.contains(QStringLiteral("<h2>Suchfix</h2>")));
        QVERIFY(page.contains(QStringLiteral("<td>gartenbau oben</td>")));
        QVERIFY(page.contains(QStringLiteral("<svg")));
    }

    void abortStopsTheRun()
    {
        PositionDialog dialog;
        dialog.setTiming({std::chrono::milliseconds(200), std::chrono::milliseconds(20), std::chrono::milliseconds(10)});
        dialog.show();
        settle();
        domain(dialog)->setText(kDomain);
        // Four engines: the fourth would start only once one of the first
        // three is through, and the slow one never is.
        const QStringList engines{QStringLiteral("Schnecke"), QStringLiteral("Suchfix"), QStringLiteral("Spürnase"),
                                  QStringLiteral("Leerlauf")};
        m_env->hooks().onNextShown([](QWidget *window) {
            auto *list = window->findChild<QListWidget *>(QStringLiteral("engineList"));
            // In the order the run takes them: the slow one first.
            list->insertItem(0, list->takeItem(3));
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("startButton")), Qt::LeftButton);
        });
        QString titleBeforeAbort;
        QString titleAfterAbort;
        bool aborted = false;
        bool abortStillEnabled = true;
        QTimer poke;
        poke.setInterval(5);
        connect(&poke, &QTimer::timeout, &dialog, [&] {
            QPushButton *abort = button(dialog, "abortButton");
            if (aborted || !abort->isEnabled() || !m_server->slowAsked())
                return;
            aborted = true;
            titleBeforeAbort = edit(dialog, QStringLiteral("slotTitle1"))->text();
            QTest::mouseClick(abort, Qt::LeftButton);
            titleAfterAbort = edit(dialog, QStringLiteral("slotTitle1"))->text();
            abortStillEnabled = abort->isEnabled();
            // Neither OK nor Escape takes the dialog away meanwhile.
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.accept();
        });
        poke.start();
        SlotWatcher watcher(dialog);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);
        poke.stop();
        QVERIFY(aborted);
        QCOMPARE(titleAfterAbort, QStringLiteral("Vorgang wird abgebrochen..."));
        QVERIFY(!abortStillEnabled);
        QCOMPARE(titleBeforeAbort, engines.front());
        QVERIFY(!watcher.titles.count(QStringLiteral("Leerlauf")));
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.running());
        QCOMPARE(edit(dialog, QStringLiteral("slotTitle1"))->text(), QStringLiteral("Fertig!"));
        QVERIFY(findButton(&dialog, QStringLiteral("Positionen ermitteln"))->isEnabled());
        QVERIFY(!findButton(&dialog, QStringLiteral("Abbrechen"))->isEnabled());
    }

    void cancellingTheListRunsNothing()
    {
        PositionDialog dialog;
        dialog.show();
        settle();
        domain(dialog)->setText(kDomain);
        m_env->hooks().onNextShown([](QWidget *window) {
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        });
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().pendingActions(), 0);
        QVERIFY(!m_server->slowAsked());
        QCOMPARE(edit(dialog, QStringLiteral("slotTitle1"))->text(), QStringLiteral("Bereit..."));
        QCOMPARE(findChildNamed<QListWidget>(&dialog, QStringLiteral("reportList"))->count(), 0);
        QVERIFY(findButton(&dialog, QStringLiteral("Positionen ermitteln"))->isEnabled());
        QVERIFY(findButton(&dialog, QStringLiteral("OK"))->isEnabled());
    }

    void theDialUpPromptComesOncePerDialog()
    {
        programSettings().httpInform = 1;
        for (int dialogs = 1; dialogs <= 2; ++dialogs) {
            PositionDialog dialog;
            dialog.setTiming({std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::milliseconds(0)});
            dialog.show();
            settle();
            domain(dialog)->setText(kDomain);
            for (int run = 0; run < 2; ++run) {
                m_env->hooks().pushQuestionAnswer(true);
                m_env->hooks().onNextShown(
                    [](QWidget *window) { keepEnginesAndStart(window, {QStringLiteral("Suchfix")}); });
                QTest::mouseClick(findButton(&dialog, QStringLiteral("Positionen ermitteln")), Qt::LeftButton);
                QCOMPARE(m_env->hooks().pendingActions(), 0);
                QVERIFY(rows(findChildNamed<QListWidget>(&dialog, QStringLiteral("reportList")))
                            .contains(QStringLiteral("Suchfix: Position-Analyse erfolgreich abgeschlossen")));
            }
            QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), dialogs);
            QCOMPARE(lastShown(QStringLiteral("question")).title, QStringLiteral("Internet-Verbindung herstellen"));
        }
    }

    void aProjectThatCannotBeReadOpensNoDialog()
    {
        QVERIFY(QFile::remove(fromCp1252(projectFile())));
        DialogWalk walk;
        closeNextDialogs(1, walk);
        PositionDialog::openForCurrentProject(nullptr);
        QVERIFY(walk.names.empty());
        QCOMPARE(m_env->hooks().pendingActions(), 1);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 1);
    }

    void theHelpPagesAreListed()
    {
        const QString shipped = QStringLiteral(VANTOR_SOURCE_DATA_DIR "/help/");
        const QString index = QString::fromUtf8(readAll(shipped + QStringLiteral("index.htm")));
        for (const int topic : {help::kPosition, help::kPositionList}) {
            const QString page = QString::number(topic) + QStringLiteral(".htm");
            QVERIFY2(QFile::exists(shipped + page), qPrintable(page));
            QVERIFY2(index.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')), qPrintable(page));
        }
    }

private:
    static std::string projectFile() { return projectFilePath(programSettings().currentProject); }
    static QLineEdit *domain(QWidget &dialog) { return edit(dialog, QStringLiteral("domainEdit")); }
    static QProgressBar *progress(QWidget &dialog)
    {
        return findChildNamed<QProgressBar>(&dialog, QStringLiteral("progressBar"));
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    std::unique_ptr<PositionServer> m_server;
    QString m_homepage;
};

QTEST_MAIN(PositionDialogTest)
#include "PositionDialogTest.moc"
