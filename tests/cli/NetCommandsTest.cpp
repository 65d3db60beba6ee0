#include "CliFixture.h"

#include "DemoServer.h"
#include "platform/Shell.h"

#include <memory>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// The demo server on 127.0.0.1 as the update server, reached directly.
class NetCommandsTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        fs::create_directories(m_dir / "server");
        m_server = std::make_unique<demo::DemoServer>(m_dir / "server");
        // A maintenance page that happens to read like a version file.
        m_server->server().Get("/wartung/download/vantor/version.txt",
                               [](const httplib::Request &, httplib::Response &response) {
                                   response.status = 500;
                                   response.set_content("4.02 0", "text/plain");
                               });
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        ASSERT_EQ(run({"settings", "set", "updateserver", "127.0.0.1:" + std::to_string(m_port)}), 0);
        ASSERT_EQ(run({"settings", "set", "accesstype", "1", "--number"}), 0);
    }
    void TearDown() override
    {
        m_server.reset();
        setShellOpener(nullptr);
        CliFixture::TearDown();
    }

    void publishVersion(const std::string &content) const
    {
        std::ofstream(m_dir / "server" / "version.txt", std::ios::binary) << content;
    }

    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = 0;
};

} // namespace

TEST_F(NetCommandsTest, VersionCheck)
{
    // httpinform is on by default; the command goes online without asking.
    publishVersion("4.01 0");
    EXPECT_EQ(run({"version-check"}), 0) << m_err.str();
    EXPECT_EQ(out(), "Keine neuere Version verfügbar\n");
    EXPECT_TRUE(told("Sie arbeiten mit der aktuellsten Version von Vantor!!"));
    EXPECT_FALSE(told("Internet-Verbindung herstellen"));

    publishVersion("4.10 1");
    EXPECT_EQ(run({"version-check"}), 0);
    EXPECT_EQ(out(), "Neuere Version verfügbar (kostenpflichtig)\n");

    publishVersion("neu");
    EXPECT_EQ(run({"version-check"}), 1);
    EXPECT_TRUE(told("Fehler aufgetreten"));

    for (const char *unreadable : {"nan 0", "inf 1", "4.1e1 0", "4 0"}) {
        SCOPED_TRACE(unreadable);
        publishVersion(unreadable);
        EXPECT_EQ(run({"version-check"}), 1);
        EXPECT_TRUE(told("Fehler aufgetreten"));
        EXPECT_EQ(out(), "");
    }

    publishVersion("4.01 0");
    ASSERT_EQ(run({"settings", "set", "updateserver", "127.0.0.1:" + std::to_string(m_port) + "/wartung"}), 0);
    EXPECT_EQ(run({"version-check"}), 1);
    EXPECT_TRUE(told("Fehler aufgetreten"));
    EXPECT_TRUE(told("Es ist ein Fehler beim Ermitteln der aktuellsten Version aufgetreten."));
    EXPECT_EQ(out(), "");

    ASSERT_EQ(run({"settings", "set", "updateserver", "127.0.0.1:1"}), 0);
    EXPECT_EQ(run({"version-check"}), 1);
    EXPECT_TRUE(told("Fehler beim Verbindungsaufbau"));
    EXPECT_EQ(out(), "");

    EXPECT_EQ(run({"version-check", "jetzt"}), 2);
}

TEST_F(NetCommandsTest, FeedbackAndNewsletter)
{
    EXPECT_EQ(run({"feedback", "--email", "kunde@beispiel.de", "--message", "Schöne Grüße & #danke"}), 0)
        << m_err.str();
    EXPECT_EQ(out(), "Email versendet\n");
    // The log holds what the server decoded: the cp1252 bytes that were sent.
    const std::string log = slurp(m_server->supportLog());
    EXPECT_NE(log.find("text: kunde@beispiel.de: Sch\xf6ne Gr\xfc\xdf" "e & #danke\n"), std::string::npos) << log;

    EXPECT_EQ(run({"feedback", "--email", "kunde", "--message", "x"}), 1);
    EXPECT_TRUE(told("Daten nicht korrekt"));
    EXPECT_EQ(run({"feedback", "--email", "a@b"}), 2);
    EXPECT_EQ(run({"feedback", "--email", "a@b", "--message", "x", "--cc", "y"}), 2);

    std::vector<std::string> opened;
    setShellOpener([&](const std::string &target) {
        opened.push_back(target);
        return true;
    });
    const std::string url
        = "http://127.0.0.1:" + std::to_string(m_port) + "/cgi-bin/sitecastget.pl?emailsitecast=a.b@c.de&subscribe=subscribe";
    EXPECT_EQ(run({"newsletter", "a.b@c.de"}), 0);
    EXPECT_EQ(out(), url + "\n");
    EXPECT_EQ(opened, std::vector<std::string>{url});

    EXPECT_EQ(run({"newsletter", "a+b@c.de"}), 1);
    EXPECT_TRUE(told("Ungültige Zeichen"));
    EXPECT_EQ(out(), "");
    EXPECT_EQ(opened.size(), 1u);

    setShellOpener([](const std::string &) { return false; });
    EXPECT_EQ(run({"newsletter", "a@c.de"}), 1);
    EXPECT_TRUE(printed("emailsitecast=a@c.de"));
    EXPECT_TRUE(told("Nicht geöffnet, bitte von Hand öffnen: http://"));
    EXPECT_EQ(run({"newsletter"}), 2);
}
