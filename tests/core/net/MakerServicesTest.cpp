#include "TestEnvironment.h"

#include "DemoServer.h"
#include "net/DataFile.h"
#include "net/DataFileFetch.h"
#include "net/Feedback.h"
#include "net/HttpGet.h"
#include "net/MakerServer.h"
#include "net/Newsletter.h"
#include "net/PercentEncoding.h"
#include "net/VersionCheck.h"
#include "platform/OsVersion.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "project/InternetAccess.h"
#include "project/ProgramSettings.h"

#include <zlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

using namespace vantor;
namespace fs = std::filesystem;

namespace {

// The demo server on 127.0.0.1 with a root of the test's own, set as the
// update server. Every request path is recorded.
class MakerServicesTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        m_serverRoot = root() + "/server";
        fs::create_directories(m_serverRoot);
        m_server = std::make_unique<demo::DemoServer>(m_serverRoot);
        m_server->server().Get("/redirected/([^/]+)", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Location", "/elsewhere");
            res.set_content("weg", "text/plain");
        });
        m_server->server().Get("/empty/([^/]+)", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("", "application/octet-stream");
        });
        // The version file "4.02 0" under any status: /status<code>/download/vantor/version.txt
        m_server->server().Get(R"(/status(\d+)/download/vantor/version.txt)",
                               [](const httplib::Request &request, httplib::Response &response) {
                                   response.status = std::stoi(request.matches[1]);
                                   response.set_content("4.02 0", "text/plain");
                               });
        m_server->server().set_logger([this](const httplib::Request &req, const httplib::Response &) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(req.path);
        });
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
    }

    void TearDown() override
    {
        m_server.reset();
        setShellOpener(nullptr);
        CoreTest::TearDown();
    }

    void publish(const std::string &name, const std::string &content)
    {
        writeFile(m_serverRoot + "/" + name, content);
    }

    // The server logs a request only after the client has its answer, so
    // the count may lag behind for a moment.
    std::vector<std::string> requests(std::size_t atLeast = 0)
    {
        for (int i = 0; i < 2000; ++i) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_requests.size() >= atLeast)
                    return m_requests;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

    // A port nobody listens on.
    void serverGone() { settingsStore().writeText("updateserver", "127.0.0.1:1"); }

    std::string m_serverRoot;
    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = 0;
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

// --- version check -------------------------------------------------------

TEST_F(MakerServicesTest, VersionFileDecidesTheMessage)
{
    const std::string newer = de("Neuere Version verfügbar");
    const std::string same = de("Keine neuere Version verfügbar");
    const struct {
        const char *file;
        VersionCheck::Result result;
        std::string title;
    } cases[] = {
        {"4.00 0", VersionCheck::Result::UpToDate, same},
        {"4.01 0\r\n", VersionCheck::Result::UpToDate, same},
        {"4.02 0", VersionCheck::Result::NewerFree, newer},
        {"4.10 0", VersionCheck::Result::NewerFree, newer},
        {"4.10 1", VersionCheck::Result::NewerChargeable, newer},
        {"  4.10\n 2 whatever", VersionCheck::Result::NewerChargeable, newer},
        {"4.10", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"<html>404</html>", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        // Only the first 20 characters count.
        {"4.10                   1", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.10               3", VersionCheck::Result::NewerChargeable, newer},
        // Plain digits only, a dot between them, the build number whole.
        {"nan 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"inf 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"0x4.8p0 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.1e1 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"-4.10 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4. 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {".5 0", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.10,1", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.10 1.5", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.10 1x", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
        {"4.10 99999999999", VersionCheck::Result::Unreadable, "Fehler aufgetreten"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        publish("version.txt", c.file);
        ui.shown.clear();
        EXPECT_EQ(VersionCheck::checkForNewVersion(ui), c.result);
        ASSERT_EQ(ui.titles(), std::vector<std::string>{c.title});
    }

    publish("version.txt", "4.10 1");
    ui.shown.clear();
    VersionCheck::checkForNewVersion(ui);
    const std::string text = ui.shown.at(0).text;
    EXPECT_EQ(text.rfind(de("Es ist eine neuere Version von Vantor!! verfügbar, diese IST ABER KOSTENPFLICHTIG."), 0),
              0u);
    EXPECT_NE(text.find(makerserver::downloadPage()), std::string::npos);
    EXPECT_NE(text.find("Sitecast"), std::string::npos);
    EXPECT_TRUE(text.ends_with("Bitte schliessen Sie die Internet-Verbindung wieder."));
    EXPECT_EQ(requests(10).back(), "/download/vantor/version.txt");
}

TEST_F(MakerServicesTest, VersionOnAnErrorPageIsNotBelieved)
{
    publish("version.txt", "4.01 0");
    for (const int status : {500, 404, 403, 203}) {
        SCOPED_TRACE(status);
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port) + "/status"
                                                      + std::to_string(status));
        ui.shown.clear();
        EXPECT_EQ(VersionCheck::checkForNewVersion(ui), VersionCheck::Result::Unreadable);
        EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler aufgetreten"});
    }
    // The same body with a 200 is the version file.
    settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port) + "/status200");
    ui.shown.clear();
    EXPECT_EQ(VersionCheck::checkForNewVersion(ui), VersionCheck::Result::NewerFree);
}

TEST_F(MakerServicesTest, VersionCheckAsksFirstOnlyOnceAndRetriesAfterASecond)
{
    programSettings().httpInform = 1;
    // Declined: no request and no message at all.
    ui.questionAnswers = {false};
    EXPECT_EQ(VersionCheck::checkForNewVersion(ui), VersionCheck::Result::Declined);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Internet-Verbindung herstellen"});
    EXPECT_TRUE(requests().empty());

    serverGone();
    ui.shown.clear();
    ui.connectionAnswers = {ConnectionAnswer::Retry, ConnectionAnswer::Cancel};
    EXPECT_EQ(VersionCheck::checkForNewVersion(ui), VersionCheck::Result::Failed);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Internet-Verbindung herstellen", "Fehler beim Verbindungsaufbau",
                                                     "Fehler beim Verbindungsaufbau"}));
    EXPECT_EQ(ui.pausedMs, 1000);
    EXPECT_EQ(ui.shown[1].text.rfind(httpget::connectionErrorText(""), 0), 0u);
    EXPECT_GT(ui.shown[1].text.size(), httpget::connectionErrorText("").size());
}

// --- feedback --------------------------------------------------------------

TEST_F(MakerServicesTest, FeedbackArrivesWhole)
{
    const std::string message = de("Größe & Farbe #1?\r\nZweite Zeile; a=b+c 100%");
    EXPECT_EQ(Feedback::sendFeedback("kunde@beispiel", message, ui), Feedback::Result::Sent);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Email versendet"});
    EXPECT_EQ(ui.waitTexts, std::vector<std::string>{"Bitte warten...\nNachricht wird versendet"});
    EXPECT_FALSE(ui.waitOpen);

    // The server logs the values as it decoded them: byte for byte what was
    // typed, with its line break written as \r\n so that it stays one entry.
    const std::string log = readFile(m_server->supportLog().string());
    EXPECT_NE(log.find("from: programm@vantor.invalid\n"), std::string::npos);
    EXPECT_NE(log.find("subject: " + Feedback::subject() + "\n"), std::string::npos);
    EXPECT_NE(log.find("text: kunde@beispiel: " + de("Größe & Farbe #1?") + "\\r\\nZweite Zeile; a=b+c 100%\n--\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(Feedback::subject().rfind("Vantor!! 4.01 PC: ", 0), 0u);
    // No '&', '#' or blank of the message reaches the request line as it is.
    const std::string url = Feedback::url("a@b", message);
    EXPECT_EQ(url.find('#'), std::string::npos);
    EXPECT_EQ(url.find(' '), std::string::npos);
    EXPECT_EQ(std::count(url.begin(), url.end(), '&'), 2);
}

TEST_F(MakerServicesTest, FeedbackRefusesIncompleteDataAndKeepsTheFormOnFailure)
{
    for (const auto &[address, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "Text"}, {"a@b.de", ""}, {"ab.de", "Text"}}) {
        ui.shown.clear();
        EXPECT_EQ(Feedback::sendFeedback(address, message, ui), Feedback::Result::Invalid);
        EXPECT_EQ(ui.titles(), std::vector<std::string>{"Daten nicht korrekt"});
        EXPECT_EQ(ui.shown[0].text.rfind("Eingegebene Daten fehlen oder sind nicht korrekt.", 0), 0u);
        EXPECT_FALSE(ui.waitOpen);
    }
    EXPECT_TRUE(requests().empty());

    // The refused dial-up prompt gets the connection box like any failure.
    programSettings().httpInform = 1;
    ui.shown.clear();
    ui.questionAnswers = {false};
    EXPECT_EQ(Feedback::sendFeedback("a@b", "x", ui), Feedback::Result::Failed);
    ASSERT_EQ(ui.titles(),
              (std::vector<std::string>{"Internet-Verbindung herstellen", "Fehler beim Verbindungsaufbau"}));
    EXPECT_EQ(ui.shown[1].text, httpget::connectionErrorText("Verbindung vom Anwender beendet."));

    // An error page from the script is no delivery.
    programSettings().httpInform = 0;
    settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port) + "/nirgends");
    ui.shown.clear();
    EXPECT_EQ(Feedback::sendFeedback("a@b", "x", ui), Feedback::Result::Failed);
    ASSERT_EQ(ui.titles(), std::vector<std::string>{"Fehler beim Verbindungsaufbau"});
    EXPECT_EQ(ui.shown[0].text, httpget::connectionErrorText("Fehler Code: 404"));
    programSettings().httpInform = 1;

    // "Nochmal" waits half a second and sends again, without asking first.
    serverGone();
    ui.shown.clear();
    ui.pausedMs = 0;
    ui.questionAnswers = {true};
    ui.connectionAnswers = {ConnectionAnswer::Retry, ConnectionAnswer::Configure};
    EXPECT_EQ(Feedback::sendFeedback("a@b", "x", ui), Feedback::Result::Failed);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Internet-Verbindung herstellen", "Fehler beim Verbindungsaufbau",
                                                     "Fehler beim Verbindungsaufbau"}));
    EXPECT_EQ(ui.pausedMs, 500);
    EXPECT_FALSE(ui.waitOpen);
}

// --- newsletter -----------------------------------------------------------

TEST_F(MakerServicesTest, NewsletterChecksTheAddressThenOpensTheBrowser)
{
    std::vector<std::string> opened;
    setShellOpener([&](const std::string &target) {
        opened.push_back(target);
        return true;
    });
    const struct {
        const char *address;
        const char *title;
    } refused[] = {
        {"", "Email-Adresse"},
        {"a b@c.de", "Ungültige Zeichen"},
        {"a+b@c.de", "Ungültige Zeichen"},
        {"\xE4@c.de", "Ungültige Zeichen"},
        {"abc.de", "Email-Adresse"},
        {"abc@de", "Email-Adresse"},
    };
    for (const auto &r : refused) {
        SCOPED_TRACE(r.address);
        ui.shown.clear();
        EXPECT_EQ(Newsletter::subscribeNewsletter(r.address, ui), Newsletter::Result::Invalid);
        EXPECT_EQ(ui.titles(), std::vector<std::string>{de(r.title)});
    }
    EXPECT_NE(ui.shown[0].text.find("'.'"), std::string::npos);
    EXPECT_TRUE(opened.empty());

    // '@' and '.' may stand anywhere, in any order.
    ui.shown.clear();
    EXPECT_EQ(Newsletter::subscribeNewsletter("a.b@c.", ui), Newsletter::Result::Opened);
    EXPECT_EQ(Newsletter::subscribeNewsletter(".x_y-z@w", ui), Newsletter::Result::Opened);
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "http://127.0.0.1:" + std::to_string(m_port)
                             + "/cgi-bin/sitecastget.pl?emailsitecast=a.b@c.&subscribe=subscribe");

    setShellOpener([](const std::string &) { return false; });
    EXPECT_EQ(Newsletter::subscribeNewsletter("a@b.de", ui), Newsletter::Result::OpenFailed);
}

// --- data files -------------------------------------------------------------

TEST_F(MakerServicesTest, DataFileIsFetchedOncePerRun)
{
    std::string stored;
    ASSERT_TRUE(DataFile::pack("SYSTEM.active=0\r\n", stored));
    publish("submit_d.dat", stored);
    publish("submit_lists_d.dat", stored);
    programSettings().httpInform = 1;

    // Declined: nothing fetched, nothing written.
    ui.questionAnswers = {false};
    EXPECT_FALSE(DataFileFetch::fetch({"submit_d.dat", "submit_lists_d.dat"}, ui));
    EXPECT_TRUE(requests().empty());
    EXPECT_FALSE(fs::exists(DataFileFetch::path("submit_d.dat")));

    // One prompt for both files; the Data directory is made on the way.
    ui.shown.clear();
    EXPECT_TRUE(DataFileFetch::fetch({"submit_d.dat", "submit_lists_d.dat"}, ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Internet-Verbindung herstellen"});
    EXPECT_EQ(readFile(DataFileFetch::path("submit_d.dat")), stored);
    EXPECT_EQ(readFile(DataFileFetch::path("submit_lists_d.dat")), stored);
    EXPECT_TRUE(DataFileFetch::fetched("submit_d.dat"));

    // The second run of the same program fetches nothing and asks nothing.
    ui.shown.clear();
    EXPECT_TRUE(DataFileFetch::fetch({"submit_d.dat", "submit_lists_d.dat"}, ui));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(requests(2).size(), 2u);

    // A file missing on the server keeps the one on disk and is tried again.
    EXPECT_TRUE(DataFileFetch::fetch({"unbekannt_d.dat"}, ui));
    EXPECT_FALSE(DataFileFetch::fetched("unbekannt_d.dat"));
    EXPECT_FALSE(fs::exists(DataFileFetch::path("unbekannt_d.dat")));
    DataFileFetch::fetch({"unbekannt_d.dat"}, ui);
    EXPECT_EQ(requests(4).size(), 4u);
}

TEST_F(MakerServicesTest, FailedDownloadKeepsTheFileAndCountsAsNotFetched)
{
    const std::string path = DataFileFetch::path("submit_d.dat");
    fs::create_directories(root() + "/Data");
    writeFile(path, "alt");
    const std::string base = "http://127.0.0.1:" + std::to_string(m_port);

    EXPECT_FALSE(DataFileFetch::download(base + "/redirected/submit_d.dat", path, ui));
    EXPECT_FALSE(DataFileFetch::download(base + "/download/vantor/fehlt.dat", path, ui));
    EXPECT_FALSE(DataFileFetch::download(base + "/empty/submit_d.dat", path, ui));
    EXPECT_EQ(readFile(path), "alt");

    serverGone();
    EXPECT_FALSE(DataFileFetch::fetch({"submit_d.dat"}, ui) && DataFileFetch::fetched("submit_d.dat"));
    EXPECT_EQ(readFile(path), "alt");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MakerServicesTest, OnlyAFileThatLoadsReplacesTheOneOnDisk)
{
    std::string good;
    ASSERT_TRUE(DataFile::pack("SYSTEM.active=1\r\nAltaVista.SERVER=www.altavista.de\r\n", good));
    const std::string path = DataFileFetch::path("submit_d.dat");
    fs::create_directories(root() + "/Data");
    writeFile(path, good);

    std::string bomb;
    {
        // A stream that unpacks far beyond the limit, more than the 50,000
        // bytes the download takes of it.
        std::string huge(8u * 1024 * 1024, 'A');
        for (std::size_t i = 0; i < huge.size(); i += 32)
            huge[i] = static_cast<char>('a' + i % 23);
        uLongf size = compressBound(static_cast<uLong>(huge.size()));
        bomb.resize(size);
        ASSERT_EQ(compress(reinterpret_cast<Bytef *>(bomb.data()), &size, reinterpret_cast<const Bytef *>(huge.data()),
                           static_cast<uLong>(huge.size())),
                  Z_OK);
        bomb.resize(size);
        for (char &c : bomb)
            c = static_cast<char>(static_cast<unsigned char>(c) - 1);
        ASSERT_GT(bomb.size(), DataFile::kMaxDownload);
    }
    std::string noise(20000, '\0');
    unsigned seed = 7;
    for (char &c : noise)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);

    const struct {
        const char *what;
        std::string body;
    } bad[] = {
        {"noise", noise},
        {"cut off", good.substr(0, good.size() - 3)},
        {"bomb", bomb},
        {"text", "<html>Wartungsarbeiten</html>"},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.what);
        publish("submit_d.dat", b.body);
        DataFileFetch::reset();
        EXPECT_TRUE(DataFileFetch::fetch({"submit_d.dat"}, ui));
        EXPECT_FALSE(DataFileFetch::fetched("submit_d.dat"));
        EXPECT_EQ(readFile(path), good);
    }
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(root() + "/Data"), fs::directory_iterator()), 1);

    std::string newer;
    ASSERT_TRUE(DataFile::pack("SYSTEM.active=0\r\n", newer));
    publish("submit_d.dat", newer);
    DataFileFetch::reset();
    EXPECT_TRUE(DataFileFetch::fetch({"submit_d.dat"}, ui));
    EXPECT_TRUE(DataFileFetch::fetched("submit_d.dat"));
    EXPECT_EQ(readFile(path), newer);
    EXPECT_TRUE(ui.shown.empty());
}

// --- the Internet access test on the real request -------------------------

TEST_F(MakerServicesTest, ConnectionTestAsksTheUpdateServer)
{
    resetConnectionTestFetcher();
    publish("version.txt", "4.01 0");
    InternetAccessInput input = openInternetAccess();
    input.accessType = ProgramSettings::kAccessDirect;
    input.inform = false;
    testInternetAccess(input, ui);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Erfolgreicher Test"});
    EXPECT_EQ(requests(1), std::vector<std::string>{"/download/vantor/version.txt"});

    // Declining the prompt ends the test quietly.
    input.inform = true;
    ui.shown.clear();
    ui.questionAnswers = {false};
    testInternetAccess(input, ui);
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Internet-Verbindung herstellen"});
    EXPECT_FALSE(ui.waitOpen);
}

} // namespace

// --- pieces without a server ---------------------------------------------------

namespace {

class MakerServerSettingTest : public vantor::testing::CoreTest
{
};

TEST_F(MakerServerSettingTest, AddressQueryValuesAndSystemVersion)
{
    EXPECT_EQ(makerserver::url("/x"), "http://127.0.0.1:8080/x");
    settingsStore().writeText("updateserver", " http://updates.example:81/ ");
    EXPECT_EQ(makerserver::server(), "updates.example:81");
    EXPECT_EQ(makerserver::documentsUrl(), "http://updates.example:81/sitecast/internetmarketingdoc.html");
    settingsStore().writeText("updateserver", "");
    EXPECT_EQ(makerserver::server(), makerserver::kDefaultServer);

    EXPECT_EQ(percentEncode("a-z_0.9~@:/"), "a-z_0.9~@:/");
    EXPECT_EQ(percentEncode(de("ä &=#?+%\r\n")), "%E4%20%26%3D%23%3F%2B%25%0D%0A");

    const OsVersion debian = OsVersion::fromRelease("6.1.0-18-amd64");
    EXPECT_EQ(debian.major, 6);
    EXPECT_EQ(debian.minor, 1);
    EXPECT_EQ(debian.build, 0);
    EXPECT_TRUE(debian.servicePack.empty());
    const OsVersion shortRelease = OsVersion::fromRelease("5.15");
    EXPECT_EQ(shortRelease.minor, 15);
    EXPECT_EQ(shortRelease.build, 0);
    EXPECT_EQ(OsVersion::fromRelease("99999999999999.2").major, 999999999);
    EXPECT_EQ(OsVersion::fromRelease("weird").major, 0);
}

} // namespace
