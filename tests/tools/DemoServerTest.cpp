#include "DemoServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using vantor::demo::DemoServer;

namespace {

class DemoServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("vantor-demo-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        std::ofstream(m_root / "version.txt") << "4.10 0\r\n";
        std::ofstream(fs::temp_directory_path() / "vantor-demo-secret.txt") << "secret";
        m_server = std::make_unique<DemoServer>(m_root);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
    }
    void TearDown() override
    {
        m_server.reset();
        fs::remove_all(m_root);
        fs::remove(fs::temp_directory_path() / "vantor-demo-secret.txt");
    }

    httplib::Result get(const std::string &path)
    {
        httplib::Client client("127.0.0.1", m_port);
        return client.Get(path);
    }

    fs::path m_root;
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
    EXPECT_EQ(get("/download/vantor/..%2Fvantor-demo-secret.txt")->status, 404);
    EXPECT_EQ(get("/download/vantor/../vantor-demo-secret.txt")->status, 404);
}

TEST_F(DemoServerTest, SupportScriptLogsAndNewsletterConfirms)
{
    auto answer = get("/cgi-bin/support.pl?from=a%40b.de&subject=Vantor%204.01&text=Gr%C3%BC%C3%9Fe%20%26%20mehr");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, "OK");
    std::ifstream log(m_server->supportLog());
    const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "from: a@b.de\nsubject: Vantor 4.01\ntext: Grüße & mehr\n--\n");

    auto page = get("/cgi-bin/sitecastget.pl?emailsitecast=%3Cx%3E%40b.de&subscribe=subscribe");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("&lt;x&gt;@b.de"), std::string::npos);
    EXPECT_EQ(get("/sitecast/internetmarketingdoc.html")->status, 200);
}
