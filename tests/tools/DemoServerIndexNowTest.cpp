#include "DemoServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vantor::demo::DemoServer;
using vantor::demo::IndexNowEndpoint;

namespace {

const std::string kKey = "4f0c2e7a9b1d3c5e8f6a0b2d4c6e8a1f";
const std::string kHost = "www.beispiel.de";

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

// The JSON form as a client sends it; every value is given as written, so
// that a test can put escapes or wrong types in.
std::string submission(const std::string &host, const std::string &key, const std::vector<std::string> &urls,
                       const std::string &keyLocation = "")
{
    std::string json = "{\"host\":" + host + ",\"key\":" + key;
    if (!keyLocation.empty())
        json += ",\"keyLocation\":" + keyLocation;
    json += ",\"urlList\":[";
    for (std::size_t i = 0; i < urls.size(); ++i)
        json += (i ? "," : "") + urls[i];
    return json + "]}";
}

std::string submission(const std::vector<std::string> &urls, const std::string &key = kKey)
{
    std::vector<std::string> quotedUrls;
    for (const std::string &url : urls)
        quotedUrls.push_back(quoted(url));
    return submission(quoted(kHost), quoted(key), quotedUrls);
}

class DemoServerIndexNowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-demo-indexnow-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "root");
        fs::create_directories(m_dir / "site" / "shop");
        write("index.htm", "<html><body>Start</body></html>");
        write(kKey + ".txt", kKey);
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_dir);
    }

    void start(DemoServer::Options options = {}, bool withSite = true)
    {
        if (withSite)
            options.site = m_dir / "site";
        m_server = std::make_unique<DemoServer>(m_dir / "root", options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
    }

    void write(const std::string &name, const std::string &content)
    {
        std::ofstream out(m_dir / "site" / name, std::ios::binary);
        out << content;
    }

    httplib::Result post(const std::string &body, const std::string &contentType = "application/json; charset=utf-8")
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        client.set_read_timeout(5);
        return client.Post("/indexnow", body, contentType.c_str());
    }

    int status(const std::string &body, const std::string &contentType = "application/json; charset=utf-8")
    {
        const auto result = post(body, contentType);
        return result ? result->status : 0;
    }

    httplib::Result get(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        client.set_read_timeout(5);
        return client.Get(path.c_str());
    }

    // A request exactly as written, for what the library would not send.
    int rawStatus(const std::string &request)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(m_port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::string answer;
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
            && ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            char buffer[256];
            ssize_t n = 0;
            while (answer.find("\r\n") == std::string::npos && (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
                answer.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
        // "HTTP/1.1 400 Bad Request"
        return answer.size() > 12 ? std::stoi(answer.substr(9, 3)) : 0;
    }

    std::string log() const { return m_server->indexNow().receivedText(); }

    fs::path m_dir;
    std::unique_ptr<DemoServer> m_server;
    int m_port = 0;
};

} // namespace

TEST_F(DemoServerIndexNowTest, AKeyIsPendingAtFirstAndKnownFromThenOn)
{
    start();
    const std::string body = submission({"https://www.beispiel.de/", "https://www.beispiel.de/shop/preise.htm"});
    const auto first = post(body);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, 202);
    EXPECT_NE(first->body.find("Schlüssel wird geprüft"), std::string::npos) << first->body;
    EXPECT_EQ(first->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    const auto second = post(body);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 200);
    EXPECT_NE(second->body.find("URLs übermittelt"), std::string::npos) << second->body;

    // The same key for another host is checked anew.
    EXPECT_EQ(status(submission(quoted("beispiel.de"), quoted(kKey), {quoted("http://beispiel.de/")})), 202);
    // The single-URL form takes the host from the URL.
    const auto single = get("/indexnow?url=https%3A%2F%2Fwww.beispiel.de%2Fshop%2F&key=" + kKey);
    ASSERT_TRUE(single);
    EXPECT_EQ(single->status, 200);

    EXPECT_EQ(log(), "202\twww.beispiel.de\t" + kKey + "\t2\thttps://www.beispiel.de/\n"
                     "200\twww.beispiel.de\t" + kKey + "\t2\thttps://www.beispiel.de/\n"
                     "202\tbeispiel.de\t" + kKey + "\t1\thttp://beispiel.de/\n"
                     "200\twww.beispiel.de\t" + kKey + "\t1\thttps://www.beispiel.de/shop/\n");
    const auto served = get("/indexnow/received");
    ASSERT_TRUE(served);
    EXPECT_EQ(served->body, log());
    // The site itself is still served around the endpoint.
    const auto keyFile = get("/" + kKey + ".txt");
    ASSERT_TRUE(keyFile);
    EXPECT_EQ(keyFile->body, kKey);
}

TEST_F(DemoServerIndexNowTest, OnlyJsonInUtf8IsRead)
{
    start();
    const std::string body = submission({"https://www.beispiel.de/"});
    EXPECT_EQ(status(body, "text/plain"), 400);
    EXPECT_EQ(status(body, "application/x-www-form-urlencoded"), 400);
    EXPECT_EQ(status(body, "application/json; charset=iso-8859-1"), 400);
    EXPECT_EQ(status(body, "application/jsonp"), 400);
    EXPECT_EQ(rawStatus("POST /indexnow HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size())
                        + "\r\nConnection: close\r\n\r\n" + body),
              400);
    // Any spelling of the one type and charset will do.
    EXPECT_EQ(status(body, "application/json"), 202);
    EXPECT_EQ(status(body, "Application/JSON;Charset=\"UTF-8\""), 200);
    EXPECT_EQ(status(body, "application/json; charset=utf-8; boundary=x"), 200);
    const auto refused = post(body, "text/plain");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->body.find("application/json"), std::string::npos) << refused->body;
}

TEST_F(DemoServerIndexNowTest, MalformedJsonOrShapeIsABadRequest)
{
    start();
    const std::string url = quoted("https://www.beispiel.de/");
    const std::string key = quoted(kKey);
    const std::string host = quoted(kHost);
    const std::vector<std::string> malformed = {
        "",
        "{",
        "{\"host\":\"www.beispiel.de\",}",
        "{'host':'www.beispiel.de'}",
        submission(host, key, {url}) + " x",
        submission(host, key, {url, ""}),
        submission(host, key, {"\"https://www.beispiel.de/\ta\""}),     // a raw control character
        submission(host, key, {"\"https://www.beispiel.de/\\ud800\""}), // half a surrogate pair
        submission(host, key, {"\"https://www.beispiel.de/\\udc00x\""}),
        submission(host, key, {"\"https://www.beispiel.de/\\x41\""}),
        submission(host, key, {"\"https://www.beispiel.de/\xc3\""}),     // cut UTF-8
        submission(host, key, {"\"https://www.beispiel.de/\xc0\xaf\""}), // overlong
        submission(host, key, {"\"https://www.beispiel.de/\xed\xa0\x80\""}),
        "{\"host\":\"a\",\"host\":\"www.beispiel.de\",\"key\":" + key + ",\"urlList\":[" + url + "]}",
        "{\"host\":" + host + ",\"key\":" + key + ",\"urlList\":[" + url + "],\"x\":01}",
        "{\"host\":" + host + ",\"key\":" + key + ",\"urlList\":[" + url + "],\"x\":1.}",
        "{\"host\":" + host + ",\"key\":" + key + ",\"urlList\":[" + url + "],\"x\":tru}",
        std::string(100, '[') + std::string(100, ']'),
    };
    for (const std::string &body : malformed)
        EXPECT_EQ(status(body), 400) << body;

    const std::vector<std::string> wrongShape = {
        "[" + url + "]",
        "\"www.beispiel.de\"",
        "{\"key\":" + key + ",\"urlList\":[" + url + "]}",
        "{\"host\":" + host + ",\"urlList\":[" + url + "]}",
        "{\"host\":" + host + ",\"key\":" + key + "}",
        submission("\"\"", key, {url}),
        submission("42", key, {url}),
        submission(host, "12345678", {url}),
        submission(host, "null", {url}),
        submission(host, key, {}),
        submission(host, key, {url, "7"}),
        submission(host, key, {url}, "true"),
        "{\"host\":" + host + ",\"key\":" + key + ",\"urlList\":" + url + "}",
    };
    for (const std::string &body : wrongShape)
        EXPECT_EQ(status(body), 400) << body;

    // What JSON allows besides is read and left alone.
    EXPECT_EQ(status(" \r\n\t{\"host\":" + host + ",\"key\":" + key + ",\"urlList\":[" + url
                     + "],\"n\":[-0.5e+3,0,12E2,true,false,null,{}],\"o\":{\"a\":[],\"a\":1},\"o\":2} \n"),
              202);
}

TEST_F(DemoServerIndexNowTest, TenThousandUrlsGoInOneRequestAndNoMore)
{
    start();
    std::vector<std::string> urls;
    for (int i = 0; i < 10001; ++i)
        urls.push_back("https://www.beispiel.de/seite-" + std::to_string(i) + ".htm");
    const auto tooMany = post(submission(urls));
    ASSERT_TRUE(tooMany);
    EXPECT_EQ(tooMany->status, 400);
    EXPECT_NE(tooMany->body.find("10000"), std::string::npos) << tooMany->body;
    urls.pop_back();
    EXPECT_EQ(status(submission(urls)), 202);
    EXPECT_EQ(log(), "400\twww.beispiel.de\t" + kKey + "\t10001\thttps://www.beispiel.de/seite-0.htm\n"
                     "202\twww.beispiel.de\t" + kKey + "\t10000\thttps://www.beispiel.de/seite-0.htm\n");
}

TEST_F(DemoServerIndexNowTest, KeysOutsideTheProtocolAreUnprocessable)
{
    start();
    // Each one has its file, so that nothing but its form can be wrong.
    const std::vector<std::string> refused = {std::string(7, 'a'), std::string(129, 'b'), "abcd_efgh",
                                              "abcd.efgh", "abcdefg\xc3\xa4"};
    for (const std::string &key : refused) {
        write(key + ".txt", key);
        EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, key)), 422) << key;
    }
    const std::vector<std::string> taken = {std::string(8, 'c'), std::string(128, 'D'), "Ab-9-Zz-0"};
    for (const std::string &key : taken) {
        write(key + ".txt", key);
        EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, key)), 202) << key;
    }
    EXPECT_FALSE(IndexNowEndpoint::wellFormedKey(""));
}

TEST_F(DemoServerIndexNowTest, EveryUrlHasToBeOnTheHost)
{
    start();
    const std::vector<std::string> offHost = {
        "https://www.andere.de/",
        "https://shop.beispiel.de/",
        "https://beispiel.de/",
        "https://www.beispiel.de.andere.de/",
        "https://www.beispiel.de@andere.de/",
        "https://www.beispiel.de:8443/",
        "ftp://www.beispiel.de/",
        "www.beispiel.de/seite.htm",
        "/seite.htm",
        "https:///seite.htm",
        // Paths go encoded, as RFC 3986 has it.
        "https://www.beispiel.de/neue seite.htm",
        "https://www.beispiel.de/gr\xc3\xbc\xc3\x9f" "e.htm",
        "https://www.beispiel.de/100%.htm",
    };
    for (const std::string &url : offHost) {
        // One stray URL spoils the whole request.
        EXPECT_EQ(status(submission({"https://www.beispiel.de/", url})), 422) << url;
    }
    EXPECT_EQ(status(submission({"https://WWW.Beispiel.DE/", "http://www.beispiel.de/a%20b.htm",
                                 "https://www.beispiel.de:443/gr%C3%BC%C3%9Fe.htm?x=1#oben",
                                 "http://www.beispiel.de"})),
              202);
    EXPECT_EQ(status(submission(quoted("WWW.BEISPIEL.DE"), quoted(kKey), {quoted("https://www.beispiel.de/")})), 200);

    // A port in the host belongs to it.
    const std::string withPort = quoted("127.0.0.1:8080");
    EXPECT_EQ(status(submission(withPort, quoted(kKey), {quoted("http://127.0.0.1:8080/")})), 202);
    EXPECT_EQ(status(submission(withPort, quoted(kKey), {quoted("http://127.0.0.1/")})), 422);
    EXPECT_EQ(status(submission(withPort, quoted(kKey), {quoted("http://127.0.0.1:8081/")})), 422);
    const auto refused = post(submission({"https://www.andere.de/"}));
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->body.find("https://www.andere.de/"), std::string::npos) << refused->body;
}

TEST_F(DemoServerIndexNowTest, TheKeyFileHasToHoldTheKey)
{
    start();
    const std::string other = "0123456789abcdef0123456789abcdef";
    const auto missing = post(submission({"https://www.beispiel.de/"}, other));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 403);
    EXPECT_NE(missing->body.find("Schlüsseldatei nicht gefunden"), std::string::npos) << missing->body;

    const std::vector<std::string> wrongContent = {"", other.substr(1), other + "0", other + "\n\n", other + " ",
                                                   "\xef\xbb\xbf" + other, other + "\r", kKey};
    for (const std::string &content : wrongContent) {
        write(other + ".txt", content);
        EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, other)), 403) << content;
    }
    // One line end after the key is how editors save it.
    write(other + ".txt", other + "\r\n");
    EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, other)), 202);
    write(other + ".txt", other + "\n");
    EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, other)), 200);
    // A folder of that name is no key file.
    fs::remove(m_dir / "site" / (other + ".txt"));
    fs::create_directories(m_dir / "site" / (other + ".txt"));
    write(other + ".txt/index.htm", other);
    EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, other)), 403);
    EXPECT_EQ(status(submission({"https://www.beispiel.de/"}, "../../../etc/passwd")), 422);
}

TEST_F(DemoServerIndexNowTest, AKeyLocationSpeaksForItsFolderOnly)
{
    start();
    write("shop/schluessel datei.txt", kKey);
    const std::string host = quoted(kHost);
    const std::string key = quoted(kKey);
    const std::string location = quoted("https://www.beispiel.de/shop/schluessel%20datei.txt");
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/preise.htm")}, location)), 202);
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/")}, location)), 200);
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/./preise.htm")}, location)), 200);
    for (const char *outside : {"https://www.beispiel.de/kontakt.htm", "https://www.beispiel.de/shop/../kontakt.htm",
                                "https://www.beispiel.de/shop/%2E%2e/kontakt.htm", "https://www.beispiel.de/shop"})
        EXPECT_EQ(status(submission(host, key, {quoted(outside)}, location)), 422) << outside;
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/")},
                                quoted("https://www.andere.de/shop/schluessel%20datei.txt"))),
              422);
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/")}, quoted("/shop/x.txt"))), 422);
    // Where the key location points, the file has to be; the one at the
    // root does not stand in for it.
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/shop/")},
                                quoted("https://www.beispiel.de/shop/fehlt.txt"))),
              403);
    EXPECT_EQ(status(submission(host, key, {quoted("https://www.beispiel.de/")},
                                quoted("https://www.beispiel.de/" + kKey + ".txt"))),
              200);
}

TEST_F(DemoServerIndexNowTest, WithoutASiteNoKeyIsEverFound)
{
    start({}, false);
    const auto answer = post(submission({"https://www.beispiel.de/"}));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 403);
    EXPECT_NE(answer->body.find("--site"), std::string::npos) << answer->body;
}

TEST_F(DemoServerIndexNowTest, EscapesInTheJsonAreDecoded)
{
    start();
    // "\/" and \u escapes in key, host and URL read as the plain text.
    const std::string escapedKey = "\"\\u0034f0c2e7a9b1d3c5e8f6a0b2d4c6e8a1\\u0066\"";
    EXPECT_EQ(status(submission("\"www.beispiel\\u002Ede\"", escapedKey,
                                {"\"https:\\/\\/www.beispiel.de\\/shop\\/\"",
                                 "\"https://www.beispiel.de/\\u0061.htm\""})),
              202);
    EXPECT_EQ(status(submission({"https://www.beispiel.de/shop/"})), 200);
    // Beyond ASCII they become UTF-8, a surrogate pair one character.
    EXPECT_EQ(status(submission("\"b\\u00fccher-\\uD83D\\uDE00.de\"", quoted(kKey),
                                {"\"https://b\\u00FCcher.de/\\\"\\\\\\t\\n\\r\\b\\f\""})),
              422);
    const std::string lines = log();
    EXPECT_NE(lines.find("202\twww.beispiel.de\t" + kKey + "\t2\thttps://www.beispiel.de/shop/\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("422\tb\xc3\xbc" "cher-\xf0\x9f\x98\x80.de\t" + kKey
                         + "\t1\thttps://b\xc3\xbc" "cher.de/\"\\\\\\t\\n\\r\\x08\\x0c\n"),
              std::string::npos)
        << lines;
}

TEST_F(DemoServerIndexNowTest, TooManyRequestsForOneHostAreRefused)
{
    DemoServer::Options options;
    options.indexNow.requestsPerMinute = 3;
    start(options);
    const std::string body = submission({"https://www.beispiel.de/"});
    EXPECT_EQ(status(body), 202);
    // Refused requests count as well.
    EXPECT_EQ(status(submission({"https://www.andere.de/"})), 422);
    EXPECT_EQ(status(body), 200);
    const auto throttled = post(body);
    ASSERT_TRUE(throttled);
    EXPECT_EQ(throttled->status, 429);
    EXPECT_NE(throttled->body.find("später erneut versuchen"), std::string::npos) << throttled->body;
    EXPECT_EQ(status(submission(quoted("WWW.Beispiel.de"), quoted(kKey), {quoted("https://www.beispiel.de/")})), 429);
    // Another site is not held back by it.
    EXPECT_EQ(status(submission(quoted("beispiel.de"), quoted(kKey), {quoted("https://beispiel.de/")})), 202);
    EXPECT_NE(log().find("429\twww.beispiel.de\t" + kKey + "\t1\thttps://www.beispiel.de/\n"), std::string::npos);
}

TEST_F(DemoServerIndexNowTest, OnlyGetAndPostAreAnswered)
{
    start();
    httplib::Client client("127.0.0.1", m_port);
    client.set_connection_timeout(3);
    const auto put = client.Put("/indexnow", submission({"https://www.beispiel.de/"}), "application/json");
    ASSERT_TRUE(put);
    EXPECT_EQ(put->status, 405);
    EXPECT_EQ(put->get_header_value("Allow"), "GET, POST");
    const auto removed = client.Delete("/indexnow");
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->status, 405);
    // The single-URL form wants both of its values.
    const auto single = get("/indexnow?url=https%3A%2F%2Fwww.beispiel.de%2F");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->status, 400);
    EXPECT_EQ(get("/indexnow?url=https%3A%2F%2Fwww.beispiel.de%2F&key=1234567")->status, 422);
    EXPECT_EQ(get("/indexnow?url=https%3A%2F%2Fwww.beispiel.de%2F&key=" + kKey)->status, 202);
}

TEST_F(DemoServerIndexNowTest, TheLogKeepsTheLatestRequestsOnly)
{
    start();
    httplib::Client client("127.0.0.1", m_port);
    client.set_connection_timeout(3);
    for (std::size_t i = 0; i <= IndexNowEndpoint::kMaxReceived; ++i) {
        const auto answer = client.Get(("/indexnow?url=https%3A%2F%2Fwww.beispiel.de%2F" + std::to_string(i)).c_str());
        ASSERT_TRUE(answer) << i;
    }
    const auto received = m_server->indexNow().received();
    ASSERT_EQ(received.size(), IndexNowEndpoint::kMaxReceived);
    EXPECT_EQ(received.front().firstUrl, "https://www.beispiel.de/1");
    EXPECT_EQ(received.back().firstUrl, "https://www.beispiel.de/" + std::to_string(IndexNowEndpoint::kMaxReceived));
    EXPECT_EQ(received.back().status, 400);
}
