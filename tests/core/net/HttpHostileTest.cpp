#include "TestEnvironment.h"
#include "net/RawServer.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vantor;
using vantor::testing::RawServer;

namespace {

constexpr long long kHuge = 100LL * 1024 * 1024;

std::string answerWith(const std::string &status, const std::string &extra, const std::string &body)
{
    return "HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: " + std::to_string(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

// How many of the request heads carry a header line starting so.
int headsWith(const std::vector<std::string> &heads, const std::string &line)
{
    int n = 0;
    for (const std::string &head : heads)
        if (head.find("\r\n" + line) != std::string::npos)
            ++n;
    return n;
}

// Sends the body in big blocks as fast as the client takes it, up to total.
void pour(RawServer &server, int fd, long long total)
{
    const std::string block(65536, 'x');
    for (long long sent = 0; sent < total; sent += static_cast<long long>(block.size()))
        if (!server.sendAll(fd, block))
            return;
}

// Servers that lie, break off, never stop or speak something else entirely.
// Whatever they do, the GET helpers come back with true or false and a
// bounded text; nothing is thrown out of them and nothing hangs.
class HttpHostileTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        // Any silence beyond a second ends the request.
        settingsStore().writeNumber("receivetimeout", 1);
    }

    // One GET the way the program makes it, with the checks every answer
    // has to pass.
    bool get(const std::string &url, std::string &error, std::size_t limit = HttpSession::kTextLimit)
    {
        bool ok = false;
        std::string body;
        EXPECT_NO_THROW(ok = httpget::get(httpget::makerAgent(), url, limit, body, error, ui)) << url;
        if (!ok) {
            EXPECT_FALSE(error.empty()) << url;
            EXPECT_LE(error.size(), httpget::kErrorTextMax) << url;
        }
        EXPECT_LE(body.size(), limit) << url;
        return ok;
    }

    // The error text of a GET against a server that sends answer and closes;
    // "<ok>" if the GET succeeded.
    std::string failureOn(const std::string &answer)
    {
        RawServer server([&](RawServer &s, int fd, const std::string &) { s.sendAll(fd, answer); });
        std::string error;
        return get(server.url(), error) ? std::string("<ok>") : error;
    }
};

TEST_F(HttpHostileTest, HugeAndEndlessBodiesAreCutAtTheLimit)
{
    // Announces 100 MB and means it.
    RawServer huge([](RawServer &s, int fd, const std::string &) {
        if (s.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 104857600\r\n\r\n"))
            pour(s, fd, kHuge);
    });
    std::string answer, error;
    EXPECT_TRUE(httpget::getText(httpget::makerAgent(), huge.url(), answer, error, false, ui)) << error;
    EXPECT_EQ(answer, std::string(HttpSession::kTextLimit, 'x'));
    ASSERT_TRUE(huge.waitIdle());
    // The client hung up long before the server was through; what got out
    // is what the socket buffers took.
    EXPECT_TRUE(huge.clientLeft());
    EXPECT_LT(huge.written(), kHuge / 4);

    const std::string path = root() + "/down.dat";
    EXPECT_TRUE(httpget::downloadToFile(huge.url(), path, error, ui)) << error;
    EXPECT_EQ(readFile(path), std::string(HttpSession::kDownloadLimit, 'x'));
    ASSERT_TRUE(huge.waitIdle());
    EXPECT_EQ(huge.heads().size(), 2u);
    EXPECT_LT(huge.written(), kHuge / 2); // both requests together

    // No length, no chunks: the body ends when the server closes, and this
    // one never does.
    RawServer endless([](RawServer &s, int fd, const std::string &) {
        if (s.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n"))
            pour(s, fd, kHuge);
    });
    EXPECT_TRUE(httpget::downloadToFile(endless.url(), path, error, ui)) << error;
    EXPECT_EQ(readFile(path), std::string(HttpSession::kDownloadLimit, 'x'));
    ASSERT_TRUE(endless.waitIdle());
    EXPECT_TRUE(endless.clientLeft());
    EXPECT_LT(endless.written(), kHuge / 4);
}

TEST_F(HttpHostileTest, AnswersBrokenOffFailCleanly)
{
    EXPECT_EQ(failureOn(""), de("Der Server hat die Verbindung ohne Antwort beendet. (Empty reply from server)"));
    EXPECT_EQ(failureOn("HTTP/1.1 20"), de("Der Server hat die Verbindung ohne Antwort beendet. (Empty reply from server)"));
    // The library takes a header without its blank line for a whole answer
    // with an empty body; it is nothing of the kind.
    EXPECT_EQ(failureOn("HTTP/1.1 200 OK\r\n"), de("Beim Empfangen der Antwort ist ein Fehler aufgetreten. (Failure when receiving data from the peer)"));
    EXPECT_EQ(failureOn("HTTP/1.1 200 OK\r\nContent-Type: text/pl"), de("Beim Empfangen der Antwort ist ein Fehler aufgetreten. (Failure when receiving data from the peer)"));
    EXPECT_EQ(failureOn("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n"),
        de("Beim Empfangen der Antwort ist ein Fehler aufgetreten. (Failure when receiving data from the peer)"));
    EXPECT_NE(failureOn("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 10\r\n"), "<ok>");
    EXPECT_NE(failureOn("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nnur zehn.."), "<ok>");
    // What is complete stays a success.
    EXPECT_EQ(failureOn("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"), "<ok>");
    EXPECT_EQ(failureOn("HTTP/1.0 200 OK\r\n\r\nbis zum Ende"), "<ok>");

    // A download broken off leaves the old file as it was.
    RawServer server([](RawServer &s, int fd, const std::string &) { s.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Le"); });
    const std::string path = root() + "/down.dat";
    writeFile(path, "alt");
    std::string error;
    EXPECT_FALSE(httpget::downloadToFile(server.url(), path, error, ui));
    EXPECT_EQ(readFile(path), "alt");
}

TEST_F(HttpHostileTest, OversizedOrEndlessHeadersEndTheRequest)
{
    std::string error;
    const auto start = std::chrono::steady_clock::now();

    // The library refuses the line as if its memory had run out, which would
    // send the user looking for the fault on his own machine.
    RawServer longLine([](RawServer &s, int fd, const std::string &) {
        s.sendAll(fd,
            "HTTP/1.1 200 OK\r\nX-Long: " + std::string(2 * 1024 * 1024, 'a') + "\r\nContent-Length: 4\r\n\r\nbody");
    });
    EXPECT_FALSE(get(longLine.url(), error));
    EXPECT_EQ(error, de("Der Server hat eine ungültige Antwort gesendet. (Weird server reply)"));
    ASSERT_TRUE(longLine.waitIdle()); // 2 MB may fit the socket buffers

    // Header after header, as fast as the client reads them, never the
    // blank line.
    RawServer flood([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, "HTTP/1.1 200 OK\r\n"))
            return;
        for (long long i = 0; i < 10'000'000; ++i)
            if (!s.sendAll(fd, "X-Pad-" + std::to_string(i) + ": noch eine Zeile\r\n"))
                return;
    });
    EXPECT_FALSE(get(flood.url(), error));
    ASSERT_TRUE(flood.waitIdle());
    EXPECT_TRUE(flood.clientLeft());
    EXPECT_LT(flood.written(), kHuge / 4);

    // The same drop by drop: never silent for a second, never done.
    RawServer drip([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, "HTTP/1.1 200 OK\r\n"))
            return;
        for (int i = 0; i < 600 && !s.stopping(); ++i) {
            if (!s.sendAll(fd, "X-Drip: " + std::to_string(i) + "\r\n"))
                return;
            s.pause(50);
        }
    });
    EXPECT_FALSE(get(drip.url(), error));
    EXPECT_EQ(error, de("Das Zeitlimit für den Vorgang wurde überschritten. (Timeout was reached)"));
    ASSERT_TRUE(drip.waitIdle());
    EXPECT_TRUE(drip.clientLeft());

    // The drip server alone would go on for 30 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(HttpHostileTest, BodyTrickledByteByByteEndsAtTheTransferLimit)
{
    settingsStore().writeNumber("transfertimeout", 1);
    RawServer trickle([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n"))
            return;
        for (int i = 0; i < 4000 && !s.stopping(); ++i) {
            if (!s.sendAll(fd, "x"))
                return;
            s.pause(20);
        }
    });
    std::string error;
    EXPECT_FALSE(get(trickle.url(), error));
    EXPECT_EQ(error.rfind(de("Das Zeitlimit für den Vorgang wurde überschritten."), 0), 0u) << error;
    ASSERT_TRUE(trickle.waitIdle());
    EXPECT_TRUE(trickle.clientLeft());
}

TEST_F(HttpHostileTest, SomethingOtherThanHttpFailsCleanly)
{
    EXPECT_NE(failureOn("SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n"), "<ok>");
    EXPECT_NE(failureOn("220 mail.example ESMTP ready\r\n"), "<ok>");
    EXPECT_NE(failureOn(std::string("\x15\x03\x01\x00\x02\x02\x46", 7)), "<ok>"); // a TLS alert
    EXPECT_NE(failureOn(std::string("\0\0\0\0garbage\xff\xfe", 13)), "<ok>");
    EXPECT_NE(failureOn("HTTP/9.9 200 OK\r\n\r\nzukunft"), "<ok>");

    // An SSH server waits for our banner after its own: it must not keep us.
    RawServer ssh([](RawServer &s, int fd, const std::string &) {
        if (s.sendAll(fd, "SSH-2.0-OpenSSH_9.2p1\r\n"))
            s.pause(20000);
    });
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    EXPECT_FALSE(get(ssh.url(), error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(HttpHostileTest, ProxyLoginGoesOutOnExactlyOneRetry)
{
    RawServer proxy([](RawServer &s, int fd, const std::string &head) {
        if (head.find("\r\nProxy-Authorization: Basic dXNlcjpwdw==\r\n") != std::string::npos) // user:pw
            s.sendAll(fd, answerWith("200 OK", "", "durch"));
        else
            s.sendAll(fd,
                answerWith(
                    "407 Proxy Authentication Required", "Proxy-Authenticate: Basic realm=\"proxy\"\r\n", "anmelden"));
    });
    programSettings().accessType = ProgramSettings::kAccessProxy;
    programSettings().proxy = "127.0.0.1";
    programSettings().proxyPort = std::to_string(proxy.port());
    // Nothing listens on port 1: only the proxy can answer.
    const std::string target = "http://127.0.0.1:1/seite";
    std::string answer, error;

    EXPECT_FALSE(httpget::getText(httpget::makerAgent(), target, answer, error, false, ui)); // cancelled
    EXPECT_EQ(error, "Fehler Code: 1");
    ASSERT_TRUE(proxy.waitIdle());
    EXPECT_EQ(proxy.heads().size(), 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "credentials");

    ui.credentialAnswers.push_back({ true, "user", "pw" });
    EXPECT_TRUE(httpget::getText(httpget::makerAgent(), target, answer, error, false, ui)) << error;
    EXPECT_EQ(answer, "durch");
    ASSERT_TRUE(proxy.waitIdle());
    std::vector<std::string> heads = proxy.heads();
    ASSERT_EQ(heads.size(), 3u);
    EXPECT_EQ(heads[2].rfind("GET http://127.0.0.1:1/seite HTTP/1.1\r\n", 0), 0u) << heads[2];
    EXPECT_EQ(headsWith(heads, "Proxy-Authorization: Basic dXNlcjpwdw=="), 1);
    // The proxy's login is for the proxy, never for the server behind it.
    EXPECT_EQ(headsWith(heads, "Authorization:"), 0);

    // Wrong credentials: the second 407 is the answer, no third request.
    ui.credentialAnswers.push_back({ true, "user", "falsch" });
    ui.credentialAnswers.push_back({ true, "user", "pw" });
    EXPECT_TRUE(httpget::getText(httpget::makerAgent(), target, answer, error, false, ui)) << error;
    EXPECT_EQ(answer, "anmelden");
    ASSERT_TRUE(proxy.waitIdle());
    EXPECT_EQ(proxy.heads().size(), 5u);
    EXPECT_EQ(ui.credentialAnswers.size(), 1u);

    // A proxy that wants Digest gets it on the one retry as well.
    RawServer digestProxy([](RawServer &s, int fd, const std::string &head) {
        if (head.find("\r\nProxy-Authorization: Digest username=\"user\"") != std::string::npos)
            s.sendAll(fd, answerWith("200 OK", "", "durch"));
        else
            s.sendAll(fd,
                answerWith("407 Proxy Authentication Required",
                    "Proxy-Authenticate: Digest realm=\"proxy\", nonce=\"4711\", qop=\"auth\"\r\n", "anmelden"));
    });
    programSettings().proxyPort = std::to_string(digestProxy.port());
    ui.credentialAnswers = { { true, "user", "pw" } };
    EXPECT_TRUE(httpget::getText(httpget::makerAgent(), target, answer, error, false, ui)) << error;
    EXPECT_EQ(answer, "durch");
    ASSERT_TRUE(digestProxy.waitIdle());
    EXPECT_EQ(digestProxy.heads().size(), 2u);
}

// A server that wants a login by a scheme other than Basic: the one retry
// after the prompt answers its challenge, and a refused login is the
// answer, not the start of a loop.
TEST_F(HttpHostileTest, OtherLoginSchemesGetOneRetryToo)
{
    std::string challenge;
    std::atomic<bool> accept { true };
    RawServer server([&](RawServer &s, int fd, const std::string &head) {
        if (accept && head.find("\r\nAuthorization: Digest username=\"user\"") != std::string::npos
            && head.find("response=") != std::string::npos)
            s.sendAll(fd, answerWith("200 OK", "", "drin"));
        else
            s.sendAll(fd, answerWith("401 Unauthorized", challenge, "bitte anmelden"));
    });
    const std::string digest = "Digest realm=\"intern\", nonce=\"dcd98b7102dd2f0e8b11d0f600bfb0c093\", qop=\"auth\"";
    // The requests the server saw for one GET; the prompt is answered with
    // given and shown exactly once.
    auto requestsFor = [&](const std::string &header, ScriptedUi::Credentials given, const std::string &expected) {
        challenge = header;
        const std::size_t before = server.heads().size();
        ui.credentialAnswers = { given, { true, "user", "nie gefragt" } };
        std::string answer, error;
        const bool ok = httpget::getText(httpget::makerAgent(), server.url("/geheim"), answer, error, false, ui);
        EXPECT_EQ(ok ? answer : error, expected) << header;
        EXPECT_EQ(ui.credentialAnswers.size(), 1u) << header;
        EXPECT_TRUE(server.waitIdle());
        return server.heads().size() - before;
    };
    const ScriptedUi::Credentials confirmed { true, "user", "pw" };

    EXPECT_EQ(requestsFor("WWW-Authenticate: " + digest + "\r\n", confirmed, "drin"), 2u);
    const std::string last = server.heads().back();
    EXPECT_NE(last.find("uri=\"/geheim\""), std::string::npos) << last;
    EXPECT_EQ(last.find("Authorization: Basic"), std::string::npos) << last;
    // A realm is free text: the word Basic in it offers no Basic login.
    EXPECT_EQ(
        requestsFor("WWW-Authenticate: Digest realm=\"Basic-Bereich\", nonce=\"abc123\"\r\n", confirmed, "drin"), 2u);
    // Several challenges, on one line or on several.
    EXPECT_EQ(requestsFor("WWW-Authenticate: Negotiate, " + digest + "\r\n", confirmed, "drin"), 2u);
    EXPECT_EQ(
        requestsFor("WWW-Authenticate: " + digest + "\r\nWWW-Authenticate: Negotiate\r\n", confirmed, "drin"), 2u);

    EXPECT_EQ(requestsFor("WWW-Authenticate: " + digest + "\r\n", { false, "", "" }, "Fehler Code: 1"), 1u);

    // The server turns the login down: its second 401 is the answer, cut at
    // its header, and the password is not tried a second time.
    accept = false;
    EXPECT_EQ(requestsFor("WWW-Authenticate: " + digest + "\r\n", confirmed, ""), 2u);
    // A scheme the library cannot answer: one more try, then the 401.
    EXPECT_EQ(requestsFor("WWW-Authenticate: Bearer realm=\"api\"\r\n", confirmed, "bitte anmelden"), 2u);
}

} // namespace
