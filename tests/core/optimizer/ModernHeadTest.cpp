#include "PageContextTest.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/HeadElements.h"
#include "optimizer/OptimizationRun.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/Sitemap.h"
#include "submit/SubmitSettings.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vantor;
using vantor::testing::contains;
using vantor::testing::count;

namespace {

std::string headOf(const std::string &page) { return page.substr(0, page.find("</HEAD>")); }

const std::string kUrl = "https://www.example.de/index.htm";
const std::string kCanonical = "<link rel=\"canonical\" href=\"" + kUrl + "\">";
const std::string kViewport = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";

// The four elements of one page, counted the way a reader finds them.
void expectOneOfEach(const std::string &page)
{
    EXPECT_EQ(count(page, "rel=\"canonical\""), 1u) << page;
    EXPECT_EQ(count(page, "name=\"viewport\""), 1u) << page;
    EXPECT_EQ(count(page, "lang=\"de\""), 1u) << page;
    EXPECT_EQ(count(page, "property=\"og:title\""), 1u) << page;
    EXPECT_EQ(count(page, "property=\"og:description\""), 1u) << page;
    EXPECT_EQ(count(page, "property=\"og:url\""), 1u) << page;
}

// ---- One page at a time -------------------------------------------------

class ModernHeadTest : public vantor::testing::PageContextTest
{
protected:
    void SetUp() override
    {
        PageContextTest::SetUp();
        context.homepageUrl = kUrl;
        projectRecord().title1 = de("Grüße");
        projectRecord().description = "Beschreibung";
    }

    void allFour(int value)
    {
        ProjectOptions &o = projectOptions();
        o.cano = o.view = o.lang = o.ogtg = value;
    }

    bool logged(const std::string &text) const
    {
        const auto &lines = log.lines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const ReportLine &l) { return l.text == text && l.kind == LineKind::Normal; });
    }
};

TEST_F(ModernHeadTest, HomepageHeadEndsWithTheFourElementsAndKeepsThemThroughLaterRuns)
{
    allFour(1);
    std::string page = "<HTML>\n<HEAD>\n<TITLE>Alt</TITLE>\n  </HEAD>\n<BODY>Text</BODY>\n</HTML>";
    writeHomepageModernHead(context, page);
    EXPECT_EQ(page, "<HTML lang=\"de\">\n<HEAD>\n<TITLE>Alt</TITLE>\n" + kCanonical + "\n" + kViewport +
                        "\n<meta property=\"og:title\" content=\"Gr&uuml;&szlig;e\">\n"
                        "<meta property=\"og:description\" content=\"Beschreibung\">\n"
                        "<meta property=\"og:url\" content=\"" + kUrl + "\">\n  </HEAD>\n<BODY>Text</BODY>\n</HTML>");
    EXPECT_TRUE(logged(de("     canonical eingefügt: ") + kUrl));
    EXPECT_TRUE(logged(de("     viewport eingefügt")));
    EXPECT_TRUE(logged(de("     lang=\"de\" eingefügt")));
    EXPECT_TRUE(logged(de("     og:title eingefügt")));
    EXPECT_TRUE(logged(de("     og:description eingefügt")));
    EXPECT_TRUE(logged(de("     og:url eingefügt: ") + kUrl));

    const std::string first = page;
    for (int run = 2; run <= 3; ++run) {
        writeHomepageModernHead(context, page);
        EXPECT_EQ(page, first) << "run " << run;
    }

    // Only the copies' switch: the homepage is left as it is.
    allFour(2);
    std::string untouched = "<HTML><HEAD></HEAD><BODY></BODY></HTML>";
    writeHomepageModernHead(context, untouched);
    EXPECT_EQ(untouched, "<HTML><HEAD></HEAD><BODY></BODY></HTML>");
}

TEST_F(ModernHeadTest, PagesOwnCanonicalAndOpenGraphGoTheirViewportAndLanguageStay)
{
    allFour(1);
    std::string page = "<HTML xml:lang=\"en\">\n<HEAD>\n"
                       "  <LINK HREF='https://alt.example/seite.htm' REL=\"Alternate Canonical\">\n"
                       "<META CONTENT=\"width=500\" NAME=' Viewport '>\n"
                       "<meta content=\"Alt\" property=\"OG:Title\"><meta name=\"og:url\" content=\"x\">\n"
                       "</HEAD><BODY></BODY></HTML>";
    writeHomepageModernHead(context, page);
    EXPECT_FALSE(contains(page, "alt.example")) << page;
    EXPECT_FALSE(contains(page, "\"Alt\"")) << page;
    EXPECT_FALSE(contains(page, "content=\"x\"")) << page;
    EXPECT_TRUE(contains(page, "<META CONTENT=\"width=500\" NAME=' Viewport '>\n")) << page;
    EXPECT_FALSE(contains(page, kViewport)) << page;
    EXPECT_FALSE(contains(page, "lang=\"de\"")) << page;
    // The removed elements took their lines with them.
    EXPECT_EQ(page, "<HTML xml:lang=\"en\">\n<HEAD>\n<META CONTENT=\"width=500\" NAME=' Viewport '>\n" + kCanonical +
                        "\n<meta property=\"og:title\" content=\"Gr&uuml;&szlig;e\">\n"
                        "<meta property=\"og:description\" content=\"Beschreibung\">\n"
                        "<meta property=\"og:url\" content=\"" + kUrl + "\">\n</HEAD><BODY></BODY></HTML>");
    EXPECT_TRUE(logged(de("     viewport der Homepage beibehalten")));

    // A language of any spelling counts; a viewport the user added after our
    // run replaces ours.
    std::string own = "<html LANG=en-GB><HEAD>\n" + kViewport + "\n<meta name=viewport content=\"width=600\">\n"
                      "</HEAD><BODY></BODY></html>";
    projectOptions().cano = projectOptions().ogtg = 0;
    writeHomepageModernHead(context, own);
    EXPECT_EQ(own, "<html LANG=en-GB><HEAD>\n<meta name=viewport content=\"width=600\">\n</HEAD><BODY></BODY></html>");
}

TEST_F(ModernHeadTest, MarkupInCommentsAndScriptsIsNoElementOfThePage)
{
    projectOptions().view = projectOptions().cano = 1;
    const std::string commented = "<!-- <meta name=\"viewport\" content=\"width=1\"> -->\n"
                                  "<script>var s = '<link rel=\"canonical\" href=\"x\">';</script>\n";
    std::string page = "<HTML><HEAD>\n" + commented + "</HEAD><BODY></BODY></HTML>";
    writeHomepageModernHead(context, page);
    EXPECT_EQ(page, "<HTML><HEAD>\n" + commented + kCanonical + "\n" + kViewport + "\n</HEAD><BODY></BODY></HTML>");
}

TEST_F(ModernHeadTest, PagesWithoutHeadOrHtmlTagAndFramesPages)
{
    allFour(3);
    // No head: nothing goes in, as with the META elements; the language
    // stands on <html> and needs none.
    std::string noHead = "<html><BODY>Text</BODY></html>";
    writeHomepageModernHead(context, noHead);
    EXPECT_EQ(noHead, "<html lang=\"de\"><BODY>Text</BODY></html>");
    std::string noHtml = "<HEAD></HEAD><BODY>Text</BODY>";
    writeHomepageModernHead(context, noHtml);
    EXPECT_FALSE(contains(noHtml, "lang=")) << noHtml;
    EXPECT_TRUE(contains(noHtml, "<HEAD>" + kCanonical + "\n")) << noHtml;
    // <htmlfoo> is no html tag, and a head that never ends is no head.
    std::string odd = "<htmlfoo><HEAD><BODY>Text</BODY>";
    writeHomepageModernHead(context, odd);
    EXPECT_EQ(odd, "<htmlfoo><HEAD><BODY>Text</BODY>");
    // A frames page has its head like any other.
    std::string frames = "<HTML><HEAD><TITLE>F</TITLE></HEAD><FRAMESET><FRAME SRC=\"a.htm\"></FRAMESET></HTML>";
    writeHomepageModernHead(context, frames);
    expectOneOfEach(frames);
    EXPECT_LT(frames.find("og:url"), frames.find("</HEAD>"));
}

TEST_F(ModernHeadTest, CopyAndDoorwayTakeTheTextsOfTheirTitleAndDescription)
{
    allFour(2);
    ProjectRecord &record = projectRecord();
    record.copyKeywords[0][0] = "Strand";
    record.copyTitles[0] = "Eigener \"Titel\"";
    record.copyDescriptions[0] = de("Am Meer <schön>");
    projectOptions().tico = projectOptions().deco = 1;
    projectOptions().titl = projectOptions().desc = 2;
    std::string copy = "<HTML><HEAD></HEAD><BODY></BODY></HTML>";
    writeCopyHead(context, copy, 1, 0);
    const ModernHeadWritten written = writeCopyModernHead(context, copy, 1);
    EXPECT_TRUE(contains(copy, "<meta property=\"og:title\" content=\"Strand - Eigener &quot;Titel&quot;\">")) << copy;
    EXPECT_TRUE(contains(copy, "<TITLE> Strand - Eigener \"Titel\" </TITLE>")) << copy;
    EXPECT_TRUE(contains(copy, "<meta property=\"og:description\" content=\"Strand: Am Meer &lt;sch&ouml;n&gt;\">"))
        << copy;
    EXPECT_TRUE(contains(copy, "<META NAME=\"description\" CONTENT=\"Strand: Am Meer <sch&ouml;n>\">")) << copy;
    expectOneOfEach(copy);
    EXPECT_EQ(written.canonical + written.viewport + written.lang + written.ogTitle + written.ogDescription +
                  written.ogUrl,
              6);
    // The copy points to the homepage.
    EXPECT_TRUE(contains(copy, kCanonical)) << copy;

    std::string doorway = "<HTML><HEAD></HEAD><BODY></BODY></HTML>";
    writeDoorwayModernHead(context, doorway, de("Fähre"));
    EXPECT_TRUE(contains(doorway, "content=\"F&auml;hre - Gr&uuml;&szlig;e - F&Auml;HRE\"")) << doorway;
    EXPECT_TRUE(contains(doorway, "<meta property=\"og:description\" content=\"Beschreibung\">")) << doorway;
    expectOneOfEach(doorway);

    // Only the homepage's switch: copies and doorway documents stay as they are.
    allFour(1);
    std::string plain = "<HTML><HEAD></HEAD><BODY></BODY></HTML>";
    writeCopyModernHead(context, plain, 1);
    writeDoorwayModernHead(context, plain, "Haus");
    EXPECT_EQ(plain, "<HTML><HEAD></HEAD><BODY></BODY></HTML>");
}

TEST_F(ModernHeadTest, WithoutAddressNoCanonicalNoOgUrlAndThePagesOwnCanonicalStays)
{
    allFour(1);
    context.homepageUrl.clear();
    projectRecord().title1.clear();
    std::string page = "<HTML><HEAD>\n<link rel=\"canonical\" href=\"https://own.example/\">\n</HEAD></HTML>";
    writeHomepageModernHead(context, page);
    EXPECT_TRUE(contains(page, "https://own.example/")) << page;
    EXPECT_FALSE(contains(page, "og:url")) << page;
    EXPECT_FALSE(contains(page, "og:title")) << page;
    EXPECT_TRUE(contains(page, "og:description")) << page;
}

TEST_F(ModernHeadTest, CountsOfCopiesAndDoorwayDocumentsAreToldOncePerElement)
{
    ModernHeadWritten counts;
    ModernHeadWritten one;
    one.canonical = one.ogUrl = one.lang = 1;
    counts += one;
    counts += one;
    logModernHeadCounts(log, counts, kUrl, "Kopie", "Kopien");
    ModernHeadWritten single;
    single.viewport = 1;
    logModernHeadCounts(log, single, kUrl, "Zugangsdokument", "Zugangsdokumenten");
    ASSERT_EQ(log.lines().size(), 4u);
    EXPECT_EQ(log.lines()[0].text, de("     canonical eingefügt in 2 Kopien: ") + kUrl);
    EXPECT_EQ(log.lines()[1].text, de("     lang=\"de\" eingefügt in 2 Kopien"));
    EXPECT_EQ(log.lines()[2].text, de("     og:url eingefügt in 2 Kopien: ") + kUrl);
    EXPECT_EQ(log.lines()[3].text, de("     viewport eingefügt in 1 Zugangsdokument"));
    EXPECT_EQ(log.warnings(), 0);
}

// ---- Whole runs -----------------------------------------------------------

const char *const kTemplate = "<html>\r\n<head>\r\n<title>Vorlage</title>\r\n</head>\r\n<body>\r\n"
                              "<h1>%Suchbegriff%</h1>\r\n</body>\r\n</html>\r\n";

class ModernHeadRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(m_site + "/vantor!!/index.htm", kTemplate);
        ProjectRecord &record = projectRecord();
        record.author = "Firma";
        record.description = "Beschreibung";
        record.title1 = "Titel eins";
        record.title2 = "Titel zwei";
        record.homepageKeywords[0] = "Haus";
        record.copyKeywords[0][0] = "Strand";
        record.scope = 1;
        record.makedirs = 1;
        record.deleteold = 1;
    }

    void allFour(int value)
    {
        ProjectOptions &o = projectOptions();
        o.cano = o.view = o.lang = o.ogtg = value;
    }

    void setSubmissionUrl(const std::string &url, const std::string &scheme = "https")
    {
        submitsettings::Entries entries;
        entries.url = url;
        entries.email = "info@example.de";
        ASSERT_TRUE(submitsettings::saveEntries(projectPath("p"), entries));
        ASSERT_TRUE(submitsettings::saveSiteScheme(projectPath("p"), scheme));
    }

    // One run; its document paths are kept for the checks.
    void runOnce()
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
        OptimizationRun run(ui, "p");
        run.begin();
        run.run(false, false);
        EXPECT_EQ(run.log().errors(), 0);
        m_lines.clear();
        for (const auto &line : run.log().lines()) {
            m_lines.push_back(line.text);
            if (line.kind == LineKind::Error)
                ADD_FAILURE() << line.text;
        }
        m_todos = run.log().todos();
        m_warnings = run.log().warnings();
        m_copy = m_site + "/" + run.startSigns().copySign(1) + "strand.htm";
        const auto doorway = run.doorwayExamplePath(false);
        ASSERT_TRUE(doorway.has_value());
        m_doorway = *doorway;
    }

    std::size_t linesWith(const std::string &part) const
    {
        return static_cast<std::size_t>(
            std::count_if(m_lines.begin(), m_lines.end(), [&](const std::string &l) { return contains(l, part); }));
    }

    std::string homepage() const { return m_site + "/index.htm"; }

    std::string m_site;
    std::vector<std::string> m_lines;
    std::vector<std::string> m_todos;
    int m_warnings = 0;
    std::string m_copy;
    std::string m_doorway;
};

TEST_F(ModernHeadRunTest, HomepageCopyAndDoorwayGetEachElementOnceHoweverOftenTheSiteIsOptimised)
{
    writeFile(homepage(), "<HTML>\r\n<HEAD>\r\n<TITLE>Alt</TITLE>\r\n"
                          "<link rel=\"canonical\" href=\"https://alt.example/\">\r\n</HEAD>\r\n"
                          "<BODY>\r\n<p>Hallo</p>\r\n</BODY>\r\n</HTML>\r\n");
    setSubmissionUrl("www.example.de/");
    allFour(3);
    std::vector<std::string> homepages;
    std::vector<std::string> copies;
    std::vector<std::string> doorwayDocuments;
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        runOnce();
        homepages.push_back(readFile(homepage()));
        copies.push_back(readFile(m_copy));
        doorwayDocuments.push_back(readFile(m_doorway));
        for (const std::string *page : {&homepages.back(), &copies.back(), &doorwayDocuments.back()}) {
            expectOneOfEach(*page);
            EXPECT_TRUE(contains(*page, kCanonical + "\r\n")) << *page;
            EXPECT_FALSE(contains(*page, "alt.example")) << *page;
        }
        EXPECT_EQ(linesWith(de("     canonical eingefügt: ") + kUrl), 1u);
        EXPECT_EQ(linesWith(de("     canonical eingefügt in 1 Kopie: ") + kUrl), 1u);
        // Both terms, Haus and Strand, with an index and a term document.
        EXPECT_EQ(linesWith(de("     og:title eingefügt in 4 Zugangsdokumenten")), 1u);
        EXPECT_EQ(m_warnings, 0);
    }
    EXPECT_TRUE(contains(copies[0], "<meta property=\"og:title\" content=\"Strand - Titel eins\">")) << copies[0];
    EXPECT_TRUE(contains(copies[0], "<meta property=\"og:description\" content=\"Strand: Beschreibung\">"));
    EXPECT_TRUE(contains(doorwayDocuments[0], "content=\"Haus - Titel eins - HAUS\"")) << doorwayDocuments[0];
    EXPECT_EQ(homepages[1], homepages[0]);
    EXPECT_EQ(homepages[2], homepages[0]);
    // Copies are made from the homepage of the run before; from the second
    // run on that is the same page. Their hidden elements go to places drawn
    // anew each run, their heads do not.
    EXPECT_EQ(headOf(copies[2]), headOf(copies[1]));
    EXPECT_EQ(headOf(doorwayDocuments[2]), headOf(doorwayDocuments[0]));
}

TEST_F(ModernHeadRunTest, UmlautsGoIntoEachPageInItsOwnEncoding)
{
    // "Façade" has no named entity and goes in as a character.
    projectRecord().title1 = de("Façade & Grüße");
    projectRecord().description = de("Schöne Façaden");
    allFour(3);
    setSubmissionUrl("www.example.de");
    struct Case {
        const char *name;
        std::string head; // what the homepage and the template declare
        std::string koeln; // the homepage's own text
        std::string title;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"UTF-8", "<meta charset=\"utf-8\">\n", "K\xc3\xb6ln", "Fa\xc3\xa7" "ade & Gr&uuml;&szlig;e",
         "Sch&ouml;ne Fa\xc3\xa7" "aden"},
        {"cp1252", "", "K\xf6ln", "Fa\xe7" "ade & Gr&uuml;&szlig;e", "Sch&ouml;ne Fa\xe7" "aden"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(homepage(), "<html>\n<head>\n" + c.head + "<title>Alt</title>\n</head>\n<body>\n<p>" + c.koeln +
                                  "</p>\n</body>\n</html>\n");
        writeFile(m_site + "/vantor!!/index.htm", "<html>\n<head>\n" + c.head +
                                                      "<title>Vorlage</title>\n</head>\n<body>\n"
                                                      "<h1>%Suchbegriff%</h1>\n</body>\n</html>\n");
        runOnce();
        for (const std::string &path : {homepage(), m_copy, m_doorway}) {
            const std::string page = readFile(path);
            expectOneOfEach(page);
            EXPECT_TRUE(contains(page, c.title)) << page;
            EXPECT_TRUE(contains(page, c.description + "\">")) << page;
        }
        const std::string page = readFile(homepage());
        EXPECT_TRUE(contains(page, "<meta property=\"og:title\" content=\"" + c.title + "\">")) << page;
        EXPECT_TRUE(contains(page, "<p>" + c.koeln + "</p>")) << page;
    }
}

TEST_F(ModernHeadRunTest, MissingSubmissionUrlIsWarnedAndToldOncePerRun)
{
    writeFile(homepage(), "<html><head><title>Alt</title></head><body>Hallo</body></html>");
    projectRecord().copyKeywords[0][1] = "Meer";
    projectRecord().scope = 2;
    allFour(3);
    runOnce();
    EXPECT_EQ(linesWith(de("     WARNUNG: Anmelde-URL des Projekts fehlt, canonical nicht eingefügt")), 1u);
    EXPECT_EQ(linesWith("WARNUNG"), 1u);
    EXPECT_EQ(std::count(m_todos.begin(), m_todos.end(),
                         de("Tragen Sie in der Anmeldung die URL Ihrer Homepage ein, damit Vantor!! den "
                            "canonical-Link setzen kann.")),
              1);
    for (const std::string &path : {homepage(), m_copy, m_doorway}) {
        const std::string page = readFile(path);
        EXPECT_FALSE(contains(page, "canonical")) << page;
        EXPECT_FALSE(contains(page, "og:url")) << page;
        EXPECT_TRUE(contains(page, "og:title")) << page;
    }

    // Without canonical asked for, the missing address is no warning.
    projectOptions().cano = 0;
    runOnce();
    EXPECT_EQ(linesWith("Anmelde-URL"), 0u);
    EXPECT_EQ(m_warnings, 0);
}

TEST_F(ModernHeadRunTest, AllFourOffLeaveNoTraceAndReadNoSubmissionSettings)
{
    const std::string page = "<html>\n<head>\n<title>Alt</title>\n</head>\n<body>\nHallo\n</body>\n</html>\n";
    writeFile(homepage(), page);
    setSubmissionUrl("www.example.de");
    allFour(0);
    runOnce();
    for (const std::string &path : {homepage(), m_copy, m_doorway}) {
        const std::string text = readFile(path);
        for (const char *trace : {"canonical", "viewport", "og:", "lang="})
            EXPECT_FALSE(contains(text, trace)) << path << "\n" << text;
    }
    for (const char *trace : {"canonical", "viewport", "og:", "lang=", "Anmelde-URL"})
        EXPECT_EQ(linesWith(trace), 0u) << trace;
}

TEST_F(ModernHeadRunTest, SitemapStillListsTheHomepageItsCanonicalNames)
{
    struct Case {
        std::string submissionUrl;
        std::string scheme;
        std::string homepageUrl; // UTF-8, as the sitemap has it
    };
    const std::vector<Case> cases = {
        {"www.example.de", "https", kUrl},
        {"http://www.example.de/shop/", "http", "http://www.example.de/shop/index.htm"},
        {de("www.müller-bau.de"), "https", "https://www.m\xc3\xbcller-bau.de/index.htm"},
    };
    allFour(3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.homepageUrl);
        writeFile(homepage(), "<html><head><title>Alt</title></head><body>Hallo</body></html>");
        setSubmissionUrl(c.submissionUrl, c.scheme);
        runOnce();

        sitemap::Input input;
        input.submissionUrl = submitsettings::readEntries(projectPath("p")).url;
        input.scheme = submitsettings::readSiteScheme(projectPath("p"));
        input.homepagePath = homepage();
        input.outDirectory = root() + "/out";
        fs::create_directories(input.outDirectory);
        const sitemap::Result result = sitemap::write(input);
        ASSERT_TRUE(result.ok) << result.problemText;
        const std::string xml = readFile(input.outDirectory + "/sitemap.xml");
        EXPECT_TRUE(contains(xml, "<loc>" + c.homepageUrl + "</loc>")) << xml;
        EXPECT_EQ(result.urls, 1u) << xml;
        // The bare address, the copy and the four doorway documents point to
        // the homepage, and the engines are told that one.
        EXPECT_EQ(result.canonical, 6u);
    }
}

} // namespace
