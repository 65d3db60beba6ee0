#include "DemoServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using vantor::demo::DemoServer;

namespace {

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A client that speaks raw bytes, for what no well-behaved library sends.
class RawClient
{
public:
    explicit RawClient(int port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RawClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RawClient(const RawClient &) = delete;
    RawClient &operator=(const RawClient &) = delete;

    bool connected() const { return m_fd >= 0; }

    // False once the server has stopped taking bytes.
    bool send(const std::string &data)
    {
        std::size_t sent = 0;
        while (sent < data.size()) {
            const ssize_t n = ::send(m_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // The status of the answer, 0 when none came within the time.
    int status(std::chrono::milliseconds within = std::chrono::milliseconds(3000))
    {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (m_answer.find("\r\n") == std::string::npos) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd watched{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0)
                return 0;
            char buffer[4096];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            m_answer.append(buffer, static_cast<std::size_t>(n));
        }
        if (m_answer.rfind("HTTP/1.1 ", 0) != 0 || m_answer.size() < 12)
            return 0;
        return std::stoi(m_answer.substr(9, 3));
    }

    // Everything until the server closes, or the time is up.
    std::string rest(std::chrono::milliseconds within = std::chrono::milliseconds(3000))
    {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd watched{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&watched, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[4096];
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            m_answer.append(buffer, static_cast<std::size_t>(n));
        }
        return m_answer;
    }

    const std::string &answer() const { return m_answer; }

private:
    int m_fd = -1;
    std::string m_answer;
};

class DemoServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("vantor-demo-" + std::to_string(::getpid()));
        m_secret = fs::temp_directory_path() / ("vantor-demo-secret-" + std::to_string(::getpid()) + ".txt");
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        std::ofstream(m_root / "version.txt") << "4.10 0\r\n";
        std::ofstream(m_secret) << "secret";
        restart(DemoServer::Options{});
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_root);
        fs::remove(m_secret);
    }

    void restart(const DemoServer::Options &options)
    {
        m_server.reset();
        m_server = std::make_unique<DemoServer>(m_root, options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
    }

    // Short limits, so that what waits for one of them is over quickly.
    static DemoServer::Options quick()
    {
        DemoServer::Options options;
        options.limits.readTimeout = std::chrono::milliseconds(300);
        options.limits.headTimeout = std::chrono::milliseconds(300);
        options.limits.keepAliveTimeout = std::chrono::milliseconds(300);
        return options;
    }

    // A well-behaved client that gives up after a few seconds: a server
    // that makes it wait that long has failed anyway.
    httplib::Result get(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        client.set_read_timeout(3);
        return client.Get(path.c_str());
    }

    int rawStatus(const std::string &request)
    {
        RawClient client(m_port);
        EXPECT_TRUE(client.connected());
        client.send(request);
        return client.status();
    }

    std::string support(const std::string &query)
    {
        auto answer = get("/cgi-bin/support.pl?" + query);
        return answer ? std::to_string(answer->status) + " " + answer->body : "no answer";
    }

    fs::path m_root;
    fs::path m_secret;
    std::unique_ptr<DemoServer> m_server;
    int m_port = 0;
};

} // namespace

TEST_F(DemoServerTest, ServesTheFilesOfItsRootAndNothingElse)
{
    auto version = get("/download/vantor/version.txt");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->status, 200);
    EXPECT_EQ(version->body, "4.10 0\r\n");
    EXPECT_EQ(get("/download/vantor/fehlt.dat")->status, 404);
    const std::string secret = m_secret.filename().string();
    EXPECT_EQ(get("/download/vantor/..%2F" + secret)->status, 404);
    EXPECT_EQ(get("/download/vantor/../" + secret)->status, 404);
}

TEST_F(DemoServerTest, LinksAreFollowedOnlyInsideTheRoot)
{
    fs::create_symlink(m_secret, m_root / "geheim.txt");
    fs::create_symlink(m_secret.parent_path(), m_root / "tmp");
    fs::create_symlink("version.txt", m_root / "aktuell.txt");
    auto leak = get("/download/vantor/geheim.txt");
    ASSERT_TRUE(leak);
    EXPECT_EQ(leak->status, 404);
    EXPECT_EQ(leak->body.find("secret"), std::string::npos);
    EXPECT_EQ(get("/download/vantor/tmp")->status, 404);

    auto inside = get("/download/vantor/aktuell.txt");
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->status, 200);
    EXPECT_EQ(inside->body, "4.10 0\r\n");

    // The download page reads the version file the same way.
    fs::remove(m_root / "version.txt");
    fs::create_symlink(m_secret, m_root / "version.txt");
    auto page = get("/download/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->body.find("secret"), std::string::npos);
    EXPECT_NE(page->body.find("Die neueste Version ist ?."), std::string::npos);
}

TEST_F(DemoServerTest, SupportScriptLogsAndNewsletterConfirms)
{
    EXPECT_EQ(support("from=a%40b.de&subject=Vantor%204.01&text=Gr%C3%BC%C3%9Fe%20%26%20mehr"), "200 OK");
    EXPECT_EQ(slurp(m_server->supportLog()), "from: a@b.de\nsubject: Vantor 4.01\ntext: Grüße & mehr\n--\n");
    EXPECT_EQ(get("/download/vantor/support.log")->status, 404);

    auto page = get("/cgi-bin/sitecastget.pl?emailsitecast=%3Cx%3E%40b.de&subscribe=subscribe");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("&lt;x&gt;@b.de"), std::string::npos);
    EXPECT_EQ(get("/sitecast/internetmarketingdoc.html")->status, 200);
}

TEST_F(DemoServerTest, AnInstalledServerLogsIntoItsOwnDirectoryNotTheRoot)
{
    // The installed root is read-only; the log goes where the server was
    // told, made on the first message, and is still nobody's download.
    DemoServer::Options options;
    options.logDirectory = m_root.parent_path() / (m_root.filename().string() + "-state") / "vantor-demo-server";
    fs::remove_all(options.logDirectory.parent_path());
    restart(options);
    EXPECT_EQ(support("from=a%40b.de&subject=s&text=t"), "200 OK");
    EXPECT_EQ(slurp(options.logDirectory / "support.log"), "from: a@b.de\nsubject: s\ntext: t\n--\n");
    EXPECT_FALSE(fs::exists(m_root / "support.log"));
    EXPECT_EQ(get("/download/vantor/support.log")->status, 404);
    fs::remove_all(options.logDirectory.parent_path());
}

TEST_F(DemoServerTest, LineBreaksInAMessageCannotForgeAnEntry)
{
    // A text that would read as the end of its entry and a second one.
    EXPECT_EQ(support("from=a%40b.de&subject=s%0Ax&text=eins%0D%0A--%0Afrom:%20chef%40firma.de%0Atext:%20C:%5Cneu%5Cn"),
              "200 OK");
    const std::string log = slurp(m_server->supportLog());
    EXPECT_EQ(log, "from: a@b.de\nsubject: s\\nx\ntext: eins\\r\\n--\\nfrom: chef@firma.de\\ntext: C:\\\\neu\\\\n\n--\n");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);
}

TEST_F(DemoServerTest, SupportLogMovesAsideAtItsCap)
{
    DemoServer::Options options;
    options.supportLogMax = 1000;
    restart(options);
    const std::string text(40, 'x');
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(support("from=a%40b.de&subject=" + std::to_string(i) + "&text=" + text), "200 OK") << i;
    const std::string log = slurp(m_server->supportLog());
    const std::string before = slurp(m_server->supportLogBefore());
    EXPECT_LE(log.size(), 1000u);
    EXPECT_LE(before.size(), 1000u);
    EXPECT_GT(before.size(), 900u);
    // Whole entries only, the newest last.
    EXPECT_EQ(log.rfind("from: ", 0), 0u);
    EXPECT_EQ(before.rfind("from: ", 0), 0u);
    EXPECT_TRUE(before.ends_with("\n--\n"));
    EXPECT_TRUE(log.ends_with("subject: 59\ntext: " + text + "\n--\n"));

    // One message larger than the whole log is refused, and nothing moves.
    EXPECT_EQ(support("from=a%40b.de&subject=gross&text=" + std::string(1000, 'y')).substr(0, 3), "413");
    EXPECT_EQ(slurp(m_server->supportLog()), log);
    EXPECT_EQ(slurp(m_server->supportLogBefore()), before);
    EXPECT_EQ(get("/download/vantor/support.log.1")->status, 404);
}

TEST_F(DemoServerTest, SilentAndSlowClientsDoNotBlockARequest)
{
    // Sixteen connections that never finish a head; with the normal limits
    // each may hold on for seconds.
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 16; ++i) {
        slow.push_back(std::make_unique<RawClient>(m_port));
        ASSERT_TRUE(slow.back()->connected());
        if (i % 2)
            slow.back()->send("GET /download/vantor/version.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Warte: ");
    }
    auto answer = get("/download/vantor/version.txt");
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 200);
}

TEST_F(DemoServerTest, AHeadThatTricklesIsCutOff)
{
    DemoServer::Options options = quick();
    options.limits.workers = 2;
    options.limits.readTimeout = std::chrono::milliseconds(2000);
    restart(options);

    // One byte every 50 ms never trips a read timeout; only the deadline of
    // the whole head ends it.
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 4; ++i)
        slow.push_back(std::make_unique<RawClient>(m_port));
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        const std::string head = "GET /download/vantor/version.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        for (std::size_t i = 0; !done && i < 100; ++i) {
            for (auto &client : slow)
                client->send(std::string(1, head[i % head.size()]));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    for (auto &client : slow)
        EXPECT_EQ(client->status(), 408) << client->answer();
    auto answer = get("/download/vantor/version.txt");
    done = true;
    trickle.join();
    ASSERT_TRUE(answer) << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, 200);
}

TEST_F(DemoServerTest, AConnectionCarriesSeveralRequestsUpToItsCount)
{
    DemoServer::Options options = quick();
    options.limits.keepAliveMaxCount = 3;
    restart(options);

    // Sent in one go: the second and third head wait in the buffer while
    // the first is answered.
    const std::string request = "GET /download/vantor/version.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    RawClient client(m_port);
    ASSERT_TRUE(client.send(request + request + request + request));
    const std::string answers = client.rest();
    std::size_t count = 0;
    for (std::size_t at = answers.find("HTTP/1.1 200 OK"); at != std::string::npos;
         at = answers.find("HTTP/1.1 200 OK", at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << answers;
    EXPECT_NE(answers.find("Connection: close"), std::string::npos);
    EXPECT_TRUE(answers.ends_with("4.10 0\r\n"));
}

TEST_F(DemoServerTest, OversizedBodiesAreRefusedUnread)
{
    DemoServer::Options options = quick();
    options.limits.maxPayload = 4096;
    restart(options);

    // A gigabyte announced: refused at once, whether the body follows or the
    // client waits to be told to send it.
    {
        RawClient client(m_port);
        ASSERT_TRUE(client.send("POST /cgi-bin/support.pl HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1073741824\r\n\r\n"
                                + std::string(1000, 'x')));
        EXPECT_EQ(client.status(), 413);
    }
    EXPECT_EQ(rawStatus("POST /cgi-bin/support.pl HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1073741824\r\n"
                        "Expect: 100-continue\r\n\r\n"),
              413);
    EXPECT_EQ(rawStatus("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 99999999999999999999999\r\n\r\n"), 413);
    EXPECT_EQ(rawStatus("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: viel\r\n\r\n"), 400);
    // Announced on a GET, too: no handler sees it.
    EXPECT_EQ(rawStatus("GET /cgi-bin/support.pl?text=x HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5000\r\n\r\n"),
              413);
    EXPECT_FALSE(fs::exists(m_server->supportLog()));

    // Without a length, the body ends where the limit is.
    std::string chunked = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (int i = 0; i < 100; ++i)
        chunked += "400\r\n" + std::string(0x400, 'x') + "\r\n";
    EXPECT_EQ(rawStatus(chunked), 400);

    // What fits goes through to the routes.
    EXPECT_EQ(rawStatus("POST /nirgends HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 10\r\n\r\n0123456789"), 404);
}

TEST_F(DemoServerTest, TooManyOrTooLongHeadLinesAreRefused)
{
    const std::string request = "GET /download/vantor/version.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    const auto headers = [](int count, std::size_t length) {
        std::string lines;
        for (int i = 0; i < count; ++i)
            lines += "X-" + std::to_string(i) + ": " + std::string(length, 'v') + "\r\n";
        return lines;
    };
    EXPECT_EQ(rawStatus(request + headers(50, 10) + "\r\n"), 200);
    EXPECT_EQ(rawStatus(request + headers(150, 10) + "\r\n"), 431);
    EXPECT_EQ(rawStatus(request + headers(1, 20000) + "\r\n"), 431);
    // Each line within its bound, all of them together not.
    EXPECT_EQ(rawStatus(request + headers(90, 1000) + "\r\n"), 431);
    EXPECT_EQ(rawStatus("GET /" + std::string(20000, 'a') + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"), 414);

    // Three million headers are cut off long before they are through: what
    // got out is what the socket buffers took.
    RawClient flood(m_port);
    const std::string thousand = headers(1000, 4);
    std::size_t sent = 0;
    while (sent < 3000000 && flood.send(thousand))
        sent += 1000;
    EXPECT_LT(sent, 3000000u);
}
