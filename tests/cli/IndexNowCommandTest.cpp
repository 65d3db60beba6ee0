#include "CliFixture.h"

#include <httplib.h>

#include <chrono>
#include <deque>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// The current project's homepage in a small site of its own, and an
// IndexNow endpoint on 127.0.0.1 that answers the statuses it is given in
// turn (200 once they are used up).
class IndexNowCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_site = m_dir / "site";
        fs::create_directories(m_site / "unter");
        std::ofstream(m_site / "index.htm") << "<html><body>Start</body></html>";
        std::ofstream(m_site / "über uns.htm") << "<html></html>";
        std::ofstream(m_site / "unter" / "b.html") << "<html></html>";
        std::ofstream(m_site / "bild.png") << "png";
        m_server.Post("/indexnow", [this](const httplib::Request &request, httplib::Response &response) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bodies.push_back(request.body);
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
        ASSERT_EQ(run({"settings", "set", "accesstype", "1", "--number"}), 0);
        ASSERT_EQ(run({"project", "homepage", (m_site / "index.htm").string()}), 0) << m_err.str();
    }
    void TearDown() override
    {
        m_server.stop();
        m_thread.join();
        CliFixture::TearDown();
    }

    fs::path projects() const { return m_dir / "data" / "vantor" / "projects"; }
    std::string endpoint() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/indexnow"; }
    int indexnow(std::vector<std::string> more)
    {
        std::vector<std::string> args{"indexnow", "--endpoint", endpoint()};
        args.insert(args.end(), more.begin(), more.end());
        return run(args);
    }
    void answer(std::initializer_list<int> statuses)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.assign(statuses);
    }
    std::vector<std::string> bodies()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_bodies;
    }
    std::vector<std::string> outLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(m_out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The key of the first line, "IndexNow-Schlüssel: KEY".
    std::string printedKey() const
    {
        const std::vector<std::string> lines = outLines();
        const std::string label = "IndexNow-Schlüssel: ";
        if (lines.empty() || lines[0].rfind(label, 0) != 0)
            return {};
        return lines[0].substr(label.size());
    }
    std::string requestLine(std::size_t urls, const std::string &outcome) const
    {
        return endpoint() + ": " + std::to_string(urls) + " URLs > " + outcome;
    }

    fs::path m_site;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::deque<int> m_statuses;
    std::vector<std::string> m_bodies;
};

} // namespace

TEST_F(IndexNowCommandTest, SendsTheSiteAndTheKeyFileGoesBesideTheHomepage)
{
    ASSERT_EQ(indexnow({"--url", "www.example.de", "--mode", "complete"}), 0) << m_err.str() << m_out.str();
    const std::string key = printedKey();
    ASSERT_EQ(key.size(), 32u) << m_out.str();
    const std::vector<std::string> lines = outLines();
    ASSERT_EQ(lines.size(), 3u) << m_out.str();
    EXPECT_EQ(lines[1], "Schlüsseldatei: " + (m_site / (key + ".txt")).string()
                            + " (bitte mit der Site auf den Web-Server laden)");
    EXPECT_EQ(lines[2], requestLine(4, "200 URLs übermittelt"));
    EXPECT_EQ(slurp(m_site / (key + ".txt")), key);

    const std::vector<std::string> sent = bodies();
    ASSERT_EQ(sent.size(), 1u);
    const std::string &body = sent[0];
    EXPECT_EQ(body.rfind("{\"host\":\"www.example.de\",\"key\":\"" + key + "\",\"keyLocation\":\"https://www.example.de/"
                            + key + ".txt\",\"urlList\":[",
                        0),
              0u)
        << body;
    for (const char *url : {"\"https://www.example.de/\"", "\"https://www.example.de/index.htm\"",
                            "\"https://www.example.de/%C3%BCber%20uns.htm\"", "\"https://www.example.de/unter/b.html\""})
        EXPECT_NE(body.find(url), std::string::npos) << url;
    EXPECT_EQ(body.find("bild.png"), std::string::npos);

    // The key is the project's: the next run uses it again, and the file
    // that is there already stays.
    fs::last_write_time(m_site / "über uns.htm", fs::last_write_time(m_site / "über uns.htm") + std::chrono::seconds(5));
    ASSERT_EQ(indexnow({}), 0) << m_err.str();
    EXPECT_EQ(printedKey(), key);
    EXPECT_NE(slurp(projects() / "default.qx!").find("indexnowkey=" + key),
              std::string::npos);
}

TEST_F(IndexNowCommandTest, OnlyWhatChangedGoesOutUnlessAllDocumentsAreAsked)
{
    ASSERT_EQ(indexnow({"--url", "www.example.de", "--mode", "complete"}), 0) << m_err.str();
    ASSERT_EQ(bodies().size(), 1u);

    // Nothing changed: nothing sent, and that is no failure.
    ASSERT_EQ(indexnow({}), 0) << m_err.str();
    EXPECT_EQ(bodies().size(), 1u);
    EXPECT_TRUE(printed("Keine geänderten Dokumente seit der letzten Übermittlung"));

    std::ofstream(m_site / "unter" / "b.html") << "<html>mehr Text</html>";
    ASSERT_EQ(indexnow({}), 0) << m_err.str();
    ASSERT_EQ(bodies().size(), 2u);
    EXPECT_NE(bodies()[1].find("\"urlList\":[\"https://www.example.de/unter/b.html\"]"), std::string::npos)
        << bodies()[1];
    EXPECT_TRUE(printed(requestLine(1, "200 URLs übermittelt")));

    ASSERT_EQ(indexnow({"--all-documents"}), 0) << m_err.str();
    EXPECT_TRUE(printed(requestLine(4, "200 URLs übermittelt")));

    // A refused request is no reason to forget the file changed.
    std::ofstream(m_site / "index.htm") << "<html><body>Neu</body></html>";
    answer({403});
    EXPECT_EQ(indexnow({}), 1);
    EXPECT_TRUE(printed(requestLine(2, "403 Schlüssel ungültig (Schlüsseldatei nicht gefunden oder falscher Inhalt)")));
    answer({202});
    EXPECT_EQ(indexnow({}), 0);
    EXPECT_TRUE(printed(requestLine(2, "202 angenommen, Schlüssel wird geprüft")));
    EXPECT_EQ(indexnow({}), 0);
    EXPECT_EQ(bodies().size(), 5u);

    // A state file that is no longer ours: everything goes out again.
    std::ofstream(projects() / "default.indexnow") << "kaputt";
    EXPECT_EQ(indexnow({}), 0);
    EXPECT_TRUE(printed(requestLine(4, "200 URLs übermittelt")));
    EXPECT_EQ(indexnow({}), 0);
    EXPECT_EQ(bodies().size(), 6u);
}

TEST_F(IndexNowCommandTest, AKeyOfTheWrongLengthIsRefusedBeforeAnythingIsSent)
{
    for (const std::size_t length : {7u, 129u}) {
        EXPECT_EQ(indexnow({"--url", "www.example.de", "--key", std::string(length, 'a')}), 2);
        EXPECT_TRUE(told("Ungültiger IndexNow-Schlüssel"));
        EXPECT_FALSE(fs::exists(m_site / (std::string(length, 'a') + ".txt")));
    }
    EXPECT_EQ(indexnow({"--url", "www.example.de", "--key", "abcd_efgh"}), 2);
    EXPECT_TRUE(bodies().empty());

    // Eight characters are fine, and the key is kept for the next runs.
    ASSERT_EQ(indexnow({"--url", "www.example.de", "--key", "Ab-45678"}), 0) << m_err.str();
    EXPECT_EQ(printedKey(), "Ab-45678");
    EXPECT_EQ(slurp(m_site / "Ab-45678.txt"), "Ab-45678");
    EXPECT_NE(bodies().at(0).find("\"key\":\"Ab-45678\""), std::string::npos);
    ASSERT_EQ(indexnow({"--all-documents"}), 0) << m_err.str();
    EXPECT_EQ(printedKey(), "Ab-45678");
}

TEST_F(IndexNowCommandTest, AUsersFileOfTheKeysNameStaysAndNothingIsSent)
{
    std::ofstream(m_site / "Ab-45678.txt") << "Meine Einkaufsliste";
    EXPECT_EQ(indexnow({"--url", "www.example.de", "--key", "Ab-45678"}), 1);
    EXPECT_TRUE(told("Schlüsseldatei vorhanden"));
    EXPECT_EQ(slurp(m_site / "Ab-45678.txt"), "Meine Einkaufsliste");
    EXPECT_TRUE(bodies().empty());
}

TEST_F(IndexNowCommandTest, TheSchemeComesFromTheProjectAndTheStatusesDecideTheExit)
{
    ASSERT_EQ(indexnow({"--url", "www.example.de/shop", "--scheme", "http", "--mode", "start"}), 0) << m_err.str();
    const std::string key = printedKey();
    EXPECT_NE(bodies().at(0).find("\"keyLocation\":\"http://www.example.de/shop/" + key + ".txt\",\"urlList\":"
                                  "[\"http://www.example.de/shop\"]"),
              std::string::npos)
        << bodies()[0];

    // Kept: the next call without --scheme sends http:// again.
    answer({429, 200});
    EXPECT_EQ(indexnow({"--all-documents", "--endpoint", endpoint() + "?zwei"}), 1);
    EXPECT_TRUE(printed(requestLine(1, "429 zu viele Anfragen – später erneut versuchen")));
    EXPECT_TRUE(printed(endpoint() + "?zwei: 1 URLs > 200 URLs übermittelt"));
    EXPECT_NE(bodies().at(2).find("\"http://www.example.de/shop\""), std::string::npos);
}

TEST_F(IndexNowCommandTest, UsageErrorsAndRefusedAddresses)
{
    EXPECT_EQ(run({"indexnow", "--scheme", "ftp"}), 2);
    EXPECT_EQ(run({"indexnow", "--mode", "alles"}), 2);
    EXPECT_EQ(run({"indexnow", "--endpoint", "ftp://127.0.0.1/indexnow"}), 2);
    EXPECT_EQ(run({"indexnow", "--endpoint"}), 2);
    EXPECT_EQ(run({"indexnow", "--frei"}), 2);
    EXPECT_TRUE(told("vantor-cli indexnow [--url DOMAIN]"));

    EXPECT_EQ(indexnow({"--url", "nirgends"}), 1);
    EXPECT_TRUE(told("Domain Adresse"));
    EXPECT_EQ(indexnow({"--url", "https://www.example.de"}), 1);
    EXPECT_TRUE(told("ohne \"http://\" oder \"https://\""));
    EXPECT_TRUE(bodies().empty());
}
