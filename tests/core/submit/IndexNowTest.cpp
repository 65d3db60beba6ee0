#include "TestEnvironment.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "submit/IndexNow.h"
#include "submit/IndexNowKey.h"
#include "submit/IndexNowState.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// Just enough JSON for the body we send: one object of strings and arrays
// of strings. Anything else fails the parse, and so the test.
class MiniJson
{
public:
    explicit MiniJson(std::string text)
        : m_text(std::move(text))
    {
    }

    bool parse(std::map<std::string, std::vector<std::string>> &fields)
    {
        if (!take('{'))
            return false;
        do {
            std::string name;
            if (!string(name) || !take(':'))
                return false;
            std::vector<std::string> values;
            if (peek() == '[') {
                take('[');
                if (peek() != ']') {
                    do {
                        std::string value;
                        if (!string(value))
                            return false;
                        values.push_back(value);
                    } while (take(','));
                }
                if (!take(']'))
                    return false;
            } else {
                std::string value;
                if (!string(value))
                    return false;
                values.push_back(value);
            }
            fields[name] = values;
        } while (take(','));
        return take('}') && m_pos == m_text.size();
    }

private:
    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    bool string(std::string &out)
    {
        if (!take('"'))
            return false;
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            char c = m_text[m_pos++];
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c == '\\') {
                if (m_pos >= m_text.size())
                    return false;
                c = m_text[m_pos++];
                if (c == 'u') {
                    if (m_pos + 4 > m_text.size())
                        return false;
                    c = static_cast<char>(std::stoi(m_text.substr(m_pos, 4), nullptr, 16));
                    m_pos += 4;
                } else if (c != '"' && c != '\\' && c != '/') {
                    return false;
                }
            }
            out += c;
        }
        return take('"');
    }

    std::string m_text;
    std::size_t m_pos = 0;
};

std::map<std::string, std::vector<std::string>> parsed(const std::string &body)
{
    std::map<std::string, std::vector<std::string>> fields;
    MiniJson json(body);
    const bool parsed = json.parse(fields);
    EXPECT_TRUE(parsed) << body;
    return fields;
}

std::vector<indexnow::Document> documents(const std::string &prefix, std::size_t count)
{
    std::vector<indexnow::Document> list;
    for (std::size_t i = 0; i < count; ++i)
        list.push_back({prefix + std::to_string(i) + ".htm", {}});
    return list;
}

// An IndexNow endpoint on 127.0.0.1 that answers the statuses it is given
// one after the other (200 once they are used up) and keeps what it got.
class IndexNowTest : public vantor::testing::CoreTest
{
protected:
    struct Received {
        std::string path;
        std::string contentType;
        std::string body;
    };

    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        m_session.emplace(httpget::searchEngineAgent());
        m_server.Post(R"(/.*)", [this](const httplib::Request &request, httplib::Response &response) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_received.push_back({request.path, request.get_header_value("Content-Type"), request.body});
            response.status = 200;
            if (!m_statuses.empty()) {
                response.status = m_statuses.front();
                m_statuses.pop_front();
            }
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void TearDown() override
    {
        m_server.stop();
        m_thread.join();
        CoreTest::TearDown();
    }

    indexnow::Endpoint endpoint(const std::string &path = "/indexnow") const
    {
        return *indexnow::parseEndpoint("http://127.0.0.1:" + std::to_string(m_port) + path);
    }
    void answer(std::initializer_list<int> statuses)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.assign(statuses);
    }
    std::vector<Received> received()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

    indexnow::Site site() const { return indexnow::siteFor("https", "www.example.de", "0123456789abcdef"); }

    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::deque<int> m_statuses;
    std::vector<Received> m_received;
    // Made after the settings say "direct": whatever proxy the environment
    // names, nothing leaves this host.
    std::optional<HttpSession> m_session;
};

TEST_F(IndexNowTest, GeneratedKeysAreHexFromARandomSourceAndGivenKeysAreChecked)
{
    const auto first = indexnowkey::generate();
    const auto second = indexnowkey::generate();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->size(), 32u);
    EXPECT_EQ(first->find_first_not_of("0123456789abcdef"), std::string::npos) << *first;
    EXPECT_NE(*first, *second);
    EXPECT_FALSE(indexnowkey::problem(*first));

    EXPECT_TRUE(indexnowkey::problem(std::string(7, 'a')));
    EXPECT_FALSE(indexnowkey::problem(std::string(8, 'a')));
    EXPECT_FALSE(indexnowkey::problem(std::string(128, 'Z')));
    EXPECT_TRUE(indexnowkey::problem(std::string(129, 'a')));
    EXPECT_FALSE(indexnowkey::problem("Mein-Schluessel-2024"));
    for (const char *bad : {"", "abcd_efgh", "abcd efgh", "abcdefgh.txt", "abcdefg\xfc", "../../etc/x"})
        EXPECT_TRUE(indexnowkey::problem(bad)) << bad;

    // Kept in the project file, section "project".
    writeProject("p", "[project]\r\nsubmiturl=www.example.de\r\n");
    EXPECT_EQ(indexnowkey::stored(projectPath("p")), "");
    ASSERT_TRUE(indexnowkey::store(projectPath("p"), *first));
    EXPECT_EQ(indexnowkey::stored(projectPath("p")), *first);
    EXPECT_NE(readFile(projectPath("p")).find("indexnowkey=" + *first), std::string::npos);
}

TEST_F(IndexNowTest, TheKeyFileNeverReplacesAUsersFile)
{
    fs::create_directories(root() + "/site");
    const std::string homepage = root() + "/site/index.htm";
    const indexnowkey::KeyFile made = indexnowkey::writeKeyFile(homepage, "abcdef12");
    EXPECT_FALSE(made.refusal);
    EXPECT_TRUE(made.written);
    EXPECT_EQ(made.path, root() + "/site/abcdef12.txt");
    EXPECT_EQ(readFile(made.path), "abcdef12");

    // Once more: it is there with the key already.
    const indexnowkey::KeyFile again = indexnowkey::writeKeyFile(homepage, "abcdef12");
    EXPECT_FALSE(again.refusal);
    EXPECT_FALSE(again.written);

    // An editor's line end is still the key.
    writeFile(root() + "/site/abcdef34.txt", "abcdef34\r\n");
    EXPECT_FALSE(indexnowkey::writeKeyFile(homepage, "abcdef34").refusal);
    EXPECT_EQ(readFile(root() + "/site/abcdef34.txt"), "abcdef34\r\n");

    for (const std::string content : {"Meine Notizen", "abcdef56 und mehr", "", "abcdef5"}) {
        writeFile(root() + "/site/abcdef56.txt", content);
        const indexnowkey::KeyFile refused = indexnowkey::writeKeyFile(homepage, "abcdef56");
        ASSERT_TRUE(refused.refusal) << content;
        EXPECT_EQ(refused.refusal->title, de("Schlüsseldatei vorhanden"));
        EXPECT_NE(refused.refusal->text.find("abcdef56.txt"), std::string::npos);
        EXPECT_EQ(readFile(root() + "/site/abcdef56.txt"), content);
    }
    fs::create_directories(root() + "/site/abcdef78.txt");
    EXPECT_TRUE(indexnowkey::writeKeyFile(homepage, "abcdef78").refusal);
}

TEST_F(IndexNowTest, EndpointsAreFullHttpOrHttpsUrls)
{
    const auto standard = indexnow::parseEndpoint(indexnow::kDefaultEndpoint);
    ASSERT_TRUE(standard);
    EXPECT_TRUE(standard->https);
    EXPECT_EQ(standard->host, "api.indexnow.org");
    EXPECT_EQ(standard->port, 443);
    EXPECT_EQ(standard->object, "/indexnow");

    const auto plain = indexnow::parseEndpoint("HTTP://127.0.0.1:8080/indexnow?noreping#x");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->https);
    EXPECT_EQ(plain->host, "127.0.0.1");
    EXPECT_EQ(plain->port, 8080);
    EXPECT_EQ(plain->object, "/indexnow?noreping");

    const auto bare = indexnow::parseEndpoint("http://suche.example");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 80);
    EXPECT_EQ(bare->object, "/");

    const auto six = indexnow::parseEndpoint("https://[::1]:8443/indexnow");
    ASSERT_TRUE(six);
    EXPECT_EQ(six->host, "[::1]");
    EXPECT_EQ(six->port, 8443);

    for (const char *bad : {"ftp://api.indexnow.org/indexnow", "api.indexnow.org/indexnow", "https://",
                            "https:///indexnow", "http://user:pw@host/indexnow", "http://host:0/", "http://host:70000/",
                            "http://host:x/", "http://ho st/indexnow", "https://[::1/indexnow"})
        EXPECT_FALSE(indexnow::parseEndpoint(bad)) << bad;
}

TEST_F(IndexNowTest, TheSiteIsTheSubmissionUrlsHostWithTheKeyFileBesideTheHomepage)
{
    indexnow::Site root = indexnow::siteFor("https", "www.example.de", "0123456789abcdef");
    EXPECT_EQ(root.host, "www.example.de");
    EXPECT_EQ(root.key, "0123456789abcdef");
    EXPECT_EQ(root.keyLocation, "https://www.example.de/0123456789abcdef.txt");

    indexnow::Site below = indexnow::siteFor("http", "www.example.de/mein shop/", "0123456789abcdef");
    EXPECT_EQ(below.host, "www.example.de");
    EXPECT_EQ(below.keyLocation, "http://www.example.de/mein%20shop/0123456789abcdef.txt");

    EXPECT_EQ(indexnow::siteFor("https", "127.0.0.1:8080", "abcdefgh").host, "127.0.0.1:8080");

    EXPECT_FALSE(indexnow::submissionUrlProblem("www.example.de/shop"));
    EXPECT_TRUE(indexnow::submissionUrlProblem("https://www.example.de"));
    EXPECT_TRUE(indexnow::submissionUrlProblem("www.exa mple.de"));
    EXPECT_TRUE(indexnow::submissionUrlProblem("www.example.de?x=1"));
}

TEST_F(IndexNowTest, TenThousandUrlsARequestAndNoneOfAnotherHost)
{
    std::vector<indexnow::Document> list = documents("https://www.example.de/seite", 10001);
    list.insert(list.begin() + 5, indexnow::Document{"https://www.anderswo.de/seite1.htm", {}});
    list.push_back({"https://www.example.de.anderswo.de/x.htm", {}});
    list.push_back({"https://www.example.de/seite7.htm", {}}); // twice
    list.push_back({"https://WWW.Example.DE/gross.htm", {}});
    std::vector<std::string> foreign;
    const std::vector<indexnow::Request> requests =
        indexnow::plan(site(), {endpoint("/a"), endpoint("/b")}, list, &foreign);
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].endpoint.object, "/a");
    EXPECT_EQ(requests[1].endpoint.object, "/a");
    EXPECT_EQ(requests[2].endpoint.object, "/b");
    EXPECT_EQ(requests[0].documents.size(), 10000u);
    EXPECT_EQ(requests[1].documents.size(), 2u);
    EXPECT_EQ(requests[1].documents.back().url, "https://WWW.Example.DE/gross.htm");
    EXPECT_EQ(foreign, (std::vector<std::string>{"https://www.anderswo.de/seite1.htm",
                                                 "https://www.example.de.anderswo.de/x.htm"}));
    for (const indexnow::Request &request : requests) {
        for (const indexnow::Document &document : request.documents)
            ASSERT_EQ(document.url.find("anderswo"), std::string::npos);
    }

    // Two requests go out, and the endpoint sees every URL once.
    const std::vector<indexnow::Request> one = indexnow::plan(site(), {endpoint()}, documents("https://www.example.de/s", 10001));
    ASSERT_EQ(one.size(), 2u);
    EXPECT_TRUE(indexnow::sendAll(*m_session, site(), one, {}, ui, {}));
    const std::vector<Received> got = received();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(parsed(got[0].body)["urlList"].size(), 10000u);
    EXPECT_EQ(parsed(got[1].body)["urlList"], std::vector<std::string>{"https://www.example.de/s10000.htm"});
}

TEST_F(IndexNowTest, TheBodyIsTheProtocolsJsonPostedAsUtf8)
{
    const indexnow::Site below = indexnow::siteFor("https", "www.example.de/shop", "Key-0123456789");
    indexnow::Request request;
    request.endpoint = endpoint();
    request.documents = {{"https://www.example.de/shop/%C3%BCber%20uns.htm", {}},
                         {"https://www.example.de/shop/a\"b\\c.htm", {}}};
    const indexnow::Outcome outcome = indexnow::send(*m_session, below, request, ui);
    EXPECT_EQ(outcome.status, 200);
    const std::vector<Received> got = received();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].path, "/indexnow");
    EXPECT_EQ(got[0].contentType, "application/json; charset=utf-8");
    auto fields = parsed(got[0].body);
    EXPECT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields["host"], std::vector<std::string>{"www.example.de"});
    EXPECT_EQ(fields["key"], std::vector<std::string>{"Key-0123456789"});
    EXPECT_EQ(fields["keyLocation"], std::vector<std::string>{"https://www.example.de/shop/Key-0123456789.txt"});
    EXPECT_EQ(fields["urlList"], (std::vector<std::string>{"https://www.example.de/shop/%C3%BCber%20uns.htm",
                                                           "https://www.example.de/shop/a\"b\\c.htm"}));
}

TEST_F(IndexNowTest, EachStatusHasItsGermanOutcome)
{
    answer({200, 202, 400, 403, 422, 429, 500, 301, 404, 418});
    const indexnow::Request request{endpoint(), documents("https://www.example.de/", 1)};
    struct Expected {
        long status;
        const char *text;
        bool accepted;
        bool stops;
    };
    for (const Expected &e : std::initializer_list<Expected>{
             {200, "URLs übermittelt", true, false},
             {202, "angenommen, Schlüssel wird geprüft", true, false},
             {400, "ungültige Anfrage", false, false},
             {403, "Schlüssel ungültig (Schlüsseldatei nicht gefunden oder falscher Inhalt)", false, false},
             {422, "URLs gehören nicht zur Domain oder Schlüssel passt nicht", false, false},
             {429, "zu viele Anfragen – später erneut versuchen", false, true},
             {500, "Fehler beim Server – später erneut versuchen", false, false},
             {301, "Weiterleitung, nicht gefolgt – bitte die Adresse des Endpunkts prüfen", false, false},
             {404, "Endpunkt nicht gefunden – bitte die Adresse prüfen", false, false},
             {418, "unerwartete Antwort des Servers", false, false}}) {
        const indexnow::Outcome outcome = indexnow::send(*m_session, site(), request, ui);
        EXPECT_EQ(outcome.status, e.status);
        EXPECT_EQ(toUtf8(outcome.text), e.text) << e.status;
        EXPECT_EQ(outcome.accepted, e.accepted) << e.status;
        EXPECT_EQ(outcome.stopsEndpoint, e.stops) << e.status;
    }
}

TEST_F(IndexNowTest, TooManyRequestsStopsThatEndpointOnly)
{
    answer({429});
    const std::vector<indexnow::Request> requests =
        indexnow::plan(site(), {endpoint("/voll"), endpoint("/frei")}, documents("https://www.example.de/", 20001));
    ASSERT_EQ(requests.size(), 6u);
    std::vector<indexnow::Outcome> outcomes;
    const std::string state = root() + "/p.indexnow";
    EXPECT_FALSE(indexnow::sendAll(*m_session, site(), requests, state, ui,
                                   [&](const indexnow::Request &, const indexnow::Outcome &o) { outcomes.push_back(o); }));
    ASSERT_EQ(outcomes.size(), 6u);
    EXPECT_EQ(outcomes[0].status, 429);
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(outcomes[i].status, 0);
        EXPECT_EQ(outcomes[i].text, indexnow::notSent().text);
    }
    for (std::size_t i : {3u, 4u, 5u})
        EXPECT_TRUE(outcomes[i].accepted);
    const std::vector<Received> got = received();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].path, "/voll");
    EXPECT_EQ(got[1].path, "/frei");
}

TEST_F(IndexNowTest, AnHttpsEndpointMustShowATrustedCertificate)
{
    httplib::SSLServer tls(VANTOR_TEST_DATA_DIR "/tls/cert.pem", VANTOR_TEST_DATA_DIR "/tls/key.pem");
    ASSERT_TRUE(tls.is_valid());
    std::atomic<int> reached{0};
    tls.Post("/indexnow", [&](const httplib::Request &, httplib::Response &response) {
        ++reached;
        response.status = 200;
    });
    const int port = tls.bind_to_any_port("127.0.0.1");
    std::thread serving([&tls] { tls.listen_after_bind(); });
    while (!tls.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto secure = indexnow::parseEndpoint("https://127.0.0.1:" + std::to_string(port) + "/indexnow");
    ASSERT_TRUE(secure);
    const std::vector<indexnow::Request> requests =
        indexnow::plan(site(), {*secure}, documents("https://www.example.de/", 10002));
    std::vector<indexnow::Outcome> outcomes;
    const bool accepted = indexnow::sendAll(*m_session, site(), requests, {}, ui,
                                            [&](const indexnow::Request &, const indexnow::Outcome &o) { outcomes.push_back(o); });
    tls.stop();
    serving.join();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(reached.load(), 0);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].status, 0);
    EXPECT_EQ(toUtf8(outcomes[0].text).rfind("Verbindung fehlgeschlagen: ", 0), 0u) << toUtf8(outcomes[0].text);
    // The second chunk does not knock at the same door.
    EXPECT_EQ(outcomes[1].text, indexnow::notSent().text);
}

TEST_F(IndexNowTest, OnlyChangedDocumentsGoOutAgain)
{
    const std::string dir = root() + "/site";
    fs::create_directories(dir);
    writeFile(dir + "/index.htm", "<html>Start</html>");
    writeFile(dir + "/kontakt.htm", "<html>Kontakt</html>");
    writeFile(dir + "/über uns.htm", "<html>Wir</html>");
    const std::string homepage = toCp1252(dir + "/index.htm");
    auto collect = [&] {
        return indexnow::collectDocuments(submitdocs::Mode::Complete, "https", "www.example.de", homepage, {}, {});
    };
    auto urls = [](const std::vector<indexnow::Document> &list) {
        std::vector<std::string> out;
        for (const indexnow::Document &d : list)
            out.push_back(d.url);
        std::sort(out.begin(), out.end());
        return out;
    };
    const std::vector<indexnow::Document> all = collect();
    EXPECT_EQ(urls(all), (std::vector<std::string>{"https://www.example.de/", "https://www.example.de/%C3%BCber%20uns.htm",
                                                   "https://www.example.de/index.htm",
                                                   "https://www.example.de/kontakt.htm"}));
    for (const indexnow::Document &d : all)
        EXPECT_TRUE(d.stamp.known) << d.url;

    const std::string statePath = IndexNowState::pathFor(projectPath("p"));
    EXPECT_EQ(statePath, projectsDir() + "/p.indexnow");
    IndexNowState state;
    EXPECT_FALSE(state.load(statePath));
    EXPECT_FALSE(state.damaged());
    EXPECT_EQ(indexnow::changedOnly(all, state).size(), 4u);

    // A refused request remembers nothing; an accepted one all it carried.
    answer({403, 202});
    const auto requests = indexnow::plan(site(), {endpoint()}, all);
    EXPECT_FALSE(indexnow::sendAll(*m_session, site(), requests, statePath, ui, {}));
    state.load(statePath);
    EXPECT_EQ(indexnow::changedOnly(collect(), state).size(), 4u);
    EXPECT_TRUE(indexnow::sendAll(*m_session, site(), requests, statePath, ui, {}));
    ASSERT_TRUE(state.load(statePath));
    EXPECT_TRUE(indexnow::changedOnly(collect(), state).empty());

    // Another size, another time, a new file: those three, nothing else.
    writeFile(dir + "/kontakt.htm", "<html>Kontakt, neu</html>");
    const auto earlier = fs::last_write_time(dir + "/über uns.htm") - std::chrono::seconds(10);
    fs::last_write_time(dir + "/über uns.htm", earlier);
    writeFile(dir + "/neu.htm", "<html></html>");
    EXPECT_EQ(urls(indexnow::changedOnly(collect(), state)),
              (std::vector<std::string>{"https://www.example.de/%C3%BCber%20uns.htm",
                                        "https://www.example.de/kontakt.htm", "https://www.example.de/neu.htm"}));
    // The file behind the bare address is the homepage.
    writeFile(dir + "/index.htm", "<html>Start, neu</html>");
    EXPECT_EQ(indexnow::changedOnly(collect(), state).size(), 5u);
}

TEST_F(IndexNowTest, ADamagedStateSendsEverythingAndIsWrittenAnew)
{
    const std::string path = root() + "/p.indexnow";
    FileStamp stamp;
    stamp.known = true;
    stamp.size = 12;
    stamp.modified = 1700000000123456789;
    ASSERT_TRUE(IndexNowState::remember(path, {{"https://www.example.de/a.htm", stamp}}));
    IndexNowState state;
    ASSERT_TRUE(state.load(path));
    EXPECT_FALSE(state.changed("https://www.example.de/a.htm", stamp));
    EXPECT_TRUE(state.changed("https://www.example.de/b.htm", stamp));
    EXPECT_TRUE(state.changed("https://www.example.de/a.htm", FileStamp{}));
    const std::string good = readFile(path);
    EXPECT_EQ(good, "Vantor!! IndexNow 1\n12\t1700000000123456789\thttps://www.example.de/a.htm\n");

    for (const std::string &damaged : {std::string(), std::string("\x00\x01garbage", 9), good.substr(0, good.size() - 5),
                                      good + "zwölf\t1\thttps://www.example.de/c.htm\n",
                                      good + "12\t1\n", "Vantor!! IndexNow 2\n" + good.substr(good.find('\n') + 1)}) {
        writeFile(path, damaged);
        EXPECT_FALSE(state.load(path));
        EXPECT_TRUE(state.damaged());
        EXPECT_EQ(state.size(), 0u);
        EXPECT_TRUE(state.changed("https://www.example.de/a.htm", stamp));
        ASSERT_TRUE(IndexNowState::remember(path, {}));
        EXPECT_TRUE(state.load(path));
        EXPECT_EQ(readFile(path), "Vantor!! IndexNow 1\n");
    }

    // Remembering adds to what is there.
    ASSERT_TRUE(IndexNowState::remember(path, {{"https://www.example.de/a.htm", stamp}}));
    ASSERT_TRUE(IndexNowState::remember(path, {{"https://www.example.de/b.htm", stamp}}));
    ASSERT_TRUE(state.load(path));
    EXPECT_EQ(state.size(), 2u);
}

TEST_F(IndexNowTest, AnEndpointThatIsNotThereIsAnOutcomeToo)
{
    // A port of ours that nobody listens on.
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const int port = ntohs(address.sin_port);
    const auto nowhere = indexnow::parseEndpoint("http://127.0.0.1:" + std::to_string(port) + "/indexnow");
    ASSERT_TRUE(nowhere);
    const indexnow::Outcome outcome =
        indexnow::send(*m_session, site(), {*nowhere, documents("https://www.example.de/", 1)}, ui);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_FALSE(outcome.accepted);
    EXPECT_TRUE(outcome.stopsEndpoint);
    EXPECT_EQ(toUtf8(outcome.text).rfind("Verbindung fehlgeschlagen: ", 0), 0u);
    ::close(socket);
}

} // namespace
