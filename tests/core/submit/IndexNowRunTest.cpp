#include "TestEnvironment.h"

#include "DemoServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "submit/IndexNowKey.h"
#include "submit/IndexNowRun.h"
#include "submit/SubmitRun.h"

#include <filesystem>
#include <fstream>
#include <memory>

using namespace vantor;
namespace fs = std::filesystem;

namespace {

class LinesView : public NullSubmitView
{
public:
    void slotTitle(int slot, const std::string &text) override { titles[slot] = text; }
    void lineAdded(int slot, const std::string &text, int) override { lines[slot].push_back(text); }
    void outcomeTextShown(int slot, const std::string &document, const std::string &text, int image) override
    {
        outcomes[slot].push_back(document + " > " + toUtf8(text) + " #" + std::to_string(image));
    }
    std::string titles[3];
    std::vector<std::string> lines[3];
    std::vector<std::string> outcomes[3];
};

// The demo server serves the site and its IndexNow endpoint; it is also the
// update server, so the dialog offers its endpoint.
class IndexNowRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        m_site = root() + "/site";
        fs::create_directories(m_site);
        std::ofstream(m_site + "/index.htm") << "<html><head><title>Start</title></head></html>";
        std::ofstream(m_site + "/!kopie.htm") << "<html></html>";
        fs::create_directories(root() + "/server");
        demo::DemoServer::Options options;
        options.site = m_site;
        m_server = std::make_unique<demo::DemoServer>(root() + "/server", options);
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        settingsStore().writeText("updateserver", host());
        writeProject("p", "[project]\r\n");
    }
    void TearDown() override
    {
        m_server.reset();
        CoreTest::TearDown();
    }
    std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }

    indexnowrun::Input input() const
    {
        indexnowrun::Input in;
        in.projectFile = projectPath("p");
        in.homepagePath = m_site + "/index.htm";
        in.submissionUrl = host();
        in.scheme = "http";
        in.targets = {"IndexNow: " + host()};
        return in;
    }

    std::string m_site;
    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = 0;
};

} // namespace

TEST_F(IndexNowRunTest, OffersTheSharedEndpointAndTheDemoServers)
{
    const std::vector<indexnowrun::Offered> offered = indexnowrun::offered();
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].target, "IndexNow: api.indexnow.org");
    EXPECT_EQ(offered[1].target, "IndexNow: " + host());
    EXPECT_EQ(offered[1].endpoint, "http://" + host() + "/indexnow");
    EXPECT_TRUE(indexnowrun::isTarget(offered[0].target));
    EXPECT_FALSE(indexnowrun::isTarget("Suchfix"));
}

TEST_F(IndexNowRunTest, SendsTheSiteWithItsKeyFileAndThenOnlyWhatChanged)
{
    LinesView view;
    std::vector<std::string> report;
    std::vector<std::string> advice;
    EXPECT_TRUE(indexnowrun::run(input(), ui, view, report, advice));
    const std::string key = indexnowkey::stored(projectPath("p"));
    ASSERT_EQ(key.size(), 32u);
    EXPECT_EQ(readFile(m_site + "/" + key + ".txt"), key);
    EXPECT_EQ(view.titles[0], "IndexNow: " + host());
    ASSERT_EQ(view.lines[0].size(), 3u); // the address itself, index.htm, !kopie.htm
    ASSERT_EQ(view.outcomes[0].size(), 3u);
    EXPECT_NE(view.outcomes[0][0].find(" #3"), std::string::npos) << view.outcomes[0][0];
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0].rfind("IndexNow: " + host() + ": 3 URLs > 20", 0), 0u) << toUtf8(report[0]);
    EXPECT_EQ(toUtf8(report[1]), "IndexNow: " + host() + ": Übermittlung erfolgreich abgeschlossen");
    EXPECT_TRUE(advice.empty());
    ASSERT_EQ(m_server->indexNow().received().size(), 1u);

    // Nothing changed: nothing goes out.
    report.clear();
    EXPECT_TRUE(indexnowrun::run(input(), ui, view, report, advice));
    EXPECT_EQ(m_server->indexNow().received().size(), 1u);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(toUtf8(report[0]), "IndexNow: " + host() + ": Keine geänderten Dokumente seit der letzten Übermittlung");
}

TEST_F(IndexNowRunTest, AMissingKeyFileOnTheServerEndsInAdvice)
{
    // The key file lies beside the homepage, but the server serves another
    // copy of the site that lacks it.
    indexnowrun::Input in = input();
    const std::string other = root() + "/lokal";
    fs::create_directories(other);
    std::ofstream(other + "/index.htm") << "<html></html>";
    in.homepagePath = other + "/index.htm";
    LinesView view;
    std::vector<std::string> report;
    std::vector<std::string> advice;
    EXPECT_FALSE(indexnowrun::run(in, ui, view, report, advice));
    ASSERT_FALSE(report.empty());
    EXPECT_NE(toUtf8(report.front()).find("> 403"), std::string::npos) << toUtf8(report.front());
    EXPECT_EQ(toUtf8(report.back()), "IndexNow: " + host() + ": Mind. 1 Anfrage wurde nicht angenommen");
    ASSERT_EQ(advice.size(), 1u);
    EXPECT_EQ(toUtf8(advice[0]).rfind("Laden Sie die Schlüsseldatei ", 0), 0u);
    EXPECT_NE(view.outcomes[0].front().find(" #1"), std::string::npos);
}
