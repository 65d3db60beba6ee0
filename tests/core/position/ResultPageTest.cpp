#include "position/PositionEngine.h"
#include "position/ResultPage.h"
#include "position/TextSearch.h"

#include <gtest/gtest.h>

using namespace vantor;

namespace {

using Kind = ResultPage::Scan::Kind;

PositionEngine listEngine()
{
    PositionEngine e;
    e.name = "Suchfix";
    e.resultMarker = "</li>";
    e.startAfter = "<ol>";
    e.stopAfter = "</ol>";
    e.mark1 = "<li>";
    e.mark2 = "<a ";
    return e;
}

// A result list as engines write it, CR LF between the entries; "ad:"
// entries stand outside the list of results (no <li>).
std::string page(const std::vector<std::string> &sites, const std::string &extra = {})
{
    std::string text = "<html><body>\r\n" + extra + "<ol>\r\n";
    for (const std::string &site : sites)
        text += "<li><a href=\"http://" + site + "/\">" + site + "</a> Beschreibung</li>\r\n";
    return text + "</ol>\r\n<p>Impressum</p></body></html>\r\n";
}

ResultPage::Scan scan(const PositionEngine &engine, const std::string &text, std::vector<std::string> domains,
                      int before = 0)
{
    ResultPage result(engine, std::move(domains));
    result.feed(text);
    result.finish();
    return result.scan(before);
}

} // namespace

TEST(TextSearchTest, OneBasedWithTheTwoAheadRuleAndNoEndBound)
{
    const std::string text = "abcabcabc";
    EXPECT_EQ(findText(text, "abc", 0), 1u);
    // From p the match has to begin at p + 2 or later.
    EXPECT_EQ(findText(text, "abc", 1), 4u);
    EXPECT_EQ(findText(text, "abc", 2), 4u);
    EXPECT_EQ(findText(text, "abc", 3), 7u);
    EXPECT_EQ(findText(text, "bca", 0), 2u);
    // Not there: past the text (callers append the pattern as a sentinel).
    EXPECT_EQ(findText(text, "abd", 0), text.size() + 1);
    EXPECT_EQ(findText(text + "abd", "abd", 0), text.size() + 1);
    EXPECT_EQ(findText("", "x", 0), 1u);
    // Every byte value works in the skip table.
    const std::string bytes = std::string("\xFF\x00\x80", 3) + "x\xE4";
    EXPECT_EQ(findText(bytes, "x\xE4", 0), 4u);
    // Long patterns and shifts past the end.
    const std::string hay = std::string(5000, 'a') + "needle" + std::string(10, 'b');
    EXPECT_EQ(findText(hay, "needle", 0), 5001u);
    EXPECT_EQ(findText(hay, "needle", 5000), hay.size() + 1);

    // Long patterns (domains) go through the skip table; same answers.
    const std::string domain = "www.gaertnerei-sonnenblume.example";
    const std::string page = "<a>" + domain + "</a> www.gaertnerei-sonnenblume.exampl " + domain + "!";
    EXPECT_EQ(findText(page, domain, 0), 4u);
    EXPECT_EQ(findText(page, domain, 2), 4u);
    EXPECT_EQ(findText(page, domain, 3), page.find(domain, 10) + 1);
    EXPECT_EQ(findText(page, domain + "x", 0), page.size() + 1);
    EXPECT_EQ(findText(domain, domain, 0), 1u);
    EXPECT_EQ(findText(domain.substr(1), domain, 0), domain.size());
}

TEST(ResultPageTest, CountsTheResultEntriesBeforeTheSite)
{
    const PositionEngine e = listEngine();
    ResultPage::Scan s = scan(e, page({"a.de", "b.de", "www.site.de", "c.de"}), {"site.de"});
    EXPECT_EQ(s.kind, Kind::Found);
    EXPECT_EQ(s.position, 3);
    // On page 2 of 10 results per page.
    s = scan(e, page({"a.de", "b.de", "www.site.de"}), {"site.de"}, 10);
    EXPECT_EQ(s.position, 13);
    EXPECT_EQ(scan(e, page({"www.site.de"}), {"site.de"}).position, 1);
    EXPECT_EQ(scan(e, page({"a.de", "b.de"}), {"site.de"}).kind, Kind::NoSite);
}

TEST(ResultPageTest, SiteOutsideTheEntriesIsPassedOver)
{
    const PositionEngine e = listEngine();
    // Named in an ad box before the list and in the footer: no entry holds it.
    const std::string text = page({"a.de", "b.de"}, "<div>Anzeige: www.site.de</div>\r\n")
        + "<p>Partner: www.site.de</p>\r\n";
    EXPECT_EQ(scan(e, text, {"site.de"}).kind, Kind::Passed);
    // Named only behind the last entry, however the list ends.
    EXPECT_EQ(scan(e, page({"a.de"}) + "<li>site.de", {"site.de"}).kind, Kind::Passed);
    // An entry without MARK1 after the site's (an ad inside the list)
    // changes nothing.
    std::string withAd = page({"a.de", "www.site.de", "b.de"});
    withAd.replace(withAd.find("<li><a href=\"http://b.de"), 4, "<p>");
    EXPECT_EQ(scan(e, withAd, {"site.de"}).position, 2);
}

TEST(ResultPageTest, MarkersMissingAndTheDomainList)
{
    PositionEngine e = listEngine();
    std::string text = page({"a.de", "www.site.de"});
    text.replace(text.find("<ol>"), 4, "<ul>");
    EXPECT_EQ(scan(e, text, {"site.de"}).kind, Kind::StartMissing);
    text = page({"a.de", "www.site.de"});
    text.replace(text.find("</ol>"), 5, "</ul>");
    EXPECT_EQ(scan(e, text, {"site.de"}).kind, Kind::StopMissing);
    // Without a stop marker nothing is checked and the whole page read.
    e.stopAfter = "NULL";
    EXPECT_EQ(scan(e, text, {"site.de"}).position, 2);

    // A further domain counts only where the entered one is not on the page.
    e = listEngine();
    EXPECT_EQ(scan(e, page({"zweit.de", "a.de", "site.de"}), {"site.de", "zweit.de"}).position, 3);
    EXPECT_EQ(scan(e, page({"zweit.de", "a.de"}), {"site.de", "zweit.de"}).position, 1);
    EXPECT_EQ(scan(e, page({"zweit.de", "a.de"}), {"", "zweit.de"}).position, 1);
}

TEST(ResultPageTest, ReadsInPiecesUpToTheStopMarkerAndTheBuffer)
{
    PositionEngine e = listEngine();
    // The stop marker ends the reading after its piece.
    std::string text = page({"a.de"}) + std::string(3 * ResultPage::kChunk, 'x');
    ResultPage stopped(e, {"site.de"});
    std::size_t fed = 0;
    while (fed < text.size() && stopped.feed(std::string_view(text).substr(fed, 700)))
        fed += 700;
    EXPECT_LT(fed, text.size());
    stopped.finish();
    EXPECT_EQ(stopped.size(), ResultPage::kChunk);

    // A stop marker cut by the end of a piece is not seen.
    std::string cut(ResultPage::kChunk - 2, ' ');
    cut += "</ol>";
    cut += std::string(ResultPage::kChunk, ' ');
    ResultPage through(e, {"site.de"});
    EXPECT_TRUE(through.feed(cut));
    through.finish();
    EXPECT_EQ(through.size(), cut.size());

    // "NULL" is looked for like any marker: a piece holding it ends the read.
    e.stopAfter = "NULL";
    ResultPage nullStop(e, {"site.de"});
    EXPECT_FALSE(nullStop.feed(std::string(100, 'y') + "NULL" + std::string(2 * ResultPage::kChunk, 'y')));
    nullStop.finish();
    EXPECT_EQ(nullStop.size(), ResultPage::kChunk);

    // An endless page stops before a piece that would not fit any more.
    e = listEngine();
    ResultPage endless(e, {"site.de"});
    const std::string block(ResultPage::kChunk, 'z');
    int blocks = 0;
    while (endless.feed(block) && blocks < 100)
        ++blocks;
    endless.finish();
    EXPECT_LT(blocks, 100);
    EXPECT_LE(endless.size(), ResultPage::kBuffer);
    EXPECT_EQ(endless.size() % ResultPage::kChunk, 0u);
}
