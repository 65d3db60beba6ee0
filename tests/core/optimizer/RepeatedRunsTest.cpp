#include "TestEnvironment.h"

#include "optimizer/OptimizationRun.h"
#include "optimizer/RunLog.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

std::size_t occurrences(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

std::size_t lineCount(const std::string &text, const std::string &lineEnd)
{
    return occurrences(text, lineEnd) + 1;
}

// Lines that hold nothing but blanks or tabs: what an element leaves behind
// when it goes without its line.
bool hasWhitespaceOnlyLine(const std::string &text, const std::string &lineEnd)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(lineEnd, start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.find_first_not_of(" \t") == std::string::npos)
            return true;
        if (end == std::string::npos)
            return false;
        start = end + lineEnd.size();
    }
}

struct GeneratedPage {
    std::string text;
    std::string lineEnd;
    // Stretches with the user's own blank lines, which every run keeps.
    std::vector<std::string> blankLines;
    std::string description;
};

// Homepages as editors write them: either line end, with or without head
// elements of their own (which a run replaces), indented or not, with the
// places hidden elements are anchored at or without them.
GeneratedPage generatedPage(const std::string &le, bool ownHead, bool anchors, bool indented)
{
    const std::string in = indented ? "    " : "";
    GeneratedPage page;
    page.lineEnd = le;
    page.description = std::string(le == "\r\n" ? "CR LF" : "LF") + (ownHead ? ", own head" : "")
        + (anchors ? ", anchors" : "") + (indented ? ", indented" : "");
    std::string &t = page.text;
    t = "<!DOCTYPE html>" + le + "<html>" + le + "<head>" + le;
    t += in + "<link rel=\"stylesheet\" href=\"s.css\">" + le + le;
    page.blankLines.push_back("<link rel=\"stylesheet\" href=\"s.css\">" + le + le);
    if (ownHead) {
        t += in + "<meta name=\"keywords\" content=\"alt, veraltet\">" + le;
        t += in + "<META NAME=\"author\" CONTENT=\"Jemand\">" + le;
        t += in + "<meta name=\"description\" content=\"Alte Beschreibung\">" + le;
        t += in + "<meta name=\"robots\" content=\"noindex\">" + le;
        t += in + "<link rel=Home href=\"index.htm\">" + le;
        t += in + "<title>Alter Titel</title>" + le;
    }
    t += "</head>" + le + "<body>" + le;
    t += in + "<p>Absatz eins</p>" + le + le + le + in + "<p>Absatz zwei</p>" + le;
    page.blankLines.push_back("<p>Absatz eins</p>" + le + le + le + in + "<p>Absatz zwei</p>");
    if (anchors) {
        t += in + "<h2>Angebot</h2>" + le;
        t += in + "<p>Text&nbsp;mit <strong>fett</strong> und<br>Umbruch</p>" + le;
        t += in + "<blockquote>Zitat</blockquote>" + le;
        t += in + "<h1>Noch eine</h1>" + le;
    }
    t += "</body>" + le + "</html>" + le;
    return page;
}

class RepeatedRunsTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(m_site + "/vantor!!/index.htm",
            "<html>\r\n<head>\r\n<title>Vorlage</title>\r\n</head>\r\n<body>\r\n<h1>%Suchbegriff%</h1>\r\n"
            "<p>%Firma%</p>\r\n</body>\r\n</html>\r\n");
        ProjectRecord &record = projectRecord();
        record.author = "Firma";
        record.description = "Beschreibung";
        record.title1 = "Titel eins";
        record.title2 = "Titel zwei";
        record.homepageKeywords[0] = "Haus";
        record.homepageKeywords[1] = "Garten";
        record.homepageKeywords[9] = "Zaun";
        record.copyKeywords[0] = {};
        record.copyKeywords[0][0] = "Strand";
        record.copyKeywords[0][1] = "Meer";
        record.copyKeywords[0][2] = "Sand";
        record.scope = 2;
        record.makedirs = 1;
        record.deleteold = 1;
        ProjectOptions &options = projectOptions();
        for (int *option : { &options.auth, &options.robo, &options.gene, &options.copy, &options.link, &options.desc,
                 &options.keyw, &options.titl, &options.text, &options.komm, &options.vlin, &options.vcop,
                 &options.altt, &options.nofr, &options.hiddenForm })
            *option = 3;
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
    }

    void runOnce()
    {
        OptimizationRun run(ui, "p");
        run.begin();
        run.run(false, false);
        EXPECT_EQ(run.log().errors(), 0);
        for (const auto &line : run.log().lines())
            if (line.kind == LineKind::Error)
                ADD_FAILURE() << line.text;
    }

    std::string homepage() const { return m_site + "/index.htm"; }

    std::string m_site;
};

TEST_F(RepeatedRunsTest, RunsOnTheSameDataLeaveTheHomepageAsTheFirstRunDid)
{
    for (const std::string le : { "\r\n", "\n" }) {
        for (const bool ownHead : { false, true }) {
            for (const bool anchors : { false, true }) {
                const GeneratedPage page = generatedPage(le, ownHead, anchors, ownHead != anchors);
                SCOPED_TRACE(page.description);
                writeFile(homepage(), page.text);
                std::vector<std::string> results;
                std::vector<std::size_t> copyLines;
                for (int run = 1; run <= 10; ++run) {
                    runOnce();
                    results.push_back(readFile(homepage()));
                    copyLines.push_back(lineCount(readFile(m_site + "/!strand.htm"), le));
                }
                const std::string &first = results.front();
                // Every run gives the homepage the same elements at the same
                // places: nothing is left over from the one before.
                for (std::size_t run = 1; run < results.size(); ++run)
                    EXPECT_EQ(results[run], first) << "run " << run + 1;
                EXPECT_EQ(lineCount(results.back(), le), lineCount(first, le));
                // Copies are made from the homepage of the run before; from
                // the second run on that is always the same page.
                for (std::size_t run = 2; run < copyLines.size(); ++run)
                    EXPECT_EQ(copyLines[run], copyLines[1]) << "copy of run " << run + 1;

                // The user's own blank lines stay, and his head elements that
                // a run replaces go with their lines.
                for (const std::string &blank : page.blankLines)
                    EXPECT_EQ(occurrences(first, blank), 1u) << first;
                EXPECT_FALSE(hasWhitespaceOnlyLine(first.substr(0, first.find("</HEAD>")), le)) << first;
                EXPECT_EQ(occurrences(first, "<qx!>"), 1u);
                EXPECT_EQ(occurrences(first, "<!--qx! "), 1u);
                EXPECT_EQ(occurrences(first, "value=\"qx! "), 1u);
                EXPECT_EQ(occurrences(first, "vantor.gif"), 5u);
                EXPECT_EQ(occurrences(first, "Alter Titel"), 0u);
                EXPECT_EQ(occurrences(first, "Jemand"), 0u);
            }
        }
    }
}

TEST_F(RepeatedRunsTest, ElementsRemovedFromAPageTakeOnlyTheLineEndTheyCameWith)
{
    // The user's own elements on lines of their own, and one among other
    // text on its line: the lines go, the neighbours stay where they are.
    writeFile(homepage(),
        "<html>\n<head>\n  <title>Alt</title>\n\n<meta name=\"author\" content=\"x\"><link "
        "rel=\"icon\" href=\"i.png\">\n</head>\n<body>\nHallo\n</body>\n</html>\n");
    ProjectOptions &options = projectOptions();
    for (int *option : { &options.robo, &options.gene, &options.copy, &options.link, &options.desc, &options.keyw,
             &options.text, &options.komm, &options.vlin, &options.hiddenForm })
        *option = 0;
    options.titl = options.auth = 1;
    ASSERT_TRUE(SaveProjectOptions("p"));
    runOnce();
    // The head's own line break now follows our element; the user's blank
    // line stays.
    EXPECT_EQ(readFile(homepage()),
        "<html>\n<HEAD><META NAME=\"author\" CONTENT=\"Firma\">\n\n\n<link rel=\"icon\" "
        "href=\"i.png\">\n<TITLE> Titel eins </TITLE>\n</HEAD>\n<BODY>\nHallo\n</BODY>\n"
        "</html>\n");
    const std::string once = readFile(homepage());
    runOnce();
    EXPECT_EQ(readFile(homepage()), once);
}

} // namespace
