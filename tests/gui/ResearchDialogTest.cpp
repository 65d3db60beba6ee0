#include "GuiTestSupport.h"

#include "net/DataFile.h"
#include "net/DataFileFetch.h"
#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/WizardMenu.h"
#include "research/ResearchDialog.h"
#include "research/ResearchRun.h"
#include "research/WatchList.h"
#include "research/WatchListWindow.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

using Entries = std::vector<WatchList::Entry>;

// The research services on 127.0.0.1: one keyword source that lists its
// terms between <ul> and </ul>, one thesaurus that lists them in one line.
// Both know only "urlaub"; any other term finds nothing.
class ResearchServer
{
public:
    ResearchServer()
    {
        m_server.Get("/k", [this](const httplib::Request &request, httplib::Response &response) {
            holdWhileAsked();
            std::string page = "<html><body>\r\n<ul>\r\n";
            if (request.get_param_value("q") == "urlaub")
                page += "<li>urlaub italien</li>\r\n<li>urlaubsreise</li>\r\n<li>urlaub am meer</li>\r\n";
            response.set_content(page + "</ul>\r\n</body></html>\r\n", "text/html");
        });
        m_server.Get("/t", [](const httplib::Request &request, httplib::Response &response) {
            const std::string terms
                = request.get_param_value("q") == "urlaub" ? "T: Ferien; Erholung; \xC4rger.\r\n" : "";
            response.set_content("<html>\r\n<div>\r\n<p>" + terms + "</p>\r\n</div>\r\n</html>\r\n", "text/html");
        });
        m_server.Get("/download/vantor/research_d.dat", [this](const httplib::Request &, httplib::Response &response) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_serveData)
                response.set_content(m_packed, "application/octet-stream");
            else
                response.status = 404;
        });
        // The services answer in cp1252. Anything else is not there.
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
    }
    ~ResearchServer()
    {
        release();
        m_server.stop();
        m_thread.join();
    }
    ResearchServer(const ResearchServer &) = delete;
    ResearchServer &operator=(const ResearchServer &) = delete;

    // The packed research file with both services and without a notice of
    // the maker's, into Data/.
    bool writeDataFile()
    {
        const std::string base = "http://127.0.0.1:" + std::to_string(m_port);
        const std::string k = "KEYWORDS1.";
        const std::string t = "THESAURUS1.";
        const std::string text = "SYSTEM.active=0\r\nSYSTEM.showalways=0\r\nSYSTEM.german=Hallo\r\n"
                                 "SYSTEM.systemactive=1\r\nSYSTEM.requiredversion=4.01\r\n"
            + k + "active=1\r\n" + k + "keyword=QQ\r\n" + k + "convert=0\r\n" + k + "http1=" + base + "/k?q=QQ\r\n" + k
            + "resultsstart=<ul>\r\n" + k + "resultsend=</ul>\r\n" + k + "resultstart=<li>\r\n" + k
            + "resultend=</li>\r\n" + k + "delimiter=\r\n" + k + "abort=Keine Treffer\r\n" + t + "active=1\r\n" + t
            + "keyword=QQ\r\n" + t + "convert=0\r\n" + t + "http1=" + base + "/t?q=QQ\r\n" + t
            + "resultsstart=<div>\r\n" + t + "resultsend=</div>\r\n" + t + "resultstart=T: \r\n" + t + "resultend=.\r\n"
            + t + "delimiter=; \r\n" + t + "abort=Nichts gefunden\r\n" + "THESAURUS2.active=0\r\n";
        std::string packed;
        if (!DataFile::pack(toCp1252(QString::fromUtf8(text)), packed))
            return false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_packed = packed;
        }
        QDir().mkpath(dataDirectory());
        QFile file(dataPath());
        return file.open(QIODevice::WriteOnly)
            && file.write(packed.data(), static_cast<qint64>(packed.size())) == static_cast<qint64>(packed.size());
    }

    static QString dataDirectory() { return fromCp1252(programSettings().programDirectory) + QStringLiteral("/Data"); }
    static QString dataPath() { return dataDirectory() + QStringLiteral("/research_d.dat"); }

    // The keyword service keeps its answer back until release(), so the
    // dialog can be looked at while its research goes on.
    void holdAnswers() { m_holding = true; }
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_holding = false;
        }
        m_released.notify_all();
    }
    bool asked() const { return m_asked; }
    // Without this, the download fails and the file on disk is used.
    void serveDataFile()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_serveData = true;
    }

private:
    void holdWhileAsked()
    {
        m_asked = true;
        std::unique_lock<std::mutex> lock(m_mutex);
        // The bound only keeps a broken test from hanging for ever.
        m_released.wait_for(lock, std::chrono::seconds(20), [this] { return !m_holding.load(); });
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::atomic<bool> m_holding { false };
    std::atomic<bool> m_asked { false };
    std::string m_packed;
    bool m_serveData = false;
};

QStringList rowTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

Entries storedWatchList()
{
    WatchList list;
    list.load(programSettings().currentProject);
    return list.entries();
}

// Sorted by their bytes: the file keeps the entries by kind, the window in the
// order they came.
Entries byText(Entries entries)
{
    std::sort(entries.begin(), entries.end(),
        [](const WatchList::Entry &a, const WatchList::Entry &b) { return a.text < b.text; });
    return entries;
}

} // namespace

class ResearchDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        qputenv("VANTOR_NO_ANIMATION", "1");
        DataFileFetch::reset();
        m_homepage = m_env->path() + QStringLiteral("/site/index.htm");
        storeStandardProject(m_homepage);
        m_server = std::make_unique<ResearchServer>();
        QVERIFY(m_server->writeDataFile());
    }
    void cleanup()
    {
        m_server.reset();
        destroyWatchList();
        DataFileFetch::reset();
        qunsetenv("VANTOR_NO_ANIMATION");
        m_env.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void opensEmptyWithItsControls()
    {
        ResearchDialog dialog;
        QVERIFY(dialog.ready());
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Recherche"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("projectLabel"))->text(),
            QStringLiteral("Projekt: Standardprojekt (%1)").arg(m_homepage));
        QCOMPARE(progress(dialog)->minimum(), 0);
        QCOMPARE(progress(dialog)->maximum(), 28);
        QCOMPARE(progress(dialog)->value(), 0);
        QVERIFY(start(dialog)->isDefault());
        QCOMPARE(dialog.focusWidget(), term(dialog));
        for (QListWidget *list : { keywords(dialog), variants(dialog) }) {
            QCOMPARE(list->count(), 0);
            QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
            QCOMPARE(list->palette().color(QPalette::Base), QColor(255, 255, 245));
        }
        QCOMPARE(keywords(dialog)->palette().color(QPalette::Text), ResearchDialog::keywordColor());
        QCOMPARE(variants(dialog)->palette().color(QPalette::Text), ResearchDialog::variantColor());
        QVERIFY(ResearchDialog::keywordColor() != ResearchDialog::variantColor());
        for (const QString &text : { QStringLiteral("Merkliste"), QStringLiteral("OK"), QStringLiteral("Hilfe") })
            QVERIFY2(findButton(&dialog, text), qPrintable(text));

        // Typed letters become lower case, wherever the cursor is.
        QTest::keyClicks(term(dialog), QStringLiteral("Urlaub"));
        term(dialog)->setCursorPosition(3);
        QTest::keyClicks(term(dialog), QStringLiteral("ÄÖ"));
        QCOMPARE(term(dialog)->text(), QStringLiteral("urläöaub"));
        QCOMPARE(term(dialog)->cursorPosition(), 5);

        QTest::keyClick(&dialog, Qt::Key_F1);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QCOMPARE(m_env->helpTopics, (std::vector<int> { help::kResearch, help::kResearch }));
    }

    void aResearchFillsBothLists()
    {
        ResearchDialog dialog;
        dialog.show();
        settle();
        QTest::keyClicks(term(dialog), QStringLiteral("Urlaub"));
        QTest::keyClick(term(dialog), Qt::Key_Return);
        QVERIFY(!dialog.running());
        QVERIFY(m_env->hooks().shown().empty());
        QCOMPARE(rowTexts(keywords(dialog)),
            (QStringList {
                QStringLiteral("urlaub italien"), QStringLiteral("urlaubsreise"), QStringLiteral("urlaub am meer") }));
        QCOMPARE(rowTexts(variants(dialog)),
            (QStringList { QStringLiteral("Ferien"), QStringLiteral("Erholung"), QStringLiteral("Ärger") }));
        QCOMPARE(dialog.rows(ResearchList::Variants).back(), toCp1252(QStringLiteral("Ärger")));
        QCOMPARE(progress(dialog)->value(), 28);
        QVERIFY(umlautDotsShow(variants(dialog), 2));

        // A refused term empties the lists and says why.
        term(dialog)->setText(QStringLiteral("ab"));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Suchbegriff zu kurz"));
        QCOMPARE(keywords(dialog)->count(), 0);
        QCOMPARE(variants(dialog)->count(), 0);
        QVERIFY(dialog.rows(ResearchList::Keywords).empty());
        QCOMPARE(progress(dialog)->value(), 0);
        QVERIFY(start(dialog)->isEnabled());
    }

    void threeWordsNeedAsOneWord()
    {
        ResearchDialog dialog;
        dialog.show();
        settle();
        term(dialog)->setText(QStringLiteral("urlaub am meer"));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Zuviele Suchbegriffe"));
        QVERIFY(!m_server->asked());
        m_env->hooks().clearShown();
        clickIndicator(findChildNamed<QCheckBox>(&dialog, QStringLiteral("asOneWordCheck")));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        QVERIFY(m_env->hooks().shown().empty());
        QVERIFY(m_server->asked());
        // Nothing for this phrase: the placeholder stands in each list.
        QCOMPARE(rowTexts(variants(dialog)), QStringList { fromCp1252(ResearchRun::noTermsText()) });
        QCOMPARE(rowTexts(keywords(dialog)), QStringList { fromCp1252(ResearchRun::noTermsText()) });
    }

    void theDialUpPromptComesOncePerDialog()
    {
        // Once the file came, the prompt is the one before the search.
        m_server->serveDataFile();
        programSettings().httpInform = 1;
        for (int dialogs = 1; dialogs <= 2; ++dialogs) {
            ResearchDialog dialog;
            dialog.show();
            settle();
            term(dialog)->setText(QStringLiteral("urlaub"));
            for (int run = 0; run < 2; ++run) {
                m_env->hooks().pushQuestionAnswer(true);
                QTest::mouseClick(start(dialog), Qt::LeftButton);
                QCOMPARE(keywords(dialog)->count(), 3);
            }
            QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), dialogs);
            QCOMPARE(lastShown(QStringLiteral("question")).title, QStringLiteral("Internet-Verbindung herstellen"));
        }
    }

    void theDialogStaysWhileItsResearchRuns()
    {
        ResearchDialog dialog;
        dialog.show();
        settle();
        term(dialog)->setText(QStringLiteral("urlaub"));
        m_server->holdAnswers();
        bool tried = false;
        bool startWasEnabled = true;
        bool okWasEnabled = true;
        bool busy = false;
        QTimer attempt;
        attempt.setInterval(0);
        connect(&attempt, &QTimer::timeout, &dialog, [&] {
            if (tried || !dialog.running() || !m_server->asked())
                return;
            tried = true;
            startWasEnabled = start(dialog)->isEnabled();
            okWasEnabled = findButton(&dialog, QStringLiteral("OK"))->isEnabled();
            busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.accept();
            dialog.close();
            m_server->release();
        });
        attempt.start();
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        attempt.stop();
        QVERIFY(tried);
        QVERIFY(!startWasEnabled);
        QVERIFY(!okWasEnabled);
        QVERIFY(busy);
        QVERIFY(dialog.isVisible());
        QCOMPARE(keywords(dialog)->count(), 3);
        // Once it is over, OK closes.
        QVERIFY(start(dialog)->isEnabled());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void rememberingPutsTheRowsIntoTheWatchList()
    {
        ResearchDialog dialog;
        dialog.show();
        settle();
        term(dialog)->setText(QStringLiteral("urlaub"));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        QCOMPARE(keywords(dialog)->count(), 3);

        // Nothing selected: nothing to do, not even the list comes up.
        QTest::mouseClick(button(dialog, "rememberSelectedKeywordsButton"), Qt::LeftButton);
        QVERIFY(!watchListWindow());
        QVERIFY(storedWatchList().empty());
        const ShownBox wait = lastShown(QStringLiteral("wait"));
        QCOMPARE(wait.text, QStringLiteral("Bitte warten...\nDie Merkliste wird gespeichert\nund aktualisiert."));

        keywords(dialog)->item(1)->setSelected(true);
        QTest::mouseClick(button(dialog, "rememberSelectedKeywordsButton"), Qt::LeftButton);
        QVERIFY(watchListWindow() && watchListWindow()->isVisible());
        QCOMPARE(storedWatchList(), (Entries { { "urlaubsreise", WatchList::EngineInput } }));
        QCOMPARE(watchListWindow()->model().entries(), storedWatchList());

        QTest::mouseClick(button(dialog, "rememberAllVariantsButton"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "rememberAllKeywordsButton"), Qt::LeftButton);
        // What was there already stays once.
        QCOMPARE(byText(storedWatchList()),
            (Entries { { "Erholung", WatchList::Variant }, { "Ferien", WatchList::Variant },
                { "urlaub am meer", WatchList::EngineInput }, { "urlaub italien", WatchList::EngineInput },
                { "urlaubsreise", WatchList::EngineInput },
                { toCp1252(QStringLiteral("Ärger")), WatchList::Variant } }));
        QCOMPARE(byText(watchListWindow()->model().entries()), byText(storedWatchList()));
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("wait")), 4);

        // The placeholder is no term.
        term(dialog)->setText(QStringLiteral("zzzz"));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        QCOMPARE(keywords(dialog)->count(), 1);
        keywords(dialog)->item(0)->setSelected(true);
        QTest::mouseClick(button(dialog, "rememberSelectedKeywordsButton"), Qt::LeftButton);
        QTest::mouseClick(button(dialog, "rememberAllVariantsButton"), Qt::LeftButton);
        QCOMPARE(storedWatchList().size(), std::size_t(6));

        QTest::mouseClick(findButton(&dialog, QStringLiteral("Merkliste")), Qt::LeftButton);
        QVERIFY(watchListWindow()->isVisible());
    }

    void aFailedSaveIsReported()
    {
        ResearchDialog dialog;
        dialog.show();
        settle();
        term(dialog)->setText(QStringLiteral("urlaub"));
        QTest::mouseClick(start(dialog), Qt::LeftButton);
        // The project file cannot be written where a directory stands.
        const QString file = fromCp1252(projectFilePath(programSettings().currentProject));
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkpath(file));
        QTest::mouseClick(button(dialog, "rememberAllKeywordsButton"), Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Schreiben der Daten"));
    }

    void withoutTheResearchFileNoDialog()
    {
        QVERIFY(QFile::remove(ResearchServer::dataPath()));
        DialogWalk walk;
        closeNextDialogs(1, walk);
        ResearchDialog::openFromMenu(nullptr);
        QVERIFY(walk.names.empty());
        QCOMPARE(m_env->hooks().pendingActions(), 1);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Datei fehlt!"));
    }

    void fromTheWizardMenu()
    {
        WizardMenu menu;
        menu.show();
        DialogWalk walk;
        closeNextDialogs(1, walk);
        QTest::mouseClick(findButton(&menu, QStringLiteral("Recherche")), Qt::LeftButton);
        QCOMPARE(walk.names, std::vector<QString> { QStringLiteral("researchDialog") });
    }

    void theHelpPageIsListed()
    {
        const QString shipped = QStringLiteral(VANTOR_SOURCE_DATA_DIR "/help/");
        const QString page = QString::number(help::kResearch) + QStringLiteral(".htm");
        QVERIFY(QFile::exists(shipped + page));
        const QString index = QString::fromUtf8(readAll(shipped + QStringLiteral("index.htm")));
        QVERIFY(index.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')));
    }

private:
    static QPushButton *button(QWidget &dialog, const char *name)
    {
        return findChildNamed<QPushButton>(&dialog, QString::fromLatin1(name));
    }
    static QPushButton *start(QWidget &dialog) { return findButton(&dialog, QStringLiteral("Recherche starten")); }
    static QLineEdit *term(QWidget &dialog) { return findChildNamed<QLineEdit>(&dialog, QStringLiteral("termEdit")); }
    static QProgressBar *progress(QWidget &dialog)
    {
        return findChildNamed<QProgressBar>(&dialog, QStringLiteral("progressBar"));
    }
    static QListWidget *keywords(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("keywordList"));
    }
    static QListWidget *variants(QWidget &dialog)
    {
        return findChildNamed<QListWidget>(&dialog, QStringLiteral("variantList"));
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
    std::unique_ptr<ResearchServer> m_server;
    QString m_homepage;
};

QTEST_MAIN(ResearchDialogTest)
#include "ResearchDialogTest.moc"
