#include "PageContextTest.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/HeadElements.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <string>

using namespace vantor;
using vantor::testing::contains;
using vantor::testing::count;

namespace {

class HeadElementsTest : public vantor::testing::PageContextTest
{
protected:
    void SetUp() override
    {
        PageContextTest::SetUp();
        context.homepageFileName = "Index.htm";
        // Every head option off; each test switches on what it looks at.
        ProjectOptions &o = projectOptions();
        o.auth = o.robo = o.gene = o.copy = o.link = o.desc = o.keyw = o.titl = o.buch = 0;
    }

    bool warned(const std::string &text) const
    {
        for (const auto &line : log.lines())
            if (line.text == text && line.kind == LineKind::Warning)
                return true;
        return false;
    }

};

const std::string kPage = "<html><HEAD>\n<title>Alt</title>\n</HEAD><BODY>Text</BODY></html>";

TEST_F(HeadElementsTest, HomepageHeadStartsWithHomeLinkThenRobotsThenAuthor)
{
    options().auth = options().robo = options().link = 1;
    record().author = de("Müller & Söhne");
    std::string page = kPage;
    writeHomepageHeader(context, page);
    EXPECT_EQ(page, "<html><HEAD><LINK REL=Home>\n<META NAME=\"robots\" CONTENT=\"index, follow\">\n"
                    "<META NAME=\"author\" CONTENT=\"M&uuml;ller & S&ouml;hne\">\n\n<title>Alt</title>\n</HEAD>"
                    "<BODY>Text</BODY></html>");
    EXPECT_EQ(log.warnings(), 0);

    // Optimised again: still one of each.
    writeHomepageHeader(context, page);
    EXPECT_EQ(count(page, "<LINK REL=Home>"), 1u);
    EXPECT_EQ(count(page, "NAME=\"robots\""), 1u);
    EXPECT_EQ(count(page, "NAME=\"author\""), 1u);
    EXPECT_EQ(page.find("<LINK REL=Home>"), std::string("<html><HEAD>").size());
}

TEST_F(HeadElementsTest, MetaGoesInItsFourSpellingsOnly)
{
    options().auth = 1;
    record().author = "Neu";
    std::string page = "<HEAD><meta name=\"author\" content=\"a\"><meta name=\"AUTHOR\" content=\"b\">"
                       "<META NAME=\"AUTHOR\" content=\"c\"><META NAME=\"author\" content=\"d\">"
                       "<meta name=\"Author\" content=\"x\"></HEAD>";
    writeHomepageHeader(context, page);
    EXPECT_EQ(page, "<HEAD><META NAME=\"author\" CONTENT=\"Neu\">\n<meta name=\"Author\" content=\"x\"></HEAD>");
}

TEST_F(HeadElementsTest, MissingAuthorWarnsPerElementAndWritesNone)
{
    options().auth = options().gene = options().copy = 3;
    std::string page = kPage;
    writeHomepageHeader(context, page);
    EXPECT_EQ(page, kPage);
    EXPECT_EQ(log.warnings(), 3);
    EXPECT_TRUE(warned(de("     WARNUNG: Autor der Homepage nicht vorhanden und nicht eingefügt")));
    EXPECT_TRUE(warned(de("     WARNUNG: Generator (Autor) der Homepage nicht vorhanden und nicht eingefügt")));
    EXPECT_TRUE(warned(de("     WARNUNG: Copyright (Autor) nicht vorhanden und nicht eingefügt")));

    // Only the copies' switch: the homepage is left alone and nothing warns.
    RunLog quiet;
    context.log = &quiet;
    options().auth = options().gene = options().copy = 2;
    writeHomepageHeader(context, page);
    EXPECT_EQ(quiet.warnings(), 0);
}

TEST_F(HeadElementsTest, KeywordsAsEnteredEachWithItsComma)
{
    options().keyw = 1;
    record().homepageKeywords[0] = "Haus";
    record().homepageKeywords[2] = "Garten";
    std::string page = "<HEAD><meta name=\"keywords\" content=\"alt\"></HEAD>";
    writeHomepageHtmlData(context, page);
    EXPECT_EQ(page, "<HEAD><META NAME=\"keywords\" CONTENT=\"Haus, Garten, \">\n</HEAD>");

    record().homepageKeywords[3] = de("Gärten");
    writeHomepageHtmlData(context, page);
    EXPECT_TRUE(contains(page, de("CONTENT=\"Haus, Garten, Gärten, \"")));
    EXPECT_EQ(count(page, "keywords"), 1u);
}

TEST_F(HeadElementsTest, MissingHtmlDataWarnsWithTodosAndKeepsThePagesOwn)
{
    options().desc = options().keyw = options().titl = 1;
    std::string page = "<HEAD><title>Alt</title><meta name=\"keywords\" content=\"alt\"></HEAD>";
    const std::string before = page;
    writeHomepageHtmlData(context, page);
    EXPECT_EQ(page, before);
    EXPECT_EQ(log.warnings(), 3);
    EXPECT_TRUE(warned(de("     WARNUNG: Beschreibung der Homepage nicht vorhanden und nicht eingefügt")));
    EXPECT_TRUE(warned(de("     WARNUNG: Suchbegriffe der Homepage nicht vorhanden und nicht eingefügt")));
    EXPECT_TRUE(warned(de("     WARNUNG: Titel für Homepage nicht vorhanden und nicht eingefügt")));
    EXPECT_EQ(log.todos(), (std::vector<std::string>{de("Fügen Sie im Wizard eine Beschreibung der Homepage ein."),
                                                     de("Fügen Sie im Wizard Suchbegriffe für die Homepage ein."),
                                                     de("Fügen Sie im Wizard einen Titel für die Homepage ein.")}));
}

TEST_F(HeadElementsTest, HomepageTitleAndDescription)
{
    options().desc = options().titl = 1;
    record().description = de("Schöne Häuser");
    record().title1 = de("Ferienhäuser");
    std::string page = "<HEAD><title>a</title><TITLE>b</TITLE><title>c</title></HEAD><BODY></BODY>";
    writeHomepageHtmlData(context, page);
    EXPECT_EQ(page, "<HEAD><META NAME=\"description\" CONTENT=\"Sch&ouml;ne H&auml;user\">\n"
                    "<TITLE> Ferienh&auml;user </TITLE>\n</HEAD><BODY></BODY>");

    // Only the second title: the old ones go and none comes.
    record().title1.clear();
    record().title2 = "Zweiter";
    writeHomepageHtmlData(context, page);
    EXPECT_FALSE(contains(page, "TITLE"));
    EXPECT_FALSE(contains(page, "Zweiter"));
    EXPECT_EQ(log.warnings(), 0);
}

class CopyHeadTest : public HeadElementsTest
{
protected:
    void SetUp() override
    {
        HeadElementsTest::SetUp();
        for (int m = 0; m < ProjectRecord::kCopies; ++m)
            for (int v = 0; v < 3; ++v)
                record().copyKeywords[static_cast<std::size_t>(m)][static_cast<std::size_t>(v)] =
                    "Kopie" + std::to_string(m + 1) + "Begriff" + std::to_string(v + 1);
    }
};

TEST_F(CopyHeadTest, NextLinkGoesToTheSameFileOfTheNextCopy)
{
    options().link = 2;
    record().copyKeywords[1][0] = "Garten Haus";
    std::string page = "<HEAD><link rel=Home href=x><LINK REL=Home></HEAD>";
    writeCopyHead(context, page, 1, 0);
    EXPECT_EQ(page, "<HEAD><LINK REL=Next HREF=!gartenhaus.htm>\n</HEAD>");

    page = "<HEAD></HEAD>";
    writeCopyHead(context, page, 2, 1);
    EXPECT_EQ(page, "<HEAD><LINK REL=Next HREF=-kopie3begriff2.htm>\n</HEAD>");

    // The last copy and a next copy without the term get none.
    page = "<HEAD></HEAD>";
    writeCopyHead(context, page, 9, 0);
    EXPECT_EQ(page, "<HEAD></HEAD>");
    record().copyKeywords[4][2].clear();
    writeCopyHead(context, page, 4, 2);
    EXPECT_EQ(page, "<HEAD></HEAD>");

    signs.useStartSigns = false;
    writeCopyHead(context, page, 1, 0);
    EXPECT_EQ(page, "<HEAD><LINK REL=Next HREF=gartenhaus.htm>\n</HEAD>");

    // The homepage's switch alone does nothing to copies.
    options().link = 1;
    page = "<HEAD><LINK REL=Home></HEAD>";
    writeCopyHead(context, page, 1, 0);
    EXPECT_EQ(page, "<HEAD><LINK REL=Home></HEAD>");
}

TEST_F(CopyHeadTest, AuthorAndGeneratorOnlyInTheMainFileCopyrightInAll)
{
    options().auth = options().gene = options().copy = 2;
    record().author = "Firma";
    std::string main = "<HEAD></HEAD>";
    writeCopyHead(context, main, 3, 0);
    EXPECT_TRUE(contains(main, "NAME=\"author\""));
    EXPECT_TRUE(contains(main, "NAME=\"generator\""));
    EXPECT_TRUE(contains(main, "NAME=\"copyright\""));
    std::string second = "<HEAD></HEAD>";
    writeCopyHead(context, second, 3, 1);
    EXPECT_EQ(second, "<HEAD><META NAME=\"copyright\" CONTENT=\"Firma\">\n</HEAD>");

    record().author.clear();
    std::string none = "<HEAD></HEAD>";
    writeCopyHead(context, none, 3, 0);
    EXPECT_EQ(none, "<HEAD></HEAD>");
    EXPECT_EQ(log.warnings(), 0);
}

TEST_F(CopyHeadTest, DescriptionKeywordsAndTitles)
{
    options().desc = options().keyw = options().titl = 2;
    auto &terms = record().copyKeywords[1];
    for (auto &term : terms)
        term.clear();
    terms[0] = de("Häuser#3");
    terms[1] = "Garten";
    record().description = "Allgemein";
    record().copyDescriptions[1] = "Eigene";
    record().title1 = "Titel";
    record().title2 = "Zwei";
    record().copyTitles[1] = "Kopietitel";

    std::string page = "<HEAD><title>alt</title></HEAD><BODY></BODY>";
    writeCopyHead(context, page, 2, 0);
    EXPECT_EQ(page, "<HEAD><TITLE> H&auml;user - Titel </TITLE>\n"
                    "<META NAME=\"keywords\" CONTENT=\"H&auml;user, Garten, H&Auml;USER, GARTEN, \">\n"
                    "<META NAME=\"description\" CONTENT=\"H&auml;user: Allgemein\">\n"
                    "<TITLE>Zwei H&auml;user Garten </TITLE>\n</HEAD><BODY></BODY>");

    // deco, tico and buch switch to the copy's own texts and the "!".
    options().deco = 1;
    options().tico = 1;
    options().buch = 2;
    page = "<HEAD></HEAD>";
    writeCopyHead(context, page, 2, 1);
    EXPECT_EQ(page, "<HEAD><TITLE> !H&auml;user - Kopietitel </TITLE>\n"
                    "<META NAME=\"keywords\" CONTENT=\"H&auml;user, Garten, \">\n"
                    "<META NAME=\"description\" CONTENT=\"H&auml;user: Eigene\">\n</HEAD>");
}

class DoorwayHeadTest : public HeadElementsTest
{
protected:
    void SetUp() override
    {
        HeadElementsTest::SetUp();
        doorways.slots[3].term = "Haus";
        doorways.slots[7].term = de("Gärten Nord");
    }
};

TEST_F(DoorwayHeadTest, EmptyAuthorGivesTheIndexDocumentAnEmptyElementOnly)
{
    options().auth = options().gene = options().copy = 2;
    const std::string page = "<HEAD><meta name=\"author\" content=\"Vorlage\"></HEAD>";
    std::string index = page;
    writeDoorwayHead(context, index, "Haus", 3, 0);
    EXPECT_EQ(index, "<HEAD><META NAME=\"copyright\" CONTENT=\"\">\n<META NAME=\"generator\" CONTENT=\"\">\n"
                     "<META NAME=\"author\" CONTENT=\"\">\n<meta name=\"author\" content=\"Vorlage\"></HEAD>");
    std::string term = page;
    writeDoorwayHead(context, term, "Haus", 3, 1);
    EXPECT_EQ(term, "<HEAD></HEAD>");

    record().author = "Firma";
    term = page;
    writeDoorwayHead(context, term, "Haus", 3, 1);
    EXPECT_EQ(count(term, "CONTENT=\"Firma\""), 3u);
    EXPECT_FALSE(contains(term, "Vorlage"));
}

TEST_F(DoorwayHeadTest, NextLinkToTheNextDoorwayDirectory)
{
    options().link = 2;
    std::string page = "<HEAD><LINK REL=Home></HEAD>";
    writeDoorwayHead(context, page, "Haus", 3, 0);
    EXPECT_EQ(page, "<HEAD><LINK REL=Next HREF=\"../!gaertennord/index.htm\">\n<LINK REL=Home></HEAD>");

    // The term document and the last term get none.
    page = "<HEAD></HEAD>";
    writeDoorwayHead(context, page, "Haus", 3, 1);
    writeDoorwayHead(context, page, de("Gärten Nord"), 7, 0);
    EXPECT_EQ(page, "<HEAD></HEAD>");

    record().doorlikehp = 0;
    record().startpage = "Start.HTML";
    signs.doorway = "=";
    writeDoorwayHead(context, page, "Haus", 3, 0);
    EXPECT_EQ(page, "<HEAD><LINK REL=Next HREF=\"../=gaertennord/start.html\">\n</HEAD>");
}

TEST_F(DoorwayHeadTest, KeywordsRepeatTheTermAfterEveryTenthHomepageSlot)
{
    options().keyw = 2;
    for (int k = 0; k < 30; ++k)
        if (k != 19)
            record().homepageKeywords[static_cast<std::size_t>(k)] = "h" + std::to_string(k);
    std::string page = "<HEAD></HEAD>";
    writeDoorwayHead(context, page, de("Gärten"), 7, 0);
    std::string expected = "G&auml;rten";
    for (int k = 0; k < 30; ++k) {
        if (k == 19)
            continue;
        expected += ", h" + std::to_string(k);
        if (k % 10 == 9)
            expected += ", g&auml;rten";
    }
    EXPECT_EQ(page, "<HEAD><META NAME=\"keywords\" CONTENT=\"" + expected + "\">\n</HEAD>");

    page = "<HEAD></HEAD>";
    writeDoorwayHead(context, page, "Haus", 3, 1);
    EXPECT_EQ(page, "<HEAD><META NAME=\"keywords\" CONTENT=\"Haus\">\n</HEAD>");
}

TEST_F(DoorwayHeadTest, SpecialKeywordRuleGivesTheTermDocumentItsTermAlone)
{
    const std::string page = "<HEAD><meta name=\"keywords\" content=\"Vorlage\"></HEAD>";
    std::string term = page;
    writeDoorwayHead(context, term, "Haus", 3, 1);
    EXPECT_EQ(term, page);

    ASSERT_TRUE(settingsStore().writeNumber("usespecialkeywordrule", 1));
    writeDoorwayHead(context, term, "Haus", 3, 1);
    EXPECT_EQ(term, "<HEAD><META NAME=\"keywords\" CONTENT=\"Haus\">\n</HEAD>");
    std::string index = page;
    writeDoorwayHead(context, index, "Haus", 3, 0);
    EXPECT_EQ(index, page);
}

TEST_F(DoorwayHeadTest, TwoTitlesFromTheTermAndTheProjectTitles)
{
    options().titl = 2;
    record().title1 = "Eins";
    record().title2 = "Zwei";
    std::string page = "<HEAD><TITLE>%Suchbegriff%</TITLE><title>x</title><title>y</title></HEAD>";
    writeDoorwayHead(context, page, de("Gärten"), 7, 0);
    EXPECT_EQ(page, "<HEAD><TITLE> G&auml;rten - Eins - G&Auml;RTEN</TITLE>\n<title>y</title>"
                    "<TITLE> G&auml;rten - Zwei - G&Auml;RTEN G&auml;rten</TITLE>\n</HEAD>");

    options().buch = 3;
    record().title2.clear();
    page = "<HEAD></HEAD>";
    writeDoorwayHead(context, page, "Haus", 3, 1);
    EXPECT_EQ(page, "<HEAD><TITLE> !Haus - Eins - HAUS</TITLE>\n</HEAD>");
}

} // namespace
