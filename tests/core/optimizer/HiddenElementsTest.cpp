#include "PageContextTest.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/HeadElements.h"
#include "optimizer/HiddenElements.h"
#include "optimizer/PageText.h"
#include "optimizer/RandomSource.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "platform/Text.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <random>
#include <string>
#include <vector>

using namespace vantor;
using vantor::testing::contains;
using vantor::testing::count;

namespace {

// The numbers a test wants, over and over.
class SequenceRandom : public RandomSource
{
public:
    std::vector<int> values{0};
    std::size_t drawn = 0;
    int next() override { return values[drawn++ % values.size()]; }
};

class HiddenElementsTest : public vantor::testing::PageContextTest
{
protected:
    void SetUp() override
    {
        PageContextTest::SetUp();
        context.random = &random;
        ProjectOptions &o = projectOptions();
        o.auth = o.robo = o.gene = o.copy = o.link = o.desc = o.keyw = o.titl = 0;
        o.text = o.komm = o.vlin = o.vcop = o.hiddenForm = o.nofr = o.altt = 0;
        projectRecord().scope = 1;
    }

    std::size_t warningsWith(const std::string &part) const
    {
        std::size_t n = 0;
        for (const auto &line : log.lines())
            if (line.kind == LineKind::Warning && contains(line.text, part))
                ++n;
        return n;
    }

    // The homepage's whole step 10 as the run does it.
    void optimizeHomepage(std::string &page)
    {
        const FrameState frames =
            repairFrames(context, page, ProjectOptions::forHomepage(projectOptions().nofr));
        writeHomepageHeader(context, page);
        writeHomepageHtmlData(context, page);
        writeHomepageHidden(context, page, frames);
    }

    SequenceRandom random;
};

// ---- frames ---------------------------------------------------------------

TEST_F(HiddenElementsTest, FramesetGetsItsNoframesSectionAndTheHiddenElementsInIt)
{
    options().nofr = 1;
    options().text = 1;
    record().homepageKeywords[0] = "Haus";
    context.lineEnd = "\r\n";
    std::string page = "<html><HEAD></HEAD><frameset cols=\"*,*\"><frame src=\"a.htm\"></frameset></html>";
    const FrameState frames = repairFrames(context, page, true);
    EXPECT_EQ(page, "<html><HEAD></HEAD><frameset cols=\"*,*\"><frame src=\"a.htm\"></frameset>"
                    "<NOFRAMES><BODY>\r\n</BODY></NOFRAMES>\r\n</html>");
    EXPECT_TRUE(frames.hasFrames);
    EXPECT_TRUE(frames.hasNoframes);
    EXPECT_EQ(log.errors(), 0);

    writeHomepageHidden(context, page, frames);
    EXPECT_EQ(page, "<html><HEAD></HEAD><frameset cols=\"*,*\"><frame src=\"a.htm\"></frameset>"
                    "<NOFRAMES><BODY>\r\n\r\n<H1><qx!><HAUS></H1>\r\n</BODY></NOFRAMES>\r\n</html>");
}

TEST_F(HiddenElementsTest, FramesWithoutRepairGiveOneErrorAndAWarningPerHiddenElement)
{
    options().text = options().komm = options().vlin = options().vcop = options().hiddenForm = 1;
    record().homepageKeywords[0] = "Haus";
    record().copyKeywords[0][0] = "Kopie";
    const std::string original = "<html><HEAD></HEAD><FRAMESET><FRAME src=\"a.htm\"></FRAMESET></html>";
    std::string page = original;
    const FrameState frames = repairFrames(context, page, false);
    writeHomepageHidden(context, page, frames);
    EXPECT_EQ(page, original);
    EXPECT_EQ(log.errors(), 1);
    EXPECT_EQ(log.lines().front().text, de("     FEHLER: In der Homepage sind die Tags <NOFRAMES> bzw. </NOFRAMES> "
                                           "nicht komplett. Bitte korrigieren Sie dieses Problem."));
    EXPECT_EQ(log.todos().size(), 1u);
    EXPECT_EQ(log.warnings(), 4);
    const std::string tail = de(" nicht eingefügt, da Seite Frames enthält und \"NoFrames Tag\" in der Konfiguration "
                                "deaktiviert ist");
    EXPECT_EQ(warningsWith(de("WARNUNG: Verborgener Tag") + tail), 1u);
    EXPECT_EQ(warningsWith(de("WARNUNG: Verborgener Link") + tail), 1u);
    EXPECT_EQ(warningsWith(de("WARNUNG: Verborgenes Formular") + tail), 1u);
    EXPECT_EQ(warningsWith(de("WARNUNG: Kommentar") + tail), 1u);
}

TEST_F(HiddenElementsTest, FramesRepairWithABodyOrASectionAlreadyThere)
{
    // A body of its own: the section goes round it.
    std::string page = "<HEAD></HEAD><frameset></frameset><BODY bgcolor=x>Text</BODY></HTML>";
    EXPECT_TRUE(repairFrames(context, page, true).hasNoframes);
    EXPECT_EQ(page, "<HEAD></HEAD><frameset></frameset><NOFRAMES><BODY bgcolor=x>Text</BODY></NOFRAMES></HTML>");

    // A section without a body gets one, repair switched on or not.
    page = "<HEAD></HEAD><frameset></frameset><noframes>Text</noframes></html>";
    EXPECT_TRUE(repairFrames(context, page, false).hasNoframes);
    EXPECT_EQ(page, "<HEAD></HEAD><frameset></frameset><noframes><BODY>Text</BODY></noframes></html>");

    // A section with its body but without its end is the user's to mend.
    page = "<HEAD></HEAD><frameset></frameset><NOFRAMES><BODY>Text</html>";
    EXPECT_TRUE(repairFrames(context, page, true).forbidsHidden());
    EXPECT_EQ(page, "<HEAD></HEAD><frameset></frameset><NOFRAMES><BODY>Text</html>");
    EXPECT_EQ(log.errors(), 1);
    log = RunLog();

    // No frames: nothing to do.
    page = "<HEAD></HEAD><BODY></BODY>";
    const FrameState none = repairFrames(context, page, true);
    EXPECT_FALSE(none.hasFrames);
    EXPECT_FALSE(none.forbidsHidden());
    EXPECT_EQ(page, "<HEAD></HEAD><BODY></BODY>");
    EXPECT_EQ(log.errors(), 0);
}

// ---- the homepage's elements --------------------------------------------------

const std::string kPage = "<html><HEAD></HEAD><BODY><p>Hallo&nbsp;Welt</p><br></BODY></html>";

TEST_F(HiddenElementsTest, HomepageElementsWithTheirExactText)
{
    options().text = options().komm = options().hiddenForm = 1;
    record().homepageKeywords[0] = de("Gärten");
    record().homepageKeywords[2] = "Haus";
    std::string page = "<HEAD></HEAD><BODY>x</BODY>";
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(page, de("<HEAD></HEAD><BODY>x\n<H1><qx!><GÄRTEN><HAUS></H1>\n"
                       "<FORM><input type=\"hidden\" size=\"1\" value=\"qx! Gärten\" name=\"GÄRTEN\">\n"
                       "<input type=\"hidden\" size=\"1\" value=\"Haus\" name=\"HAUS\">\n</FORM>\n"
                       "\n<H1><!--qx! Gärten, Haus, --></H1>\n</BODY>"));

    // An empty first slot keeps the form's first field without terms.
    record().homepageKeywords[0].clear();
    options().text = options().komm = 0;
    page = "<BODY></BODY>";
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(page, "<BODY><FORM><input type=\"hidden\" size=\"1\" value=\"qx! \" name=\"\">\n"
                    "<input type=\"hidden\" size=\"1\" value=\"Haus\" name=\"HAUS\">\n</FORM>\n</BODY>");
}

TEST_F(HiddenElementsTest, NoTermsWarnForHeadingAndComment)
{
    options().text = options().komm = 1;
    std::string page = kPage;
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(page, kPage);
    EXPECT_EQ(warningsWith(de("     WARNUNG: Verborgenen Text nicht eingefügt, da keine Suchbegriffe vorhanden sind")),
              1u);
    EXPECT_EQ(warningsWith(de("     WARNUNG: Kommentar nicht eingefügt, da keine Suchbegriffe vorhanden sind")), 1u);
}

TEST_F(HiddenElementsTest, CopyLinksWithAndWithoutAltText)
{
    options().vlin = options().vcop = 1;
    record().copyKeywords[0][0] = de("Gärten Süd");
    std::string page = kPage;
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(page, "<html><HEAD></HEAD><BODY><p>Hallo\n<a href=\"!gaertensued.htm\"><img src=\"vantor.gif\" "
                    "width=\"1\" height=\"1\" border=\"0\" \"></a>&nbsp;Welt</p><br></BODY></html>");

    options().altt = 1;
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(count(page, "vantor.gif"), 1u);
    EXPECT_TRUE(contains(page, de("border=\"0\" alt=\"Gärten Süd GÄRTEN SÜD gärten süd\"></a>&nbsp;")));
}

TEST_F(HiddenElementsTest, WiderScopeLinksTheSecondAndThirdFileWhateverTheFrames)
{
    options().vlin = options().vcop = 1;
    record().scope = 2;
    record().copyKeywords[0] = {};
    record().copyKeywords[0][1] = "Zwei";
    record().copyKeywords[0][2] = "Drei";
    std::string page = "<BODY><STRONG>a</STRONG><BR></BODY>";
    FrameState frames;
    frames.hasFrames = true;
    writeHomepageHidden(context, page, frames);
    EXPECT_EQ(page, "<BODY><STRONG>a\n<a href=\"-zwei.htm\"><img src=\"vantor.gif\" width=\"1\" height=\"1\" "
                    "border=\"0\" \"></a></STRONG>\n<a href=\"%23drei.htm\"><img src=\"vantor.gif\" width=\"1\" "
                    "height=\"1\" border=\"0\" \"></a><BR></BODY>");
    EXPECT_EQ(log.warnings(), 0);
}

TEST_F(HiddenElementsTest, DoorwayLinksToTheFirstAndTheMiddleTerm)
{
    options().vlin = 1;
    doorways.slots[0].term = "Haus";
    std::string page = "<BODY><h2>a</h2><br></BODY>";
    writeHomepageHidden(context, page, FrameState{});
    const std::string link = "<a href=\"!haus/index.htm\"><img src=\"vantor.gif\" width=\"1\" height=\"1\" "
                             "border=\"0\" \"></a>\n";
    // One term: the middle link goes to it too.
    EXPECT_EQ(page, "<BODY>\n" + link + "<h2>a</h2>\n" + link + "<br></BODY>");

    doorways.slots[1].term = de("Gärten");
    options().altt = 1;
    record().doorlikehp = 0;
    record().startpage = "Start.htm";
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(count(page, "vantor.gif"), 2u);
    EXPECT_TRUE(contains(page, "<a href=\"!haus/start.htm\""));
    EXPECT_TRUE(contains(page, "<a href=\"!gaerten/start.htm\"><img src=\"vantor.gif\" width=\"1\" height=\"1\" "
                               "border=\"0\" alt=\"G&auml;rten G&Auml;RTEN g&auml;rten\"></a>\n<br>"));

    // Without directories there are no doorway pages to link.
    record().makedirs = 0;
    writeHomepageHidden(context, page, FrameState{});
    EXPECT_EQ(count(page, "vantor.gif"), 0u);
}

TEST_F(HiddenElementsTest, SecondRunLeavesOneOfEachBesideThePagesOwnHeadingAndForm)
{
    options().text = options().komm = options().hiddenForm = options().vlin = options().vcop = 1;
    record().scope = 2;
    record().homepageKeywords[0] = "Haus";
    record().homepageKeywords[1] = "Garten";
    record().copyKeywords[0][0] = "Eins";
    record().copyKeywords[0][1] = "Zwei";
    record().copyKeywords[0][2] = "Drei";
    doorways.slots[0].term = "Tuer";
    doorways.slots[5].term = "Tor";
    // The page's own search box and heading come before ours.
    std::string page = "<HEAD></HEAD><BODY><FORM><input name=\"q\"></FORM><H1>Willkommen</H1><h1>x</h1>"
                       "<strong>a</strong><br>&nbsp;</BODY>";
    for (int run = 0; run < 3; ++run) {
        writeHomepageHidden(context, page, FrameState{});
        EXPECT_EQ(count(page, "<qx!>"), 1u) << run;
        EXPECT_EQ(count(page, "value=\"qx! "), 1u) << run;
        EXPECT_EQ(count(page, "<!--qx! "), 1u) << run;
        for (const char *target : {"!eins.htm", "-zwei.htm", "%23drei.htm", "!tuer/index.htm", "!tor/index.htm"})
            EXPECT_EQ(count(page, std::string("href=\"") + target), 1u) << run << target;
        EXPECT_EQ(count(page, "<FORM><input name=\"q\"></FORM>"), 1u);
        EXPECT_EQ(count(page, "<H1>Willkommen</H1>"), 1u);
    }
}

TEST_F(HiddenElementsTest, MarkedBlocksGoFromTheNearestOpenWithinReach)
{
    std::string page = "<H1>mine</H1> <H1><qx!>a</H1> <H1>  <qx!>b</H1> <H1>          <qx!>c</H1>";
    EXPECT_EQ(removeMarkedBlocks("<H1>", "</H1>", "<qx!>", page, 10), 2u);
    EXPECT_EQ(page, "<H1>mine</H1>   <H1>          <qx!>c</H1>");

    // Plain removeBlock leaves it: the page's own heading comes first.
    std::string plain = "<H1>mine</H1> <H1><qx!>a</H1>";
    EXPECT_FALSE(removeBlock("<H1>", "</H1>", "<qx!>", plain, 10));

    std::string noClose = "<FORM><input value=\"qx! a\">";
    EXPECT_EQ(removeMarkedBlocks("<FORM>", "</FORM>", "value=\"qx!", noClose, 100), 0u);
}

// ---- placement --------------------------------------------------------------------

struct TableAnchor {
    const char *literal;
    bool after;
};

TEST_F(HiddenElementsTest, CopyHeadingPlacementTableRowByRow)
{
    const std::vector<std::vector<TableAnchor>> table = {
        {{"<blockquote>", false}, {"<BLOCKQUOTE>", false}, {"<p>", true}, {"<P>", true}},
        {{"<b>", false}, {"<B>", false}, {"<strong>", false}, {"<STRONG>", false}},
        {{"</b>", true}, {"</B>", true}, {"</strong>", true}, {"</STRONG>", true}},
        {{"<p>", false}, {"<P>", false}},
        {{"<a href", false}, {"<A HREF", false}},
        {{"</a>", true}, {"</A>", true}},
        {{"</blockquote>", false}, {"</BLOCKQUOTE>", false}, {"</p>", true}, {"</P>", true}, {"</form>", true},
         {"</FORM>", true}},
        {{"</form>", true}, {"</FORM>", true}, {"<br>", false}, {"<BR>", false}},
        {{"<font", false}, {"<FONT", false}},
        {{"</td>", true}, {"</TD>", true}},
        {{"</tr>", true}, {"</TR>", true}},
        {{"<table", false}, {"<TABLE", false}},
        {{"<br>", false}, {"<BR>", false}},
        {},
        {{"</font>", true}, {"</FONT>", true}},
    };
    ASSERT_EQ(table.size(), 15u);
    for (std::size_t r = 0; r < table.size(); ++r) {
        const auto &row = table[r];
        // With the candidates from j on in the page, candidate j wins; with
        // none, </BODY does.
        for (std::size_t j = 0; j <= row.size(); ++j) {
            std::string body;
            for (std::size_t k = j; k < row.size(); ++k)
                body += std::string(" ") + row[k].literal + " ";
            const std::string page = "<HEAD><b>head</b></HEAD><BODY>" + body + "</BODY>";
            std::string placed = page;
            ASSERT_TRUE(placeElement(Placement::CopyHeading, static_cast<int>(r), "@", placed));
            std::size_t at;
            if (j < row.size()) {
                at = page.find(row[j].literal, page.find("<BODY>"));
                if (row[j].after)
                    at += std::string(row[j].literal).size();
            } else {
                at = page.find("</BODY");
            }
            EXPECT_EQ(placed, page.substr(0, at) + "@" + page.substr(at)) << "r=" << r << " j=" << j;
        }
    }
    // The number drawn is reduced to a row.
    random.values = {17};
    EXPECT_EQ(random.row(), 2);
    random.values = {-1};
    EXPECT_EQ(random.row(), 14);
}

TEST_F(HiddenElementsTest, EveryTableEndsAtTheBodyEndAndDoorwaysUsePlaceholdersLate)
{
    for (int r = 0; r < 15; ++r) {
        for (Placement table : {Placement::CopyHeading, Placement::CopyForm, Placement::CopyComment,
                                Placement::CopyLink, Placement::DoorwayHeading, Placement::DoorwayForm,
                                Placement::DoorwayComment, Placement::DoorwayLink}) {
            std::string page = "<HEAD></HEAD><BODY>Text</BODY>";
            ASSERT_TRUE(placeElement(table, r, "@", page));
            EXPECT_EQ(page, "<HEAD></HEAD><BODY>Text@</BODY>");
        }
        std::string doorway = "<HEAD><TITLE>%Suchbegriff%</TITLE></HEAD><BODY><img alt=\"%Firma%\">"
                              "%Suchbegriff%</BODY>";
        ASSERT_TRUE(placeElement(Placement::DoorwayHeading, r, "@", doorway));
        EXPECT_TRUE(contains(doorway, "\">@%Suchbegriff%</BODY>")) << r;
    }
}

// ---- copies and doorway documents ---------------------------------------------------

class CopyHiddenTest : public HiddenElementsTest
{
protected:
    void SetUp() override
    {
        HiddenElementsTest::SetUp();
        for (int m = 0; m < ProjectRecord::kCopies; ++m)
            for (int v = 0; v < 3; ++v)
                record().copyKeywords[static_cast<std::size_t>(m)][static_cast<std::size_t>(v)] =
                    "k" + std::to_string(m + 1) + "v" + std::to_string(v + 1);
        record().copyKeywords[0][3] = de("Bäume");
    }
};

TEST_F(CopyHiddenTest, HeadingAndLinksAtTheirDrawnPlaces)
{
    options().text = options().vlin = options().vcop = 2;
    // Group order 13 (row 13 of the orders), then heading row 3, then links.
    random.values = {0, 3, 13};
    std::string page = "<HEAD></HEAD><BODY><p>a</p></BODY>";
    writeCopyHidden(context, page, 1, 0, FrameState{});
    // Copy 1 links to the same file of the eight other copies.
    for (int target = 2; target <= 9; ++target)
        EXPECT_EQ(count(page, "href=\"!k" + std::to_string(target) + "v1.htm\""), 1u) << target;
    EXPECT_TRUE(contains(page, "<BODY>\n<H1><k1v1><k1v2><k1v3><B&auml;ume><k1v1></H1>\n<p>a</p>"));

    // Copy 4 links to copy 5 only; only the main file gets the heading.
    page = "<HEAD></HEAD><BODY></BODY>";
    writeCopyHidden(context, page, 4, 1, FrameState{});
    EXPECT_EQ(page, "<HEAD></HEAD><BODY><a href=\"-k5v2.htm\"><img src=\"vantor.gif\" width=\"1\" height=\"1\" "
                    "border=\"0\" \"></a>\n</BODY>");

    options().altt = 1;
    page = "<HEAD></HEAD><BODY></BODY>";
    writeCopyHidden(context, page, 8, 2, FrameState{});
    EXPECT_TRUE(contains(page, "border=\"0\" alt=\"k9v3, K9V3, k9v3\"></a>\n</BODY>"));
    page = "<HEAD></HEAD><BODY></BODY>";
    writeCopyHidden(context, page, 9, 2, FrameState{});
    EXPECT_EQ(page, "<HEAD></HEAD><BODY></BODY>");
}

TEST_F(CopyHiddenTest, CopyFromAnOptimisedHomepageKeepsOneOfEach)
{
    options().text = options().komm = options().vlin = options().vcop = options().hiddenForm = 3;
    record().homepageKeywords[0] = "Haus";
    std::string homepage = "<HEAD></HEAD><BODY><FORM></FORM><H1>t</H1><p>x</p><br></BODY>";
    writeHomepageHidden(context, homepage, FrameState{});
    for (int draw = 0; draw < 15; ++draw) {
        random.values = {draw, (draw * 7) % 15, (draw * 11) % 15};
        std::string copy = homepage;
        ASSERT_TRUE(optimizeCopyText(context, copy, 2, 0));
        EXPECT_EQ(count(copy, "<qx!>"), 0u);
        EXPECT_EQ(count(copy, "<k2v1>"), 2u) << draw; // once among the terms, once at the end
        EXPECT_EQ(count(copy, "<!--qx! "), 1u);
        EXPECT_EQ(count(copy, "value=\"qx! "), 1u);
        EXPECT_EQ(count(copy, "vantor.gif"), 1u);
        EXPECT_EQ(count(copy, "href=\"!k3v1.htm\""), 1u);
    }
}

TEST_F(CopyHiddenTest, FramesWithoutACompleteSectionFailTheCopy)
{
    std::string page = "<HEAD></HEAD><frameset></frameset></html>";
    options().nofr = 1; // the homepage's switch only
    EXPECT_FALSE(optimizeCopyText(context, page, 1, 0));
    EXPECT_EQ(log.errors(), 1);

    page = "<HEAD></HEAD><frameset></frameset></html>";
    options().nofr = 2;
    options().text = 2;
    EXPECT_TRUE(optimizeCopyText(context, page, 1, 0));
    EXPECT_TRUE(contains(page, "<NOFRAMES><BODY>\n\n<H1><k1v1>"));
}

TEST_F(HiddenElementsTest, DoorwayElements)
{
    options().text = options().komm = options().hiddenForm = options().vlin = options().vcop = 2;
    options().altt = 1;
    record().scope = 1;
    for (int k = 0; k < 10; ++k)
        record().homepageKeywords[static_cast<std::size_t>(k)] = "h" + std::to_string(k);
    record().homepageKeywords[9].clear();
    doorways.slots[2].term = "Haus";
    doorways.slots[4].term = de("Gärten");
    std::string page = "<HEAD></HEAD><BODY></BODY>";
    writeDoorwayHidden(context, page, "Haus", 2, 0);
    const std::string image = "<img src=\"haus.gif\" width=\"1\" height=\"1\" border=\"0\" alt=\"Haus\"></a>\n";
    for (const std::string &element :
         {std::string("<!-- Haus, H0, H1, H2, H3, H4, H5, H6, H7, Haus, H8, -->\n"),
          std::string("<FORM><input type=\"hidden\" value=\"h0\" name=\"h1\"><input type=\"hidden\" value=\"h2\" "
                      "name=\"h3\"><input type=\"hidden\" value=\"h4\" name=\"h5\"><input type=\"hidden\" "
                      "value=\"h6\" name=\"h7\"><input type=\"hidden\" value=\"h8\" name=\"h8\"></FORM>\n"),
          "<a href=\"../!gaerten/index.htm\">" + image, "<a href=\"haus.htm\">" + image,
          std::string("<H1><Haus><H0><H1><H2><H3><H4><H5><H6><H7><HAUS><H8></H1>\n")})
        EXPECT_EQ(count(page, element), 1u) << element;
    // The further form always stands last.
    const std::string last = "<FORM><input type=\"hidden\" size=\"1\" value=\"Haus\" name=\"Haus\"><input "
                             "type=\"hidden\" name=\"HAUS, \" value=\"HAUS\"></FORM>\n</BODY>";
    EXPECT_EQ(page.substr(page.size() - last.size()), last);

    // The term document: only the comment and the further form.
    page = "<HEAD></HEAD><BODY></BODY>";
    writeDoorwayHidden(context, page, de("Gärten"), 4, 1);
    EXPECT_EQ(count(page, "<!-- "), 1u);
    EXPECT_EQ(count(page, "<FORM>"), 1u);
    EXPECT_FALSE(contains(page, "<H1>"));
    EXPECT_FALSE(contains(page, "<a href"));
}

// ---- the whole homepage, again and again ----------------------------------------------

TEST_F(HiddenElementsTest, OptimisingAnOptimisedHomepageLeavesOneOfEach)
{
    std::mt19937 generator(20240611);
    const std::vector<std::string> bits = {
        "<p>Text</p>", "<H1>Eigene</H1>", "<h1>klein</h1>", "<FORM><input name=\"q\"></FORM>",
        "<form action=\"x\"></form>", "&nbsp;", "<br>", "<BR>", "<strong>s</strong>", "<blockquote>b</blockquote>",
        "<a href=\"a.htm\">a</a>", "<h2>z</h2>", "<table><tr><td>c</td></tr></table>", "\n"};
    for (int trial = 0; trial < 40; ++trial) {
        const auto pick = [&](int n) { return static_cast<int>(generator() % static_cast<unsigned>(n)); };
        // Options: each homepage technique on or off.
        ProjectOptions &o = options();
        for (int *option : {&o.auth, &o.robo, &o.gene, &o.copy, &o.link, &o.desc, &o.keyw, &o.titl, &o.text,
                            &o.komm, &o.vlin, &o.vcop, &o.hiddenForm, &o.altt})
            *option = pick(4);
        record().scope = pick(3);
        record().author = pick(2) ? "Firma" : "";
        record().description = "Beschreibung";
        record().title1 = "Titel";
        record().homepageKeywords = {};
        for (int k = pick(5); k > 0; --k)
            record().homepageKeywords[static_cast<std::size_t>(pick(30))] = "Begriff" + std::to_string(k);
        record().copyKeywords[0] = {};
        for (int v = 0; v < 3; ++v)
            if (pick(2))
                record().copyKeywords[0][static_cast<std::size_t>(v)] = "Kopie" + std::to_string(v);
        doorways = DoorwayTerms{};
        for (int k = pick(4); k > 0; --k)
            doorways.slots[static_cast<std::size_t>(pick(20))].term = "Tuer" + std::to_string(k);

        std::string page = "<html><HEAD><title>Alt</title></HEAD><BODY>";
        for (int k = pick(12); k > 0; --k)
            page += bits[static_cast<std::size_t>(pick(static_cast<int>(bits.size())))];
        page += "</BODY></html>";

        std::string once = page;
        optimizeHomepage(once);
        std::string twice = once;
        optimizeHomepage(twice);
        std::string thrice = twice;
        optimizeHomepage(thrice);

        const auto expectOne = [&](const std::string &what, bool wanted) {
            for (const std::string *result : {&once, &twice, &thrice})
                EXPECT_EQ(count(*result, what), wanted ? 1u : 0u) << what << " trial " << trial << "\n" << *result;
        };
        const bool author = !record().author.empty();
        bool anyTerm = false;
        for (const auto &term : record().homepageKeywords)
            anyTerm = anyTerm || !term.empty();
        expectOne("NAME=\"author\"", o.auth % 2 && author);
        expectOne("NAME=\"generator\"", o.gene % 2 && author);
        expectOne("NAME=\"copyright\"", o.copy % 2 && author);
        expectOne("NAME=\"robots\"", o.robo % 2);
        expectOne("<LINK REL=Home>", o.link % 2);
        expectOne("NAME=\"description\"", o.desc % 2);
        expectOne("NAME=\"keywords\"", o.keyw % 2 && anyTerm);
        EXPECT_EQ(count(thrice, "<TITLE>") + count(thrice, "<title>"), 1u);
        // Whatever the options, the page around them, its own elements and
        // its own line breaks: a run over a run's result changes nothing.
        EXPECT_EQ(twice, once) << "trial " << trial;
        EXPECT_EQ(thrice, twice) << "trial " << trial;
        expectOne("<qx!>", o.text % 2 && anyTerm);
        expectOne("<!--qx! ", o.komm % 2 && anyTerm);
        expectOne("value=\"qx! ", o.hiddenForm % 2);
        const bool copyLinks = o.vlin % 2 && o.vcop % 2;
        expectOne("href=\"!kopie0.htm\"", copyLinks && !record().copyKeywords[0][0].empty());
        expectOne("href=\"-kopie1.htm\"", copyLinks && record().scope == 2 && !record().copyKeywords[0][1].empty());
        expectOne("href=\"%23kopie2.htm\"", copyLinks && record().scope == 2 && !record().copyKeywords[0][2].empty());
        // The user's own elements stay, around our links and the line ends
        // our old elements leave behind.
        std::string withoutLinks = thrice;
        removeAllTrackingLinks(withoutLinks);
        std::string withoutLineEnds;
        for (char c : withoutLinks)
            if (c != '\n')
                withoutLineEnds += c;
        for (const std::string &bit : bits) {
            if (bit == "\n")
                continue;
            EXPECT_EQ(count(withoutLineEnds, bit), count(page, bit)) << bit << " trial " << trial;
        }
    }
}

} // namespace
