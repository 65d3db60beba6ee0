#include "DefinitionText.h"
#include "DemoServer.h"

#include "net/DataFile.h"
#include "net/HttpSession.h"
#include "net/ServiceCheck.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "submit/SubmitAnswerReader.h"
#include "submit/SubmitTarget.h"
#include "ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <thread>

namespace fs = std::filesystem;
using vantor::DataFile;
using vantor::de;
using vantor::SubmitAnswer;
using vantor::SubmitTarget;
using vantor::demo::DefinitionText;
using vantor::demo::DemoServer;
namespace submittargets = vantor::submittargets;

namespace {

std::string packed(const std::string &name)
{
    std::string text;
    EXPECT_TRUE(DataFile::load((vantor::demo::builtDataDirectory() / name).string(), text)) << name;
    return text;
}

// What the program makes of an answer: the first line with a marker decides.
SubmitAnswer classify(const SubmitTarget &target, const std::string &page)
{
    std::optional<SubmitAnswer> verdict;
    std::size_t at = 0;
    while (!verdict && at < page.size()) {
        const std::size_t end = page.find('\n', at);
        const std::string line = page.substr(at, end == std::string::npos ? std::string::npos : end - at);
        verdict = target.classifyLine(line);
        at = end == std::string::npos ? page.size() : end + 1;
    }
    // The run reads the answer as it arrives; it has to come to the same.
    vantor::SubmitAnswerReader reader(target);
    const auto early = reader.feed(page);
    EXPECT_EQ(early ? *early : reader.finish(), verdict.value_or(SubmitAnswer::Unknown));
    return verdict.value_or(SubmitAnswer::Unknown);
}

class DemoServerSubmitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("vantor-demo-submit-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "root");
        fs::create_directories(m_dir / "site" / "unter");
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_dir);
    }

    void start(DemoServer::Options options = quick())
    {
        m_server = std::make_unique<DemoServer>(m_dir / "root", options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
    }

    // The slow engine need not make every test wait.
    static DemoServer::Options quick()
    {
        DemoServer::Options options;
        options.engines.slowAnswer = std::chrono::milliseconds(50);
        return options;
    }

    httplib::Result get(const std::string &path, int timeout = 3)
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(3);
        client.set_read_timeout(timeout);
        return client.Get(path.c_str());
    }

    // The texts the program would read after fetching them from this server.
    void fetchDefinitions()
    {
        for (const char *name : {"submit_d.dat", "submit_lists_d.dat"}) {
            auto answer = get(std::string("/download/vantor/") + name);
            ASSERT_TRUE(answer);
            ASSERT_EQ(answer->status, 200);
            std::string &text = std::string(name) == "submit_d.dat" ? m_submit : m_lists;
            ASSERT_TRUE(DataFile::unpack(answer->body, text)) << name;
        }
    }

    SubmitTarget target(const std::string &offered)
    {
        auto read = submittargets::readTarget(m_submit, m_lists, offered);
        EXPECT_TRUE(read) << offered;
        return read ? *read : SubmitTarget{};
    }

    // One document sent as the program sends it: the request built from the
    // definition, its verb, its referrer, no body.
    httplib::Result submit(const SubmitTarget &target, const std::string &documentUrl,
                           const std::string &email = "kunde@beispiel.de", int timeout = 3)
    {
        const auto server = target.parsedServer();
        EXPECT_TRUE(server);
        EXPECT_EQ(server->port, m_port);
        httplib::Client client(server->host, server->port);
        client.set_connection_timeout(3);
        client.set_read_timeout(timeout);
        client.set_url_encode(false);
        const std::string request = target.finishRequest(target.buildRequest(documentUrl, email));
        httplib::Headers headers;
        if (!target.referer.empty())
            headers.emplace("Referer", target.referer);
        const std::string verb = SubmitTarget::verbName(target.verbNumber());
        if (verb == "GET")
            return client.Get(request.c_str(), headers);
        EXPECT_EQ(verb, "POST");
        return client.Post(request.c_str(), headers, "", "application/x-www-form-urlencoded");
    }

    SubmitAnswer answer(const std::string &offered, const std::string &documentUrl)
    {
        const SubmitTarget engine = target(offered);
        auto result = submit(engine, documentUrl);
        if (!result) {
            ADD_FAILURE() << offered << ": no answer";
            return SubmitAnswer::Unknown;
        }
        EXPECT_EQ(result->status, 200) << offered;
        return classify(engine, result->body);
    }

    fs::path m_dir;
    std::unique_ptr<DemoServer> m_server;
    int m_port = 0;
    std::string m_submit;
    std::string m_lists;
};

const std::vector<std::string> &engineNames()
{
    static const std::vector<std::string> names = {
        "Suchfix",   "Findling", de("Spürnase"), "Netzlotse", "Sammelgut",
        "Stummfisch", "Umleiter", "Verschollen", "Schnecke",  "Funkstille",
    };
    return names;
}

} // namespace

TEST(DemoServerDefinitionsTest, PackedFilesOfferEveryEngineAndTheList)
{
    const std::string submit = packed("submit_d.dat");
    const std::string lists = packed("submit_lists_d.dat");
    const submittargets::Offered offered = submittargets::readOffered(submit, lists);
    std::vector<std::string> expected = engineNames();
    expected.push_back("Liste: Webkatalog (120)");
    EXPECT_EQ(offered.targets, expected);
    EXPECT_FALSE(offered.listWithoutSize);

    std::map<int, int> verbs;
    for (const std::string &name : offered.targets) {
        std::string missing;
        const auto target = submittargets::readTarget(submit, lists, name, &missing);
        ASSERT_TRUE(target) << name << " lacks " << missing;
        EXPECT_EQ(target->server, DemoServer::kDefaultAddress) << name;
        EXPECT_TRUE(target->parsedServer()) << name;
        EXPECT_EQ(target->http1.rfind("/engine/", 0), 0u) << name;
        // Both placeholders are in the request, so neither goes out as text.
        EXPECT_NE(target->http1.find(target->replaceUrl), std::string::npos) << name;
        if (!target->replaceEmail.empty()) {
            EXPECT_NE(target->http1.find(target->replaceEmail), std::string::npos) << name;
        }
        ++verbs[target->verbNumber()];
    }
    EXPECT_GT(verbs[0], 0);
    EXPECT_GT(verbs[1], 0);
    EXPECT_EQ(verbs.size(), 2u);
    EXPECT_EQ(submittargets::readTarget(submit, lists, de("Spürnase"))->convert, "1");
    EXPECT_TRUE(submittargets::readTarget(submit, lists, "Findling")->verb.empty());

    // What the submission checks before a run: no notice, service on, this
    // version good enough.
    std::string value;
    ASSERT_TRUE(DataFile::value(submit, "SYSTEM", "active", value));
    EXPECT_EQ(value, "0");
    ASSERT_TRUE(DataFile::value(submit, "SYSTEM", "showalways", value));
    EXPECT_EQ(value, "0");
    ASSERT_TRUE(DataFile::value(submit, "SYSTEM", "german", value));
    EXPECT_FALSE(value.empty());
    ASSERT_TRUE(DataFile::value(submit, "SYSTEM", "systemactive", value));
    EXPECT_EQ(value.find('0'), std::string::npos);
    ASSERT_TRUE(DataFile::value(submit, "SYSTEM", "requiredversion", value));
    float version = 0;
    ASSERT_TRUE(vantor::ServiceCheck::scanVersion(value, version));
    EXPECT_FALSE(version > vantor::ServiceCheck::kProgramVersion);
}

TEST(DemoServerDefinitionsTest, ReadableTextPacksAsTheProgramReadsIt)
{
    std::string text;
    DefinitionText::Problem problem;
    ASSERT_TRUE(DefinitionText::toDataText("# Kommentar\n\nA.B=Grüße \"x\" \r\nC.D=\nE.F=1=2", text, problem));
    EXPECT_EQ(text, "A.B=Gr\xfc\xdf" "e \"x\" \r\nC.D=\r\nE.F=1=2\r\n");
    std::string value;
    EXPECT_TRUE(DataFile::value(text, "E", "F", value));
    EXPECT_EQ(value, "1=2");

    const auto refused = [&](const std::string &readable) {
        text = "stale";
        if (DefinitionText::toDataText(readable, text, problem))
            return std::size_t{0};
        EXPECT_TRUE(text.empty());
        return problem.line;
    };
    EXPECT_EQ(refused("A.B=1\n# x\nohne Punkt=2\n"), 3u);
    EXPECT_EQ(refused("A.B=1\nA.B\n"), 2u);
    EXPECT_EQ(refused("A.B=1\n.B=2\n"), 2u);
    EXPECT_EQ(refused("A.B=ł\n"), 1u);
    EXPECT_EQ(refused("A.B=" + std::string(DataFile::kMaxEntry, 'x') + "\n"), 1u);
    // The lookup would always find the first of these, never the second.
    EXPECT_EQ(refused("A.KEY=1\nB.KEY=2\nA.KEY=3\n"), 3u);
    EXPECT_EQ(refused("XA.KEY=1\nA.KEY=2\n"), 2u);
    EXPECT_EQ(refused("A.KEY=1\nXA.KEY=2\n"), 0u);
}

TEST_F(DemoServerSubmitTest, ServedDefinitionsNameTheServersOwnPort)
{
    start();
    fetchDefinitions();
    const std::string own = "127.0.0.1:" + std::to_string(m_port);
    EXPECT_EQ(m_submit.find(DemoServer::kDefaultAddress), std::string::npos);
    EXPECT_EQ(m_lists.find(DemoServer::kDefaultAddress), std::string::npos);
    for (const std::string &name : submittargets::readOffered(m_submit, m_lists).targets)
        EXPECT_EQ(target(name).server, own) << name;
    EXPECT_EQ(target("Netzlotse").referer, "http://" + own + "/engine/netzlotse/formular.html");
    // Everything else is as packed.
    std::string shipped = packed("submit_d.dat");
    for (std::size_t at = shipped.find(DemoServer::kDefaultAddress); at != std::string::npos;
         at = shipped.find(DemoServer::kDefaultAddress, at + own.size()))
        shipped.replace(at, std::string(DemoServer::kDefaultAddress).size(), own);
    EXPECT_EQ(m_submit, shipped);
}

TEST_F(DemoServerSubmitTest, RootFilesComeFirstAndOnlyDataFilesAreRewritten)
{
    std::string stored;
    ASSERT_TRUE(DataFile::pack("G.1=Eigen\r\nEigen.SERVER=127.0.0.1:8080\r\n", stored));
    std::ofstream(m_dir / "root" / "submit_d.dat", std::ios::binary) << stored;
    const std::string broken = "keine Datendatei 127.0.0.1:8080";
    std::ofstream(m_dir / "root" / "kaputt.dat", std::ios::binary) << broken;
    start();

    auto own = get("/download/vantor/submit_d.dat");
    ASSERT_TRUE(own);
    std::string text;
    ASSERT_TRUE(DataFile::unpack(own->body, text));
    EXPECT_EQ(text, "G.1=Eigen\r\nEigen.SERVER=127.0.0.1:" + std::to_string(m_port) + "\r\n");
    auto asIs = get("/download/vantor/kaputt.dat");
    ASSERT_TRUE(asIs);
    EXPECT_EQ(asIs->body, broken);
    // The list still comes from the build.
    EXPECT_EQ(get("/download/vantor/submit_lists_d.dat")->status, 200);
}

TEST_F(DemoServerSubmitTest, EachEngineAnswersAsItsDefinitionSays)
{
    start();
    fetchDefinitions();
    const std::string page = "http://www.beispiel.de/produkte.htm";
    const std::string homepage = "http://www.beispiel.de/";
    const std::string noDot = "http://intranet/produkte.htm";

    EXPECT_EQ(answer("Suchfix", page), SubmitAnswer::Accepted);
    EXPECT_EQ(answer("Suchfix", homepage), SubmitAnswer::AlreadyListed);
    EXPECT_EQ(answer("Suchfix", "http://www.beispiel.de"), SubmitAnswer::AlreadyListed);
    EXPECT_EQ(answer("Suchfix", noDot), SubmitAnswer::Rejected);
    EXPECT_EQ(answer("Findling", homepage), SubmitAnswer::AlreadyListed);
    EXPECT_EQ(answer("Findling", page), SubmitAnswer::AlreadyListed);
    EXPECT_EQ(answer(de("Spürnase"), page), SubmitAnswer::Rejected);
    EXPECT_EQ(answer("Netzlotse", page), SubmitAnswer::Error);
    EXPECT_EQ(answer("Sammelgut", page), SubmitAnswer::Down);
    EXPECT_EQ(answer("Stummfisch", page), SubmitAnswer::Unknown);
    EXPECT_EQ(answer("Schnecke", page), SubmitAnswer::Accepted);
    EXPECT_EQ(answer("Liste: Webkatalog (120)", page), SubmitAnswer::Accepted);
    EXPECT_EQ(answer("Liste: Webkatalog (120)", noDot), SubmitAnswer::Rejected);

    // Findling says it in two ways, so both of its markers get used.
    const SubmitTarget findling = target("Findling");
    const std::string first = submit(findling, homepage)->body;
    const std::string second = submit(findling, page)->body;
    EXPECT_NE(first.find(findling.already), std::string::npos);
    EXPECT_EQ(first.find(findling.already2), std::string::npos);
    EXPECT_NE(second.find(findling.already2), std::string::npos);
    EXPECT_EQ(second.find(findling.already), std::string::npos);

    // Without the referrer of its form the engine turns the request away.
    SubmitTarget netzlotse = target("Netzlotse");
    netzlotse.referer.clear();
    EXPECT_EQ(classify(netzlotse, submit(netzlotse, page)->body), SubmitAnswer::Rejected);
}

TEST_F(DemoServerSubmitTest, RedirectAndMissingPageAreStatusesOnly)
{
    start();
    fetchDefinitions();
    auto moved = submit(target("Umleiter"), "http://www.beispiel.de/");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->status, 302);
    EXPECT_EQ(moved->get_header_value("Location"), "/engine/umleiter/umgezogen.html");
    auto gone = submit(target("Verschollen"), "http://www.beispiel.de/");
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->status, 404);
    // Both were asked all the same.
    EXPECT_EQ(m_server->engines().received().size(), 2u);

    // An engine takes its verb only; a GET to a POST engine finds nothing.
    EXPECT_EQ(get("/engine/findling/anmelden.cgi?adresse=x")->status, 404);
    EXPECT_EQ(m_server->engines().received().size(), 2u);
}

TEST_F(DemoServerSubmitTest, AwkwardDocumentNamesArriveIntact)
{
    start();
    fetchDefinitions();
    const std::string document = de("http://www.beispiel.de/mein Ordner/a&b#c+d ü%20.htm");
    const std::string email = "kunde+test@beispiel.de";
    const std::vector<std::string> targets = {"Suchfix",   "Findling",   de("Spürnase"), "Netzlotse",
                                              "Sammelgut", "Stummfisch", "Umleiter",     "Verschollen",
                                              "Schnecke",  "Liste: Webkatalog (120)"};
    for (const std::string &name : targets) {
        auto answer = submit(target(name), document, email);
        ASSERT_TRUE(answer) << name;
        if (answer->status == 200 && name != "Sammelgut") {
            EXPECT_NE(answer->body.find(de("mein Ordner/a&amp;b#c+d ü%20.htm")), std::string::npos) << name;
        }
    }
    const auto received = m_server->engines().received();
    ASSERT_EQ(received.size(), targets.size());
    for (const auto &entry : received) {
        EXPECT_EQ(entry.url, vantor::toUtf8(document)) << entry.engine;
        EXPECT_EQ(entry.email, entry.engine == "stummfisch" ? "" : email) << entry.engine;
    }
    EXPECT_EQ(received.front().engine, "suchfix");
    EXPECT_EQ(received.back().engine, "webkatalog");

    auto log = get("/engine/received");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->body.substr(0, log->body.find('\n') + 1),
              "suchfix\thttp://www.beispiel.de/mein Ordner/a&b#c+d ü%20.htm\tkunde+test@beispiel.de\n");
}

TEST_F(DemoServerSubmitTest, TheProgramsOwnClientGetsTheSameAnswers)
{
    // The session reads its time-outs from the settings: a store of our own.
    ::setenv("VANTOR_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    vantor::programSettings().accessType = vantor::ProgramSettings::kAccessDirect;
    start();
    fetchDefinitions();
    const std::string document = de("http://www.beispiel.de/Über uns/a&b#c+d.htm");
    const std::map<std::string, std::pair<long, SubmitAnswer>> expected = {
        {"Suchfix", {200, SubmitAnswer::Accepted}},
        {"Findling", {200, SubmitAnswer::AlreadyListed}},
        {de("Spürnase"), {200, SubmitAnswer::Rejected}},
        {"Netzlotse", {200, SubmitAnswer::Error}},
        {"Sammelgut", {200, SubmitAnswer::Down}},
        {"Stummfisch", {200, SubmitAnswer::Unknown}},
        {"Umleiter", {302, SubmitAnswer::Unknown}},
        {"Verschollen", {404, SubmitAnswer::Unknown}},
        {"Schnecke", {200, SubmitAnswer::Accepted}},
        {"Liste: Webkatalog (120)", {200, SubmitAnswer::Accepted}},
    };
    const vantor::HttpSession session("Vantor!! 4.01");
    vantor::ScriptedUi ui;
    for (const auto &[name, outcome] : expected) {
        const SubmitTarget engine = target(name);
        vantor::HttpTarget where;
        where.server = engine.parsedServer()->host;
        where.port = engine.parsedServer()->port;
        vantor::HttpRequest request;
        request.verb = SubmitTarget::verbName(engine.verbNumber());
        request.object = engine.finishRequest(engine.buildRequest(document, "kunde@beispiel.de"));
        request.referrer = engine.referer;
        const vantor::HttpReply reply = session.send(where, request, vantor::HttpSession::kDownloadLimit, ui);
        EXPECT_EQ(reply.status, outcome.first) << name;
        if (reply.status == 200) {
            EXPECT_EQ(classify(engine, reply.body), outcome.second) << name;
        }
    }
    const auto received = m_server->engines().received();
    ASSERT_EQ(received.size(), expected.size());
    for (const auto &entry : received)
        EXPECT_EQ(entry.url, vantor::toUtf8(document)) << entry.engine;
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DemoServerSubmitTest, SilentEngineOutlastsTheClientButNotTheServer)
{
    // So long that a server which sat the silence out would hang the test.
    DemoServer::Options options = quick();
    options.engines.silence = std::chrono::minutes(10);
    start(options);
    fetchDefinitions();
    const SubmitTarget silent = target("Funkstille");
    EXPECT_FALSE(submit(silent, "http://www.beispiel.de/", "kunde@beispiel.de", 1));

    // A request still waiting when the server goes down is let go, at most
    // with a refusal, never with the engine's acceptance.
    int lateStatus = 0;
    std::string lateBody;
    std::thread waiting([&] {
        if (auto late = submit(silent, "http://www.beispiel.de/zwei.htm", "kunde@beispiel.de", 60)) {
            lateStatus = late->status;
            lateBody = late->body;
        }
    });
    for (int i = 0; i < 300 && m_server->engines().received().size() < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(m_server->engines().received().size(), 2u);
    m_server.reset();
    waiting.join();
    EXPECT_NE(lateStatus, 200);
    EXPECT_EQ(classify(silent, lateBody), SubmitAnswer::Unknown);
}

TEST_F(DemoServerSubmitTest, SlowEngineAnswersOnlyAfterItsPause)
{
    DemoServer::Options options;
    options.engines.slowAnswer = std::chrono::milliseconds(2500);
    start(options);
    fetchDefinitions();
    const SubmitTarget slow = target("Schnecke");
    EXPECT_FALSE(submit(slow, "http://www.beispiel.de/", "kunde@beispiel.de", 1));
}

TEST_F(DemoServerSubmitTest, SiteIsServedWithoutLeavingItsDirectory)
{
    const fs::path site = m_dir / "site";
    std::ofstream(site / "index.htm") << "<html>Startseite</html>";
    std::ofstream(site / "unter" / "index.html") << "<html>Unterseite</html>";
    std::ofstream(site / "Preise und Angebote.htm") << "<html>Preise</html>";
    std::ofstream(site / "stil.CSS") << "body{}";
    std::ofstream(site / "daten.bin") << "bytes";
    std::ofstream(m_dir / "geheim.txt") << "geheim";
    fs::create_symlink(m_dir / "geheim.txt", site / "raus.htm");
    fs::create_symlink(m_dir, site / "oben");
    fs::create_symlink("index.htm", site / "start.htm");
    std::ofstream(m_dir / "root" / "version.txt") << "4.10 0\r\n";
    DemoServer::Options options = quick();
    options.site = site;
    start(options);

    const auto body = [&](const std::string &path) {
        auto answer = get(path);
        return answer ? std::to_string(answer->status) + " " + answer->body : std::string("no answer");
    };
    EXPECT_EQ(body("/"), "200 <html>Startseite</html>");
    EXPECT_EQ(get("/")->get_header_value("Content-Type"), "text/html");
    EXPECT_EQ(body("/unter/"), "200 <html>Unterseite</html>");
    EXPECT_EQ(body("/unter"), "200 <html>Unterseite</html>");
    EXPECT_EQ(body("/Preise%20und%20Angebote.htm"), "200 <html>Preise</html>");
    EXPECT_EQ(body("/start.htm"), "200 <html>Startseite</html>");
    EXPECT_EQ(get("/stil.CSS")->get_header_value("Content-Type"), "text/css");
    EXPECT_EQ(get("/daten.bin")->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(get("/fehlt.htm")->status, 404);

    for (const std::string path : {"/raus.htm", "/oben/geheim.txt", "/../geheim.txt", "/%2e%2e/geheim.txt",
                                   "/unter/../../geheim.txt", "/unter/%2E%2E%2F%2E%2E%2Fgeheim.txt", "/oben/"}) {
        auto answer = get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 404) << path;
        EXPECT_EQ(answer->body.find("geheim"), std::string::npos) << path;
    }
    // The maker's server and the engines keep their own pages.
    EXPECT_EQ(body("/download/vantor/version.txt"), "200 4.10 0\r\n");
    EXPECT_EQ(get("/engine/received")->status, 200);
}

TEST_F(DemoServerSubmitTest, WithoutSiteOnlyTheRootHasAPage)
{
    start();
    auto root = get("/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->status, 200);
    EXPECT_NE(root->body.find("--site"), std::string::npos);
    EXPECT_EQ(get("/index.htm")->status, 404);
}
