#include "TestEnvironment.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "net/RawServer.h"
#include "platform/SettingsStore.h"
#include "position/PositionCheck.h"
#include "position/ResultPage.h"
#include "project/ProgramSettings.h"

using namespace vantor;
using vantor::testing::RawServer;

namespace {

// Result pages no engine should send: a hundred megabytes, no markers at
// all, markers cut by the reading, a page without end. Each check ends with
// an outcome, reads no more than its buffer and waits no longer than the
// time-outs.
class PositionHostileTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        settingsStore().writeNumber("receivetimeout", 1);
        settingsStore().writeNumber("transfertimeout", 2);
    }

    PositionOutcome check(const RawServer &server, const std::string &stopAfter = "</ol>")
    {
        m_engine.name = "Wirr";
        m_engine.server = "127.0.0.1:" + std::to_string(server.port());
        m_engine.verb = "GET";
        m_engine.request = "10^/a?q=suchbegriff^/b?q=suchbegriff";
        m_engine.resultMarker = "</li>";
        m_engine.startAfter = "<ol>";
        m_engine.stopAfter = stopAfter;
        m_engine.mark1 = "<li>";
        m_engine.mark2 = "<a";
        PositionCheck c;
        c.engine = &m_engine;
        c.term = "stauden";
        c.domains = &m_domains;
        const HttpSession session(httpget::searchEngineAgent());
        const PositionOutcome outcome = c.run(session);
        m_count = c.count;
        return outcome;
    }

    static std::string head() { return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"; }

    PositionEngine m_engine;
    std::vector<std::string> m_domains = {"www.site.de"};
    int m_count = 0;
};

void pour(RawServer &server, int fd, const std::string &block, long long total)
{
    for (long long sent = 0; sent < total && !server.stopping(); sent += static_cast<long long>(block.size()))
        if (!server.sendAll(fd, block))
            return;
}

} // namespace

TEST_F(PositionHostileTest, AHundredMegabytesAreNotRead)
{
    RawServer huge([](RawServer &s, int fd, const std::string &) {
        if (s.sendAll(fd, head() + "<ol>\r\n<li><a href=\"http://andere.de\">x</a></li>\r\n"))
            pour(s, fd, std::string(65536, 'x'), 100LL * 1024 * 1024);
    });
    EXPECT_EQ(check(huge, "NULL"), PositionOutcome::NotInTop);
    EXPECT_EQ(m_count, 20);
    ASSERT_TRUE(huge.waitIdle());
    // Both pages were cut at the buffer; what got out is what the socket
    // buffers took besides.
    EXPECT_EQ(huge.heads().size(), 2u);
    EXPECT_LT(huge.written(), 20LL * 1024 * 1024);
}

TEST_F(PositionHostileTest, PagesWithoutMarkersOrWithMarkersCutInTwo)
{
    RawServer bare([](RawServer &s, int fd, const std::string &) {
        s.sendAll(fd, head() + "<p>Irgendwo steht www.site.de, aber ohne Liste.</p>");
    });
    EXPECT_EQ(check(bare), PositionOutcome::StartMissing);

    // The stop marker falls across the end of the first 4 KB piece and is
    // not seen: the page is read on, and the site behind it counts.
    RawServer split([](RawServer &s, int fd, const std::string &) {
        std::string page = "<ol>\r\n<li><a href=\"http://andere.de\">a</a></li>\r\n";
        page += std::string(ResultPage::kChunk - 2 - page.size(), ' ');
        page += "</ol>\r\n<ol>\r\n<li><a href=\"http://www.site.de\">s</a></li>\r\n</ol>\r\n";
        s.sendAll(fd, head() + page);
    });
    EXPECT_EQ(check(split), PositionOutcome::Found);
    EXPECT_EQ(m_count, 2);
}

TEST_F(PositionHostileTest, APageWithoutEndIsGivenUpAtTheTimeOut)
{
    // A byte now and then: never silent, never done. The transfer limit
    // ends it, and what came is scanned: the site is there, the list's end
    // never came.
    RawServer trickle([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, head() + "<ol>\r\n<li><a href=\"http://www.site.de\">s</a></li>\r\n"))
            return;
        while (!s.stopping() && s.sendAll(fd, " "))
            s.pause(100);
    });
    EXPECT_EQ(check(trickle), PositionOutcome::StopMissing);

    // Silent after the head: no byte of a page is no answer.
    RawServer silent([](RawServer &s, int fd, const std::string &) {
        if (s.sendAll(fd, "HTTP/1.0 200 OK\r\n"))
            s.pause(3000);
    });
    EXPECT_EQ(check(silent), PositionOutcome::NoAnswer);
}
