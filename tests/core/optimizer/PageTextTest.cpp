#include "optimizer/PageText.h"

#include "optimizer/OutOfMemory.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace vantor {
namespace {

// What replaceAll must come to: rescan from the start after every replacement.
std::string rescanEverything(const std::string &replacement, const std::string &pattern, std::string text)
{
    for (auto pos = text.find(pattern); pos != std::string::npos; pos = text.find(pattern))
        text.replace(pos, pattern.size(), replacement);
    return text;
}

// What removeAllTrackingLinks must come to.
std::size_t removeOneByOne(std::string &text)
{
    std::size_t removed = 0;
    while (removeTrackingLink(text))
        ++removed;
    return removed;
}

TEST(PageText, ReplaceFirstAndInsertTouchOnlyTheFirstMatch)
{
    std::string page = "<b>x</b><b>y</b>";
    EXPECT_TRUE(replaceFirst("<i>", "<b>", page));
    EXPECT_EQ(page, "<i>x</b><b>y</b>");
    EXPECT_TRUE(insertBefore("[", "</b>", page));
    EXPECT_EQ(page, "<i>x[</b><b>y</b>");
    EXPECT_TRUE(insertAfter("]", "</b>", page));
    EXPECT_EQ(page, "<i>x[</b>]<b>y</b>");

    const std::string before = page;
    EXPECT_FALSE(replaceFirst("x", "<B>", page)); // byte-exact, no case folding
    EXPECT_FALSE(insertBefore("x", "", page));
    EXPECT_FALSE(insertAfter("x", "<TITLE", page));
    EXPECT_EQ(page, before);
}

TEST(PageText, ReplaceAllMatchesRescanningFromTheStart)
{
    struct Case
    {
        std::string replacement, pattern, text;
    };
    const Case cases[] = {
        {"a", "aa", "aaaa"},
        {"", "ab", "aaabbb"},         // cascades backwards into the prefix
        {"b", "aab", "aaaaabbxaab"},  // replacement completes a match on its left
        {"ba", "ab", "aabbab"},       // equal length, bubbles forward
        {"x", "abc", "ababcc abcabc"},
        {"yy", "x", "xaxbx"},
        {"Kunde", "%Suchbegriff%", "<b>%Suchbegriff%</b>%Suchbegriff%"},
        {"q", "zz", "no match here"},
    };
    for (const Case &c : cases) {
        std::string page = c.text;
        EXPECT_TRUE(replaceAll(c.replacement, c.pattern, page));
        EXPECT_EQ(page, rescanEverything(c.replacement, c.pattern, c.text)) << c.pattern << " in " << c.text;
    }
}

TEST(PageText, ReplaceAllMatchesRescanningOnEverySmallShrinkingCase)
{
    // Every text up to 8 bytes over {a, b}, every pattern up to 3 bytes and
    // every shorter replacement: cascades in all directions.
    auto words = [](std::size_t maxLength) {
        std::vector<std::string> all{""};
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i].size() < maxLength)
                for (const char c : {'a', 'b'})
                    all.push_back(all[i] + c);
        return all;
    };
    const auto texts = words(8);
    const auto patterns = words(3);
    int differing = 0;
    for (const auto &pattern : patterns) {
        for (const auto &replacement : patterns) {
            if (pattern.empty() || replacement.size() >= pattern.size())
                continue;
            for (const auto &text : texts) {
                std::string page = text;
                replaceAll(replacement, pattern, page);
                if (page != rescanEverything(replacement, pattern, text) && ++differing < 5)
                    ADD_FAILURE() << pattern << " -> " << replacement << " in " << text << " gave " << page;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(PageText, ReplaceAllEndsOnReplacementsHoldingThePattern)
{
    std::string page = "Term: %Suchbegriff%, %Suchbegriff%%Suchbegriff%";
    EXPECT_TRUE(replaceAll("<b>%Suchbegriff%</b>", "%Suchbegriff%", page));
    EXPECT_EQ(page, "Term: <b>%Suchbegriff%</b>, <b>%Suchbegriff%</b><b>%Suchbegriff%</b>");

    std::string same = "aaa";
    EXPECT_TRUE(replaceAll("a", "a", same));
    EXPECT_EQ(same, "aaa");

    std::string untouched = "abc";
    EXPECT_TRUE(replaceAll("x", "", untouched));
    EXPECT_EQ(untouched, "abc");
}

TEST(PageText, InsertAfterHeadTagNeedsUpperCaseAndTheClosingBracket)
{
    std::string lower = "<head><title>t</title></head><head></head><body x></body>";
    EXPECT_FALSE(insertAfterHeadTag("<META>", lower));
    EXPECT_TRUE(upperCaseHeadBody(lower)); // only the first of each
    EXPECT_EQ(lower, "<HEAD><title>t</title></HEAD><head></head><BODY x></BODY>");
    EXPECT_TRUE(insertAfterHeadTag("<META>", lower));
    EXPECT_EQ(lower, "<HEAD><META><title>t</title></HEAD><head></head><BODY x></BODY>");
    std::string plain = "no tags";
    EXPECT_FALSE(upperCaseHeadBody(plain));

    std::string profile = "<HEAD profile=\"x\">\n";
    EXPECT_TRUE(insertAfterHeadTag("<M>", profile));
    EXPECT_EQ(profile, "<HEAD profile=\"x\"><M>\n");

    std::string open = "<HEAD profile";
    EXPECT_FALSE(insertAfterHeadTag("<M>", open));
    EXPECT_EQ(open, "<HEAD profile");
}

TEST(PageText, HeadAndBodyTagsAreFoundInAnySpelling)
{
    // Editors write these tags in every case; each spelling is still the
    // page's head and body.
    const struct {
        const char *page;
        const char *normalised;
    } cases[] = {
        {"<Head></Head><Body bgcolor=\"#fff\"></Body>", "<HEAD></HEAD><BODY bgcolor=\"#fff\"></BODY>"},
        {"<hEaD lang=\"de\">\n</hEAd>\n<bODY>x</BOdy>", "<HEAD lang=\"de\">\n</HEAD>\n<BODY>x</BODY>"},
        {"<HEAD></HEAD><BODY></BODY>", "<HEAD></HEAD><BODY></BODY>"},
        {"<head\tid=h></head><body/></body>", "<HEAD\tid=h></HEAD><BODY/></BODY>"},
    };
    for (const auto &c : cases) {
        std::string page = c.page;
        upperCaseHeadBody(page);
        EXPECT_EQ(page, c.normalised) << c.page;
        EXPECT_TRUE(insertAfterHeadTag("<M>", page)) << c.page;
    }
    // Only the tag itself: <header> and <bodyguard> are other elements.
    std::string html5 = "<header>x</header><Header><Head></Head><bodyguard><Body>";
    upperCaseHeadBody(html5);
    EXPECT_EQ(html5, "<header>x</header><Header><HEAD></HEAD><bodyguard><BODY>");
    std::string onlyHeader = "<header></header>";
    EXPECT_FALSE(upperCaseHeadBody(onlyHeader));
    EXPECT_FALSE(insertAfterHeadTag("<M>", onlyHeader));
}

TEST(PageText, RemovalsTakeTheLineEndsTheElementCameWith)
{
    // Our element right after <HEAD>, followed by its line end.
    std::string head = "<HEAD><META NAME=\"author\" CONTENT=\"x\">\r\n<TITLE>t</TITLE>\r\n</HEAD>";
    EXPECT_TRUE(removeEnclosing('<', '>', "NAME=\"author\"", head, "\r\n"));
    EXPECT_EQ(head, "<HEAD><TITLE>t</TITLE>\r\n</HEAD>");
    // The user's own, indented on a line of its own: the line goes, the
    // blank line below it stays.
    std::string own = "<head>\n  <title>t</title>\n\n  <meta name=\"author\" content=\"x\">\n</head>";
    EXPECT_TRUE(cutBetween("<title", "</title>", own, "\n"));
    EXPECT_TRUE(removeEnclosing('<', '>', "name=\"author\"", own, "\n"));
    EXPECT_EQ(own, "<head>\n\n</head>");
    // Among other text on its line only the element and its line end go.
    std::string inLine = "<p>a <meta name=\"author\" content=\"x\">\nb</p>";
    EXPECT_TRUE(removeEnclosing('<', '>', "name=\"author\"", inLine, "\n"));
    EXPECT_EQ(inLine, "<p>a b</p>");
    // Without a line end after it nothing else goes.
    std::string joined = "<title>t</title><body>";
    EXPECT_TRUE(cutBetween("<title", "</title>", joined, "\n"));
    EXPECT_EQ(joined, "<body>");

    // The comment heading stands on a line of its own.
    std::string comment = "Text\n\n<H1><!--qx! Haus, --></H1>\n</BODY>";
    EXPECT_TRUE(removeElement('<', '>', "H1><!--qx!", comment, "\n"));
    EXPECT_EQ(comment, "Text\n</BODY>");

    // A copy link came after a line end, a doorway link between two.
    const std::string image = "><img src=\"vantor.gif\" width=\"1\" height=\"1\" border=\"0\" \"></a>";
    std::string links = "Text\n\n<a href=\"!tuer/index.htm\"" + image + "\n<H1>x</H1>\n<a href=\"!kopie.htm\"" +
                        image + "&nbsp;\n<a href=\"!tor/index.htm\"" + image + "\n</BODY>";
    EXPECT_EQ(removeAllTrackingLinks(links, "\n"), 3u);
    EXPECT_EQ(links, "Text\n<H1>x</H1>&nbsp;</BODY>");
    // Without a line end the removal is the plain one.
    std::string plain = "a\n<a href=\"!kopie.htm\"" + image + "\nb";
    EXPECT_EQ(removeAllTrackingLinks(plain, ""), 1u);
    EXPECT_EQ(plain, "a\n\nb");
}

TEST(PageText, CutBetweenDeletesThroughTheEnd)
{
    std::string page = "a<TITLE>x</TITLE>b<TITLE>y</TITLE>c";
    EXPECT_TRUE(cutBetween("<TITLE", "</TITLE>", page));
    EXPECT_EQ(page, "ab<TITLE>y</TITLE>c");
    EXPECT_TRUE(cutBetween("<TITLE", "</TITLE>", page));
    EXPECT_EQ(page, "abc");
    EXPECT_FALSE(cutBetween("<TITLE", "</TITLE>", page));

    std::string endFirst = "</b>x<b>y";
    EXPECT_FALSE(cutBetween("<b>", "</b>", endFirst));
    EXPECT_EQ(endFirst, "</b>x<b>y");
    // A later end after the start does not make up for the one before it.
    std::string endBefore = "</b>x<b>y</b>z";
    EXPECT_FALSE(cutBetween("<b>", "</b>", endBefore));
    EXPECT_EQ(endBefore, "</b>x<b>y</b>z");
    std::string overlapping = "x<!-->y-->";
    EXPECT_TRUE(cutBetween("<!--", "-->", overlapping));
    EXPECT_EQ(overlapping, "xy-->");
}

TEST(PageText, RemoveEnclosingDeletesTheWholeTag)
{
    std::string page = "<HEAD><META NAME=\"author\" CONTENT=\"x\"><META NAME=\"a\"></HEAD>";
    EXPECT_TRUE(removeEnclosing('<', '>', "NAME=\"author\"", page));
    EXPECT_EQ(page, "<HEAD><META NAME=\"a\"></HEAD>");

    std::string selfClosing = "ab<x>cd"; // needle's own first and last bytes count
    EXPECT_TRUE(removeEnclosing('<', '>', "<x>", selfClosing));
    EXPECT_EQ(selfClosing, "abcd");

    std::string noClose = "<META NAME=\"author\"";
    EXPECT_FALSE(removeEnclosing('<', '>', "NAME=\"author\"", noClose));
    std::string noOpen = "NAME=\"author\">";
    EXPECT_FALSE(removeEnclosing('<', '>', "NAME=\"author\"", noOpen));
    EXPECT_EQ(noOpen, "NAME=\"author\">");
}

TEST(PageText, RemoveBlockOnlyTakesTheFirstBlockOfThePage)
{
    const std::string form = "<FORM><input value=\"qx! a\"></FORM>";
    std::string page = "x" + form + "y";
    EXPECT_TRUE(removeBlock("<FORM>", "</FORM>", "value=\"qx!", page, 100));
    EXPECT_EQ(page, "xy");

    std::string older = "<FORM><input name=\"q\"></FORM>" + form;
    EXPECT_FALSE(removeBlock("<FORM>", "</FORM>", "value=\"qx!", older, 100));
    EXPECT_EQ(older, "<FORM><input name=\"q\"></FORM>" + form);

    // The anchor must start fewer than reach bytes after the open literal.
    std::string heading = "<H1><qx!><KEY></H1>";
    EXPECT_FALSE(removeBlock("<H1>", "</H1>", "<qx!>", heading, 4));
    EXPECT_TRUE(removeBlock("<H1>", "</H1>", "<qx!>", heading, 5));
    EXPECT_EQ(heading, "");

    std::string closeBefore = "</H1><H1><qx!></H1>";
    EXPECT_FALSE(removeBlock("<H1>", "</H1>", "<qx!>", closeBefore, 10));
    std::string noAnchor = "<H1>x</H1>";
    EXPECT_FALSE(removeBlock("<H1>", "</H1>", "<qx!>", noAnchor, 10));
}

TEST(PageText, RemoveElementDeletesTheCommentHeading)
{
    std::string page = "a\r\n<H1><!--qx! Haus, Garten, --></H1>\r\n</BODY>";
    EXPECT_TRUE(removeElement('<', '>', "H1><!--qx!", page));
    EXPECT_EQ(page, "a\r\n\r\n</BODY>");

    std::string far = "<" + std::string(20, 'x') + "needle>>";
    EXPECT_FALSE(removeElement('<', '>', "needle", far));
    std::string near = "<" + std::string(19, 'x') + "needle>>";
    EXPECT_TRUE(removeElement('<', '>', "needle", near));
    EXPECT_EQ(near, "");

    std::string oneClose = "<H1><!--qx! a -->";
    EXPECT_FALSE(removeElement('<', '>', "H1><!--qx!", oneClose));
}

TEST(PageText, RemoveTrackingLinkTakesTheLinkAroundTheImage)
{
    std::string page = "x<a href=\"http://s/\"><img src=\"vantor.gif\" border=0></a>y<a href=\"z\">z</a>";
    EXPECT_TRUE(removeTrackingLink(page));
    EXPECT_EQ(page, "xy<a href=\"z\">z</a>");
    EXPECT_FALSE(removeTrackingLink(page));

    std::string upper = "<A HREF=\"h\"><IMG SRC=\"vantor.gif\"></A >!";
    EXPECT_TRUE(removeTrackingLink(upper));
    EXPECT_EQ(upper, "!");

    std::string farLink = "<a href=\"" + std::string(50, 'h') + "\"><img src=\"vantor.gif\"></a>";
    EXPECT_FALSE(removeTrackingLink(farLink));
}

TEST(PageText, RemoveAllTrackingLinksEndsWhereTheSingleRemovalEnds)
{
    const std::string lower = R"(<a href="h"><img src="vantor.gif"></a>)";
    const std::string upper = R"(<A HREF="h"><IMG SRC="vantor.gif"></A>)";
    std::string page = "1" + lower + "2" + upper + "3" + lower + "4";
    EXPECT_EQ(removeAllTrackingLinks(page), 3u);
    EXPECT_EQ(page, "1234");
    EXPECT_EQ(removeAllTrackingLinks(page), 0u);
    EXPECT_EQ(page, "1234");

    // The lower-case spelling is looked for first, wherever it stands; when
    // its link cannot be taken, nothing is, not even the earlier link.
    const std::string stray = R"(<p>)" + std::string(60, 'x') + R"(><img src="vantor.gif"></a>)";
    std::string strayLast = upper + stray;
    EXPECT_EQ(removeAllTrackingLinks(strayLast), 0u);
    EXPECT_EQ(strayLast, upper + stray);

    // Nested links: the inner lower-case one goes first, then the outer one
    // finds its own close again.
    std::string nested = R"(<a href=o><IMG SRC="vantor.gif"> <a href=i><img src="vantor.gif"></a> </a>!)";
    EXPECT_EQ(removeAllTrackingLinks(nested), 2u);
    EXPECT_EQ(nested, "!");

    // A removal that joins an image together from the bytes on either side.
    std::string joined = R"(<a href=y><img src="van<a><img src="vantor.gif"></a>tor.gif"></a>!)";
    EXPECT_EQ(removeAllTrackingLinks(joined), 2u);
    EXPECT_EQ(joined, "!");
    // ... and one that joins the close of an earlier link.
    std::string joinedClose = R"(<A><IMG SRC="vantor.gif"></<a><img src="vantor.gif"></a>a>!)";
    EXPECT_EQ(removeAllTrackingLinks(joinedClose), 2u);
    EXPECT_EQ(joinedClose, "!");
}

TEST(PageText, RemoveAllTrackingLinksMatchesTheSingleRemovalOnGeneratedPages)
{
    // Links in all spellings, nested, broken, far from their image, and
    // pieces of the image that removals can join together.
    const std::vector<std::string> pieces = {
        R"(<a href="h">)", "<A HREF=h>", "<a", "<A", "<", "a", "A", ">", "</a>", "</A >", "</a", "</",
        R"(><img src="vantor.gif")", R"(><IMG src="vantor.gif")", R"(><IMG SRC="vantor.gif")",
        R"(><img src="van)", R"(tor.gif")", "><IMG ", R"(SRC="vantor.gif")", R"(src="vantor.gif")",
        R"(<img src="vantor.gif")", R"(><IMG SRC="vantor.gif)", "\"", "<b>", "x", std::string(20, 'x'),
        std::string(45, 'y'), "\r\n"};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    int differing = 0;
    int severalRemoved = 0;
    for (int round = 0; round < 30000; ++round) {
        std::string page;
        for (int n = length(random); n > 0; --n)
            page += pieces[pick(random)];
        std::string expected = page;
        const std::size_t expectedCount = removeOneByOne(expected);
        std::string actual = page;
        const std::size_t count = removeAllTrackingLinks(actual);
        if (expectedCount > 1)
            ++severalRemoved;
        if ((actual != expected || count != expectedCount) && ++differing < 5)
            ADD_FAILURE() << page << "\n gave " << actual << " (" << count << ")\n not " << expected << " ("
                          << expectedCount << ")";
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(severalRemoved, 2000); // the pages do exercise repeated removal
}

TEST(PageText, StripTagsKeepsItsOldHabits)
{
    std::string page = "<p>Hallo <b>Welt</b></p>";
    EXPECT_TRUE(stripTags(page));
    EXPECT_EQ(page, "Hallo Welt");

    std::string comparison = "a < b";
    EXPECT_FALSE(stripTags(comparison));
    EXPECT_EQ(comparison, "a < b");

    // 199 bytes without '>' after the '<': it goes with its neighbour.
    std::string longOpen = "x<" + std::string(199, 'y');
    EXPECT_TRUE(stripTags(longOpen));
    EXPECT_EQ(longOpen, "x" + std::string(198, 'y'));
    std::string shortOpen = "x<" + std::string(198, 'y');
    EXPECT_FALSE(stripTags(shortOpen));

    // '>' as the 199th byte after '<' is still in reach, as the 200th not.
    std::string edge = "<" + std::string(198, 'y') + ">z";
    EXPECT_TRUE(stripTags(edge));
    EXPECT_EQ(edge, "z");
    std::string beyond = "<" + std::string(199, 'y') + ">z";
    EXPECT_TRUE(stripTags(beyond));
    EXPECT_EQ(beyond, std::string(198, 'y') + ">z");

    // Later tags are still stripped after a dropped '<'; the stop at the end
    // keeps a final unclosed one.
    std::string mixed = "<" + std::string(200, 'y') + "<i>k<b";
    EXPECT_TRUE(stripTags(mixed));
    EXPECT_EQ(mixed, std::string(199, 'y') + "k<b");
}

TEST(PageText, StripEntitiesReachesSixBytes)
{
    std::string page = "Gr&ouml;&szlig;e &amp; mehr";
    EXPECT_TRUE(stripEntities(page));
    EXPECT_EQ(page, "Gre  mehr");

    std::string far = "a&abcdef;b";
    EXPECT_TRUE(stripEntities(far));
    EXPECT_EQ(far, "abcdef;b");
    std::string reach = "a&abcde;b";
    EXPECT_TRUE(stripEntities(reach));
    EXPECT_EQ(reach, "ab");
    std::string loose = "Tom & Jerry";
    EXPECT_TRUE(stripEntities(loose));
    EXPECT_EQ(loose, "Tom Jerry");
    std::string tail = "Tom & Co";
    EXPECT_FALSE(stripEntities(tail));
    EXPECT_EQ(tail, "Tom & Co");
}

TEST(PageText, CountRepeatsLooksThroughTagsAndBlanks)
{
    int count = -1;
    EXPECT_TRUE(countRepeats("%Suchbegriff%", "<b>%Suchbegriff%</b> %Suchbegriff%", count));
    EXPECT_EQ(count, 2);

    std::string many;
    for (int i = 0; i < 25; ++i)
        many += "%Suchbegriff%\r\n";
    EXPECT_TRUE(countRepeats("%Suchbegriff%", many, count));
    EXPECT_EQ(count, 20);

    EXPECT_TRUE(countRepeats("%S%", "%S%&nbsp;%S% x %S%", count));
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(countRepeats("%S%", "<p>nothing</p>", count));
    EXPECT_EQ(count, 0);
}

TEST(PageTextDeathTest, OutOfMemoryEndsTheProgramWithItsCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitWhenOutOfMemory([]() -> int { throw std::bad_alloc(); }), ::testing::ExitedWithCode(1),
                "Fehler Code 2007");
}

} // namespace
} // namespace vantor
