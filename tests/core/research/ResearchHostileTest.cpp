#include "TestEnvironment.h"

#include "net/RawServer.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "research/ResearchRun.h"

#include <atomic>

#include <sys/socket.h>

using namespace vantor;
using vantor::testing::RawServer;

namespace {

// Services that send what no service should: endless lines, broken UTF-8,
// answers without end, connections that break. A research against them
// ends, shows what it could read and never takes more than its share.
class ResearchHostileTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
        settingsStore().writeNumber("receivetimeout", 1);
    }

    // Only the first keyword source is on, at url.
    static std::string sourceAt(const std::string &url, bool utf8)
    {
        const std::string k = "KEYWORDS1.";
        return k + "active=1\r\n" + k + "keyword=XX\r\n" + k + "convert=0\r\n" + (utf8 ? k + "charset=utf-8\r\n" : "")
            + k + "http1=" + url + "?q=XX\r\n" + k + "resultsstart=<ul>\r\n" + k + "resultsend=</ul>\r\n" + k
            + "resultstart=<li>\r\n" + k + "resultend=</li>\r\n" + k + "delimiter=\r\n" + k
            + "abort=Keine Treffer\r\nKEYWORDS2.active=0\r\nTHESAURUS1.active=0\r\nTHESAURUS2.active=0\r\n";
    }

    ResearchRun::Result run(const std::string &url, bool utf8 = false)
    {
        ResearchView view;
        ResearchRun research(sourceAt(url, utf8), ui, view);
        const ResearchRun::Result result = research.run("urlaub", {}, ResearchMode::OneWord);
        rows = research.rows(ResearchList::Keywords);
        return result;
    }

    std::vector<std::string> rows;
};

std::string head(const std::string &extra = {})
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n" + extra + "\r\n";
}

// Terms are cleaned of digits; letters tell them apart.
std::string word(int n)
{
    return {static_cast<char>('a' + n % 26), static_cast<char>('a' + n / 26)};
}

bool connectionBoxShown(const ScriptedUi &ui)
{
    for (const auto &shown : ui.shown)
        if (shown.kind == "connectionError")
            return true;
    return false;
}

} // namespace

TEST_F(ResearchHostileTest, EndlessLinesAndBrokenUtf8AreReadPieceByPiece)
{
    // A megabyte without a line break, the terms inside it.
    std::string line = "<ul>";
    while (line.size() < 1024 * 1024)
        line += "<li>urlaub " + word(static_cast<int>(line.size() % 97)) + "</li>";
    line += "</ul>\r\n";
    RawServer longLine([&](RawServer &s, int fd, const std::string &) { s.sendAll(fd, head() + line); });
    EXPECT_EQ(run(longLine.url("/k")), ResearchRun::Result::Finished);
    // Cut into pieces, a term here and there is cut too; most come whole.
    EXPECT_GT(rows.size(), 90u);

    // Truncated sequences, stray continuation bytes, overlong forms and a
    // sequence cut by the end of the answer.
    const std::string broken = "<ul>\r\n<li>urlaub \xC3</li>\r\n<li>urlaub \x80\x80x</li>\r\n<li>urlaub \xC0\xAF</li>\r\n"
                               "<li>urlaub \xF0\x9F\x98\x80</li>\r\n<li>urlaub h\xC3\xBCtte</li>\r\n</ul>\r\n\xE2\x82";
    RawServer badUtf8([&](RawServer &s, int fd, const std::string &) { s.sendAll(fd, head() + broken); });
    EXPECT_EQ(run(badUtf8.url("/k"), true), ResearchRun::Result::Finished);
    ASSERT_FALSE(rows.empty());
    EXPECT_NE(std::find(rows.begin(), rows.end(), de("urlaub hütte")), rows.end());
    // Whatever came of the rest went through the one conversion; nothing
    // but cp1252 reaches the lists.
    for (const std::string &row : rows)
        EXPECT_EQ(toCp1252(toUtf8(row)), row);
}

TEST_F(ResearchHostileTest, AnswersWithoutEndStopAtTheirShare)
{
    // Fast and endless, no closing marker: read up to the cap, then the
    // research goes on with what it has.
    RawServer flood([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, head() + "<ul>\r\n"))
            return;
        for (int i = 0; !s.stopping(); ++i)
            if (!s.sendAll(fd, "<li>urlaub " + word(i % 50) + "</li>\r\n"))
                return;
    });
    EXPECT_EQ(run(flood.url("/k")), ResearchRun::Result::Finished);
    EXPECT_EQ(rows.size(), 50u);
    ASSERT_TRUE(flood.waitIdle());
    EXPECT_TRUE(flood.clientLeft());

    // Slow and endless: the transfer limit ends it as a connection error.
    settingsStore().writeNumber("transfertimeout", 1);
    RawServer trickle([](RawServer &s, int fd, const std::string &) {
        if (!s.sendAll(fd, head() + "<ul>\r\n"))
            return;
        while (!s.stopping() && s.sendAll(fd, "<li>urlaub a</li>\r\n"))
            s.pause(100);
    });
    EXPECT_EQ(run(trickle.url("/k")), ResearchRun::Result::Stopped);
    EXPECT_TRUE(connectionBoxShown(ui));
}

TEST_F(ResearchHostileTest, BrokenConnectionsAskAndMayBeRetried)
{
    std::atomic<int> answers {0};
    RawServer reset([&](RawServer &s, int fd, const std::string &) {
        if (answers++ == 0) {
            // Half an answer, then a reset instead of an orderly close.
            s.sendAll(fd, head() + "<ul>\r\n<li>urlaub halb</li>\r\n<li>urla");
            s.pause(50);
            const linger hard {1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            return;
        }
        s.sendAll(fd, head() + "<ul>\r\n<li>urlaub ganz</li>\r\n</ul>\r\n");
    });
    ui.connectionAnswers = {ConnectionAnswer::Retry};
    EXPECT_EQ(run(reset.url("/k")), ResearchRun::Result::Finished);
    EXPECT_TRUE(connectionBoxShown(ui));
    // The retry began with empty lists: nothing of the broken answer stays.
    EXPECT_EQ(rows, std::vector<std::string>{"urlaub ganz"});

    ui.shown.clear();
    answers = 0;
    EXPECT_EQ(run(reset.url("/k")), ResearchRun::Result::Stopped);
    EXPECT_TRUE(connectionBoxShown(ui));
}
