#include "TestEnvironment.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vantor;

namespace {

// A server on 127.0.0.1 inside the test process, with one path per kind of
// answer the program has to cope with.
class HttpSessionTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        // Direct: whatever proxy the environment names, nothing leaves this host.
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;

        m_server.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("nicht gefunden", "text/html");
        });
        m_server.Get("/big", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(6000, 'x'), "text/plain");
        });
        m_server.Get("/empty", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("", "application/octet-stream");
        });
        m_server.Get("/moved", [](const httplib::Request &, httplib::Response &res) {
            res.status = 302;
            res.set_header("Location", "/missing");
            res.set_content("weg", "text/html");
        });
        m_server.Get("/secret", [this](const httplib::Request &req, httplib::Response &res) {
            ++m_secretRequests;
            if (req.get_header_value("Authorization") != "Basic dXNlcjpwdw==") { // user:pw
                res.status = 401;
                res.set_header("WWW-Authenticate", "Basic realm=\"intern\"");
                res.set_content("bitte anmelden", "text/html");
                return;
            }
            res.set_content("drin", "text/html");
        });
        m_server.Get("/cgi-bin/support.pl", [this](const httplib::Request &req, httplib::Response &res) {
            m_lastTarget = req.target;
            res.set_content("danke", "text/plain");
        });
        m_server.Get("/headers", [this](const httplib::Request &req, httplib::Response &res) {
            m_lastHeaders = req.headers;
            res.set_content("line one\r\nline two\nlast", "text/plain");
        });
        // Starts the body, then goes quiet until the test ends.
        m_server.Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink &sink) {
                sink.write("anfang", 6);
                for (int i = 0; i < 200 && !m_stop; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return false;
            });
        });
        // Never ends: keeps sending as long as someone reads.
        m_server.Get("/flood", [this](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink &sink) {
                const std::string chunk(1000, 'f');
                return !m_stop && sink.write(chunk.data(), chunk.size());
            });
        });

        m_port = m_server.bind_to_any_port("127.0.0.1");
        ASSERT_GT(m_port, 0);
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    void TearDown() override
    {
        m_stop = true;
        m_server.stop();
        m_thread.join();
        CoreTest::TearDown();
    }

    std::string url(const std::string &path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    bool getText(const std::string &path, std::string &answer, std::string &error, bool askFirst = false)
    {
        return httpget::getText(httpget::makerAgent(), url(path), answer, error, askFirst, ui);
    }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_secretRequests { 0 };
    httplib::Headers m_lastHeaders;
    std::string m_lastTarget;
};

TEST_F(HttpSessionTest, StatusCodesOtherThanRedirectsSucceedWithTheirBody)
{
    std::string answer, error;
    EXPECT_TRUE(getText("/missing", answer, error));
    EXPECT_EQ(answer, "nicht gefunden");
    EXPECT_EQ(error, "");

    EXPECT_FALSE(getText("/moved", answer, error));
    EXPECT_EQ(error, "Fehler Code: 302");
    EXPECT_EQ(answer, "weg"); // read all the same, not followed
}

TEST_F(HttpSessionTest, BodiesAreCutAtTheLimitAndTheTransferStopsThere)
{
    std::string answer, error;
    EXPECT_TRUE(getText("/big", answer, error));
    EXPECT_EQ(answer, std::string(4096, 'x'));

    // An answer that never ends must come back as well, cut at the limit.
    std::string body;
    EXPECT_TRUE(httpget::get(httpget::makerAgent(), url("/flood"), HttpSession::kDownloadLimit, body, error, ui));
    EXPECT_EQ(body.size(), HttpSession::kDownloadLimit);
    // How much the server got out before it noticed depends on the socket
    // buffers and the machine's load; that we came back at all shows the
    // transfer was stopped.
}

TEST_F(HttpSessionTest, CredentialPromptGetsExactlyOneRetry)
{
    std::string answer, error;
    EXPECT_FALSE(getText("/secret", answer, error)); // the prompt is cancelled
    EXPECT_EQ(error, "Fehler Code: 1");
    EXPECT_EQ(m_secretRequests, 1);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().kind, "credentials");

    m_secretRequests = 0;
    ui.credentialAnswers.push_back({ true, "user", "pw" });
    EXPECT_TRUE(getText("/secret", answer, error));
    EXPECT_EQ(answer, "drin");
    EXPECT_EQ(m_secretRequests, 2);

    // Wrong credentials: the second 401 is the answer, no third request.
    m_secretRequests = 0;
    ui.credentialAnswers.push_back({ true, "user", "falsch" });
    ui.credentialAnswers.push_back({ true, "user", "pw" });
    EXPECT_TRUE(getText("/secret", answer, error));
    EXPECT_EQ(answer, "bitte anmelden");
    EXPECT_EQ(m_secretRequests, 2);
    EXPECT_EQ(ui.credentialAnswers.size(), 1u);
}

TEST_F(HttpSessionTest, OnlyPlainHttpUrlsAreTried)
{
    std::string answer, error;
    for (const char *bad : { "https://127.0.0.1/", "ftp://127.0.0.1/datei", "127.0.0.1/", "http://",
             "http://127.0.0.1:99999/", "http://127.0.0.1:x/" }) {
        EXPECT_FALSE(httpget::getText(httpget::makerAgent(), bad, answer, error, false, ui)) << bad;
        EXPECT_EQ(error, "Fehler Code: 1") << bad;
    }
    const HttpTarget t = HttpTarget::split("HTTP://Host.example:8080?a=1");
    EXPECT_EQ(t.server, "Host.example");
    EXPECT_EQ(t.port, 8080);
    EXPECT_EQ(t.object, "/?a=1");
    EXPECT_EQ(HttpTarget::split("http://h/p/q.htm?x=y").object, "/p/q.htm?x=y");
    EXPECT_EQ(HttpTarget::split("http://h").port, 80);
}

TEST_F(HttpSessionTest, ServerThatStopsSendingEndsInATimeOut)
{
    settingsStore().writeNumber("receivetimeout", 1);
    std::string answer, error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(getText("/stall", answer, error));
    EXPECT_EQ(error, de("Das Zeitlimit für den Vorgang wurde überschritten. (Timeout was reached)"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(error.empty());
    EXPECT_LE(error.size(), httpget::kErrorTextMax);
    // The server would stay quiet for 20 s; the time-out must end it first.
    EXPECT_LT(took, std::chrono::seconds(15));
}

TEST_F(HttpSessionTest, RefusedConnectionIsToldInGermanWithTheLibraryDetail)
{
    // A port held bound but not listening: refused at once, and no other
    // test's server can take it meanwhile.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), length), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const int port = ntohs(address.sin_port);
    std::string error;
    EXPECT_FALSE(httpget::isReachable("http://127.0.0.1:" + std::to_string(port) + "/", error, ui));
    ::close(fd);
    EXPECT_EQ(error.rfind("Es konnte keine Verbindung mit dem Server hergestellt werden. (", 0), 0u) << error;
    EXPECT_NE(error.find(std::to_string(port)), std::string::npos) << error;
}

TEST_F(HttpSessionTest, EveryRequestAsksForNoCacheAndCarriesItsAgent)
{
    std::string error;
    EXPECT_TRUE(httpget::isReachable(url("/headers"), error, ui));
    auto header = [this](const char *name) {
        const auto it = m_lastHeaders.find(name);
        return it == m_lastHeaders.end() ? std::string("<none>") : it->second;
    };
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("Pragma"), "no-cache");
    EXPECT_EQ(header("Accept"), "*/*");
    EXPECT_EQ(header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");

    const HttpSession session(httpget::makerAgent());
    HttpRequest request;
    request.object = "/headers";
    request.referrer = "http://127.0.0.1/von";
    request.headers = { "Accept: text/html", "X-Vantor: 1" };
    HttpReply reply = session.send(HttpTarget::split(url("/")), request, HttpSession::kTextLimit, ui);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(header("Accept"), "text/html");
    EXPECT_EQ(header("Referer"), "http://127.0.0.1/von");
    EXPECT_EQ(header("X-Vantor"), "1");
    EXPECT_EQ(header("User-Agent"), "Vantor!! 4.01 Linux");

    std::string line;
    std::vector<std::string> lines;
    while (reply.readLine(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string> { "line one", "line two", "last" }));
}

TEST_F(HttpSessionTest, ProxyTextOnlyWithAccessTypeThree)
{
    programSettings().proxy = "H";
    programSettings().proxyPort = "8080";
    programSettings().accessType = ProgramSettings::kAccessProxy;
    EXPECT_EQ(HttpSession("a").proxy(), "H:8080");
    programSettings().accessType = ProgramSettings::kAccessDirect;
    EXPECT_EQ(HttpSession("a").proxy(), "");
    programSettings().accessType = ProgramSettings::kAccessSystem;
    EXPECT_EQ(HttpSession("a").proxy(), "");

    // Through a proxy on 127.0.0.1 (our server), the request reaches it even
    // though the URL names a port where nothing listens.
    programSettings().accessType = ProgramSettings::kAccessProxy;
    programSettings().proxy = "127.0.0.1";
    programSettings().proxyPort = std::to_string(m_port);
    std::string answer, error;
    EXPECT_TRUE(httpget::getText(httpget::makerAgent(), "http://127.0.0.1:1/missing", answer, error, false, ui))
        << error;
}

TEST_F(HttpSessionTest, TimeOutSettingsFallBackWhenZero)
{
    EXPECT_EQ(HttpSession("a").connectTimeout(), HttpSession::kDefaultConnectTimeout);
    settingsStore().writeNumber("connecttimeout", 7);
    EXPECT_EQ(HttpSession("a").connectTimeout(), 7);
}

TEST_F(HttpSessionTest, DialUpPromptDeclinedSendsNothing)
{
    programSettings().httpInform = 1;
    ui.questionAnswers.push_back(false);
    std::string answer, error;
    EXPECT_FALSE(getText("/secret", answer, error, true));
    EXPECT_EQ(error, "Verbindung vom Anwender beendet.");
    EXPECT_EQ(m_secretRequests, 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Internet-Verbindung herstellen");

    programSettings().httpInform = 0; // no prompt at all then
    EXPECT_TRUE(getText("/missing", answer, error, true));
    EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(HttpSessionTest, DownloadLeavesTheFileAloneOnFailure)
{
    const std::string path = root() + "/down.dat";
    writeFile(path, "alt");
    std::string error;
    EXPECT_FALSE(httpget::downloadToFile(url("/moved"), path, error, ui));
    EXPECT_EQ(readFile(path), "alt");
    EXPECT_FALSE(httpget::downloadToFile(url("/empty"), path, error, ui));
    EXPECT_EQ(error, httpget::emptyBodyText());
    EXPECT_EQ(readFile(path), "alt");

    // The check sees the whole body, and its no keeps the file.
    std::string seen;
    const auto refuse = [&seen](std::string_view body) {
        seen.assign(body);
        return false;
    };
    EXPECT_FALSE(httpget::downloadToFile(url("/big"), path, error, ui, refuse));
    EXPECT_EQ(error, httpget::refusedBodyText());
    EXPECT_EQ(seen, std::string(6000, 'x'));
    EXPECT_EQ(readFile(path), "alt");

    EXPECT_TRUE(httpget::downloadToFile(url("/big"), path, error, ui, [](std::string_view) { return true; }));
    EXPECT_EQ(readFile(path), std::string(6000, 'x'));
    EXPECT_TRUE(httpget::downloadToFile(url("/big"), path, error, ui));
    EXPECT_EQ(readFile(path), std::string(6000, 'x'));
}

} // namespace

namespace {

TEST_F(HttpSessionTest, ErrorReportGoesOutEncodedAndSilently)
{
    settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
    httpget::sendErrorReport("engine=x&answer=leer%21 #1", false, ui);
    // The engine's answer can add no keys of its own.
    EXPECT_EQ(m_lastTarget, "/cgi-bin/support.pl?from=programm@vantor.invalid&subject=Vantor%21%21%204.01%20Linux"
                            "&text=engine%3Dx%26answer%3Dleer%2521%20%231");
    EXPECT_TRUE(ui.shown.empty());

    // Nobody listening: still nothing shown.
    settingsStore().writeText("updateserver", "127.0.0.1:1");
    httpget::sendErrorReport("x", false, ui);
    EXPECT_TRUE(ui.shown.empty());
}

} // namespace
