#include "DemoServer.h"
#include "ResultPages.h"

#include "net/DataFile.h"
#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "position/PositionCheck.h"
#include "position/ResultPage.h"
#include "project/ProgramSettings.h"
#include "platform/Text.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vantor::demo::DemoServer;
using vantor::demo::ResultPages;

namespace {

const std::string kDomain = "www.gaertnerei-sonnenblume.example";
// The page buffer of the position check.
constexpr std::size_t kPageBuffer = 90000;

// One P.n entry of position_d.dat, read the way the program reads it.
struct EngineDef {
    std::string name, prefix, server, verb, request, marker, startAfter, stopAfter, mark1, mark2;
    int perPage = 0;
    std::vector<std::string> paths; // still with "suchbegriff"
    std::string host;
    int port = 80;
};

std::optional<EngineDef> parseEngine(const std::string &value)
{
    std::array<std::array<char, 2048>, 10> f {};
    const int fields = std::sscanf(value.c_str(),
        "%2047[^|]|%2047[^|]|%2047[^|]|%2047[^|]|%2047[^|]|%2047[^|]|%2047[^|]|%2047[^|]|"
        "%2047[^|]|%2047s",
        f[0].data(), f[1].data(), f[2].data(), f[3].data(), f[4].data(), f[5].data(), f[6].data(), f[7].data(),
        f[8].data(), f[9].data());
    if (fields != 10)
        return std::nullopt;
    EngineDef def;
    std::string *const targets[] = { &def.name, &def.prefix, &def.server, &def.verb, &def.request, &def.marker,
        &def.startAfter, &def.stopAfter, &def.mark1, &def.mark2 };
    for (std::size_t i = 0; i < f.size(); ++i)
        *targets[i] = f[i].data();
    if (def.marker.ends_with('~'))
        def.marker.pop_back();
    std::array<std::array<char, 2048>, 11> p {};
    const int parts = std::sscanf(def.request.c_str(),
        "%2047[^^]^%2047[^^]^%2047[^^]^%2047[^^]^%2047[^^]^%2047[^^]^%2047[^^]^%2047[^^]^"
        "%2047[^^]^%2047[^^]^%2047s",
        p[0].data(), p[1].data(), p[2].data(), p[3].data(), p[4].data(), p[5].data(), p[6].data(), p[7].data(),
        p[8].data(), p[9].data(), p[10].data());
    if (parts < 2)
        return std::nullopt;
    def.perPage = std::atoi(p[0].data());
    for (int i = 1; i < parts; ++i)
        def.paths.emplace_back(p[static_cast<std::size_t>(i)].data());
    const std::size_t colon = def.server.find(':');
    def.host = def.server.substr(0, colon);
    if (colon != std::string::npos)
        def.port = std::atoi(def.server.c_str() + colon + 1);
    return def;
}

// The term in the request path: percent-encoded bytes, a blank as '+'.
std::string encodeTerm(const std::string &bytes)
{
    static const char *const kHex = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_') {
            out += c;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string withTerm(std::string path, const std::string &encoded)
{
    const std::string word = "suchbegriff";
    for (std::size_t at = path.find(word); at != std::string::npos; at = path.find(word, at + encoded.size()))
        path.replace(at, word.size(), encoded);
    return path;
}

// An HTTP/1.0 GET as the position check sends it; the body, or nothing
// when no connection came about.
std::optional<std::string> fetch(const std::string &host, int port, const std::string &path)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1
        || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    const std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return std::nullopt;
    }
    std::string answer;
    for (;;) {
        pollfd watched { fd, POLLIN, 0 };
        if (::poll(&watched, 1, 5000) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    const std::size_t head = answer.find("\r\n\r\n");
    return head == std::string::npos ? std::string() : answer.substr(head + 4);
}

// How often a text stands in a part of a page.
int occurrences(const std::string &text, const std::string &what, std::size_t from, std::size_t to)
{
    int n = 0;
    for (std::size_t at = text.find(what, from); at != std::string::npos && at < to; at = text.find(what, at + 1))
        ++n;
    return n;
}

class DemoServerPositionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("vantor-position-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        vantor::programSettings().accessType = vantor::ProgramSettings::kAccessDirect;
        m_server = std::make_unique<DemoServer>(m_root);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        const auto served = get("/download/vantor/position_d.dat");
        ASSERT_TRUE(served);
        ASSERT_EQ(served->status, 200);
        ASSERT_TRUE(vantor::DataFile::unpack(served->body, m_file));
        std::string value;
        for (int n = 1; vantor::DataFile::value(m_file, "P", std::to_string(n), value); ++n) {
            const auto def = parseEngine(value);
            ASSERT_TRUE(def) << "P." << n << ": " << value;
            m_engines.push_back(*def);
        }
        ASSERT_EQ(m_engines.size(), 4u);
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_root);
    }

    httplib::Result get(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        client.set_read_timeout(3);
        return client.Get(path.c_str());
    }

    const EngineDef &engine(const std::string &name) const
    {
        for (const EngineDef &def : m_engines)
            if (def.name == vantor::toCp1252(name))
                return def;
        ADD_FAILURE() << "keine Maschine " << name;
        return m_engines.front();
    }

    // Page of an engine for a term (UTF-8) as the server sends it, with the
    // term encoded as the program does: cp1252.
    std::string body(const EngineDef &def, const std::string &term, std::size_t page)
    {
        const auto answer = fetch(def.host, def.port, withTerm(def.paths.at(page), encodeTerm(vantor::toCp1252(term))));
        EXPECT_TRUE(answer) << def.name << " " << page;
        return answer.value_or("");
    }

    // The engine as the program reads it.
    static vantor::PositionEngine programEngine(const EngineDef &def)
    {
        vantor::PositionEngine e;
        e.name = def.name;
        e.linkPrefix = def.prefix;
        e.server = def.server;
        e.verb = def.verb;
        e.request = def.request;
        e.resultMarker = def.marker;
        e.startAfter = def.startAfter;
        e.stopAfter = def.stopAfter;
        e.mark1 = def.mark1;
        e.mark2 = def.mark2;
        return e;
    }

    // What the position check shows behind the engine's name: the
    // program's own check against this server.
    std::string outcome(const EngineDef &def, const std::string &term, const std::string &domain = kDomain)
    {
        const vantor::PositionEngine engine = programEngine(def);
        const std::vector<std::string> domains = {domain};
        vantor::PositionCheck check;
        check.engine = &engine;
        check.term = vantor::toCp1252(term);
        check.domains = &domains;
        const vantor::HttpSession session(vantor::httpget::searchEngineAgent());
        const vantor::PositionOutcome result = check.run(session);
        if (result == vantor::PositionOutcome::Found || result == vantor::PositionOutcome::NotInTop)
            return vantor::positionoutcome::text(result, check.count, def.name);
        return vantor::toUtf8(vantor::positionoutcome::failureText(result));
    }

    fs::path m_root;
    std::unique_ptr<DemoServer> m_server;
    int m_port = 0;
    std::string m_file;
    std::vector<EngineDef> m_engines;
};

const char *const kEngineNames[] = { "Suchfix", "Findling", "Spürnase" };

// The table of position_d.txt and the README.
const std::map<std::string, std::array<std::string, 3>> kTable = {
    { "gärtnerei", { "Position 7", "Position 24", "Nicht unter Top 30" } },
    { "gärtnerei lindenfeld", { "Position 1", "Position 13", "Position 2" } },
    { "stauden", { "Nicht unter Top 30", "Nicht unter Top 40", "Nicht unter Top 30" } },
    { "staudengärtnerei", { "Position 3", "Position 5", "Position 11" } },
    { "kräuter", { "Position 28", "Nicht unter Top 40", "Position 19" } },
    { "küchenkräuter", { "Position 4", "Position 2", "Position 6" } },
    { "obstbäume", { "Antwort nicht bekannt", "Antwort nicht bekannt", "Antwort nicht bekannt" } },
    { "beerensträucher", { "Position 15", "Position 38", "Position 30" } },
    { "obstgehölze", { "Position 10", "Position 21", "Position 1" } },
};

} // namespace

TEST_F(DemoServerPositionTest, PositionFileNamesTheEnginesOnThisServersPort)
{
    const std::string own = "127.0.0.1:" + std::to_string(m_port);
    EXPECT_EQ(m_file.find(DemoServer::kDefaultAddress), std::string::npos);
    for (const char *name : kEngineNames) {
        const EngineDef &def = engine(name);
        EXPECT_EQ(def.server, own) << name;
        EXPECT_EQ(def.prefix, own) << name;
        EXPECT_EQ(def.verb, "GET");
        EXPECT_EQ(def.request.find(DemoServer::kDefaultAddress), std::string::npos);
    }
    EXPECT_EQ(engine("Findling").marker, "</div> ");
    EXPECT_EQ(engine("Spürnase").stopAfter, "NULL");
    EXPECT_EQ(engine("Funkstille").server, "127.0.0.1:9");

    // As built, before the server put its port in.
    std::string built;
    ASSERT_TRUE(vantor::DataFile::load((vantor::demo::builtDataDirectory() / "position_d.dat").string(), built));
    std::string value;
    ASSERT_TRUE(vantor::DataFile::value(built, "P", "1", value));
    EXPECT_TRUE(value.starts_with("Suchfix|127.0.0.1:8080|127.0.0.1:8080|GET|")) << value;
    ASSERT_TRUE(vantor::DataFile::value(built, "SYSTEM", "systemactive", value));
    EXPECT_EQ(value, "1");
    ASSERT_TRUE(vantor::DataFile::value(built, "SYSTEM", "requiredversion", value));
    EXPECT_EQ(value, "4.01");
}

TEST_F(DemoServerPositionTest, SampleSiteStandsWhereTheTableSays)
{
    for (const auto &[term, expected] : kTable) {
        for (std::size_t e = 0; e < 3; ++e) {
            const EngineDef &def = engine(kEngineNames[e]);
            EXPECT_EQ(outcome(def, term), expected[e]) << kEngineNames[e] << ", " << term;
            // The user may leave out the "www.".
            EXPECT_EQ(outcome(def, term, "gaertnerei-sonnenblume.example"), expected[e])
                << kEngineNames[e] << ", " << term;
        }
    }
}

TEST_F(DemoServerPositionTest, SiteOfTheOutsideTermIsOnEveryPageButInNoCountedEntry)
{
    for (const char *name : kEngineNames) {
        const EngineDef &def = engine(name);
        for (std::size_t page = 0; page < def.paths.size(); ++page) {
            const std::string text = body(def, "obstbäume", page);
            EXPECT_NE(text.find(kDomain), std::string::npos) << name << " " << page;
            const vantor::PositionEngine engine = programEngine(def);
            vantor::ResultPage read(engine, {kDomain});
            read.feed(text);
            read.finish();
            EXPECT_EQ(read.scan(0).kind, vantor::ResultPage::Scan::Kind::Passed) << name << " " << page;
        }
    }
}

TEST_F(DemoServerPositionTest, OtherTermsGetTheirPlaceFromTheirHash)
{
    const ResultPages::Engine kinds[]
        = { ResultPages::Engine::Suchfix, ResultPages::Engine::Findling, ResultPages::Engine::Spuernase };
    const char *const terms[] = { "bauerngarten", "stauden kaufen", "kräuter kaufen", "rosen", "steingarten",
        "balkonpflanzen", "heckenpflanzen", "obst" };
    int found = 0;
    int missing = 0;
    for (std::size_t e = 0; e < 3; ++e) {
        const EngineDef &def = engine(kEngineNames[e]);
        for (const char *term : terms) {
            const int placed = ResultPages::placement(kinds[e], term);
            ASSERT_GE(placed, 0);
            const std::string expected = placed == 0
                ? "Nicht unter Top " + std::to_string(static_cast<int>(def.paths.size()) * def.perPage)
                : "Position " + std::to_string(placed);
            EXPECT_EQ(outcome(def, term), expected) << kEngineNames[e] << ", " << term;
            ++(placed == 0 ? missing : found);
        }
    }
    // Both kinds of answer turn up among a handful of terms.
    EXPECT_GT(found, 0);
    EXPECT_GT(missing, 0);
}

TEST_F(DemoServerPositionTest, TermIsUnderstoodInCp1252AndUtf8AndAnyCase)
{
    const EngineDef &def = engine("Findling");
    const std::string path = def.paths.at(0);
    const auto cp1252 = fetch(def.host, def.port, withTerm(path, "K%FCchenkr%E4uter"));
    const auto utf8 = fetch(def.host, def.port, withTerm(path, "k%C3%BCchenkr%C3%A4uter"));
    ASSERT_TRUE(cp1252 && utf8);
    EXPECT_EQ(*cp1252, *utf8);
    EXPECT_EQ(outcome(def, "Küchenkräuter"), "Position 2");
    const auto phrase = fetch(def.host, def.port, withTerm(path, "g%E4rtnerei++Lindenfeld+"));
    ASSERT_TRUE(phrase);
    EXPECT_EQ(*phrase, body(def, "gärtnerei lindenfeld", 0));
}

TEST_F(DemoServerPositionTest, PagesFitTheBufferAndHoldTheirResultsBeforeStopAfter)
{
    std::vector<std::string> terms;
    for (const auto &entry : kTable)
        terms.push_back(entry.first);
    terms.push_back("bauerngarten");
    for (const char *name : kEngineNames) {
        const EngineDef &def = engine(name);
        for (const std::string &term : terms) {
            for (std::size_t page = 0; page < def.paths.size(); ++page) {
                const std::string whole = body(def, term, page);
                const std::string where = std::string(name) + ", " + term + ", " + std::to_string(page);
                // Far enough below the buffer that the domains the program
                // appends always fit.
                EXPECT_LT(whole.size(), kPageBuffer - 10000) << where;
                // Nothing after the first chunk with it is read.
                EXPECT_EQ(whole.find("NULL"), std::string::npos) << where;
                const std::size_t start = whole.find(def.startAfter);
                ASSERT_NE(start, std::string::npos) << where;
                const std::size_t lastMarker = whole.rfind(def.marker);
                if (def.stopAfter != "NULL") {
                    const std::size_t stop = whole.find(def.stopAfter);
                    ASSERT_NE(stop, std::string::npos) << where;
                    EXPECT_GT(stop, start) << where;
                    EXPECT_GT(stop, lastMarker) << where;
                }
                // A full page of results, each with its MARK2 once.
                const std::size_t end = def.stopAfter != "NULL" ? whole.find(def.stopAfter) : whole.size();
                EXPECT_EQ(occurrences(whole, def.mark2, start, end), def.perPage) << where;
            }
        }
    }
}

TEST_F(DemoServerPositionTest, SilentEngineAnswersNothing)
{
    EXPECT_EQ(outcome(engine("Funkstille"), "gärtnerei"), "Timeout (Keine Antwort vom Server)");
}
