#include "TestEnvironment.h"

#include "optimizer/DoorwayPages.h"
#include "optimizer/OptimizationRun.h"
#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

const char *const kHomepage = "<html>\r\n<head>\r\n<title>Alt</title>\r\n</head>\r\n<body>\r\nHallo\r\n</body>\r\n</html>\r\n";

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class DoorwayPagesTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(m_site + "/index.htm", kHomepage);
        writeTemplate("index.htm", "<HTML><HEAD></HEAD><BODY>[0:%Suchbegriff%]</BODY></HTML>");
        projectRecord().author = "Meier";
        // The hidden elements go in front of the markers; without them the
        // filled-in text stands together.
        ProjectOptions &options = projectOptions();
        options.komm = options.vlin = options.text = options.hiddenForm = 1;
    }

    void writeTemplate(const std::string &name, const std::string &text) const
    {
        writeFile(m_site + "/vantor!!/" + name, text);
    }

    void runOnce(OptimizationRun &run)
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
        run.begin();
        run.run(false, false);
    }

    std::vector<std::string> lines(const OptimizationRun &run) const
    {
        std::vector<std::string> result;
        for (const auto &line : run.log().lines())
            result.push_back(line.text);
        return result;
    }
    bool hasLine(const OptimizationRun &run, const std::string &text) const
    {
        const auto all = lines(run);
        return std::find(all.begin(), all.end(), text) != all.end();
    }
    bool hasTodo(const OptimizationRun &run, const std::string &text) const
    {
        const auto &t = run.log().todos();
        return std::find(t.begin(), t.end(), text) != t.end();
    }

    std::string m_site;
};

TEST(DoorwayTermsTest, HomepageTermsKeepTheirSlotsTheOthersFollowAndDuplicatesGo)
{
    ProjectRecord record;
    record.homepageKeywords[0] = "Ferienhaus";
    record.homepageKeywords[2] = "Nordsee#4";
    record.copyKeywords[0][0] = "ferienhaus";
    record.copyKeywords[0][1] = "Strand";
    record.doorwayKeywords[0] = "NORD SEE";
    record.doorwayKeywords[1] = "..";
    record.doorwayKeywords[2] = "Ferienhaus Nordsee#2";
    std::vector<std::string> unusable;
    const DoorwayTerms list = buildDoorwayTerms(record, true, unusable);
    EXPECT_EQ(list.slots[0].term, "Ferienhaus");
    EXPECT_TRUE(list.slots[1].term.empty());
    EXPECT_EQ(list.slots[2].term, "Nordsee");
    EXPECT_EQ(list.slots[2].templateNumber, 4);
    EXPECT_EQ(list.slots[30].term, "Strand");
    EXPECT_EQ(list.slots[31].term, "Ferienhaus Nordsee");
    EXPECT_EQ(list.slots[31].templateNumber, 2);
    EXPECT_TRUE(list.slots[32].term.empty());
    EXPECT_EQ(unusable, std::vector<std::string>{".."});

    unusable.clear();
    const DoorwayTerms without = buildDoorwayTerms(record, false, unusable);
    EXPECT_TRUE(without.slots[0].term.empty());
    EXPECT_EQ(without.slots[30].term, "ferienhaus");
    EXPECT_EQ(without.slots[32].term, "NORD SEE");
}

TEST_F(DoorwayPagesTest, TermWithTemplateNumberMakesItsDirectoryDocumentsAndImage)
{
    writeTemplate("index2.htm", "<HTML><HEAD></HEAD><BODY>[2:%Suchbegriff%|%SuchbegriffConverted%|"
                                "%SuchbegriffIntern%|%Firma%]</BODY></HTML>");
    projectRecord().doorwayKeywords[0] = de("Ferienhaus Nordsee#2");
    projectRecord().doorwayKeywords[1] = de("Größe");
    projectRecord().scope = 1;
    OptimizationRun run(ui, "p");
    runOnce(run);

    const std::string dir = m_site + "/!ferienhausnordsee";
    EXPECT_TRUE(hasLine(run, "     Verzeichnis \"" + dir + "\" angelegt"));
    EXPECT_TRUE(hasLine(run, de("     Zugangsdokument(e) für den Begriff \"Ferienhaus Nordsee\" erzeugt und optimiert")));
    const std::string index = readFile(dir + "/index.htm");
    EXPECT_TRUE(contains(index, "[2:Ferienhaus Nordsee|ferienhausnordsee|Ferienhaus Nordsee|Meier]")) << index;
    EXPECT_TRUE(contains(readFile(dir + "/ferienhausnordsee.htm"), "[2:Ferienhaus Nordsee|"));
    EXPECT_EQ(fs::file_size(dir + "/ferienhausnordsee.gif"), 42u);
    EXPECT_TRUE(contains(readFile(m_site + "/!groesse/index.htm"), "[0:Gr&ouml;&szlig;e]"));
    EXPECT_FALSE(run.noDoorwayMade());
    EXPECT_TRUE(hasTodo(run, "Kopieren Sie die Dateien in den Verzeichnissen beginnend mit \"!\" auf den Web-Server"));
    // Longest and shortest term for the example buttons.
    EXPECT_EQ(run.doorwayExamplePath(true), dir + "/index.htm");
    EXPECT_EQ(run.doorwayExamplePath(false), m_site + "/!groesse/index.htm");
}

TEST_F(DoorwayPagesTest, NumberedTemplateWithHeadAndBodyInMixedCaseGetsItsElements)
{
    // Only index.htm passes the template check; a numbered template is
    // read as its author wrote it.
    writeTemplate("index3.htm", "<html><Head lang=\"de\"></Head><Body bgcolor=\"#ffffff\">%Suchbegriff%</Body></html>");
    projectRecord().doorwayKeywords[0] = "Strand#3";
    projectRecord().title1 = "Titel";
    projectOptions().komm = 3;
    OptimizationRun run(ui, "p");
    runOnce(run);

    EXPECT_EQ(run.log().errors(), 0);
    const std::string index = readFile(m_site + "/!strand/index.htm");
    EXPECT_TRUE(contains(index, "<HEAD lang=\"de\"><TITLE> Strand - Titel - STRAND</TITLE>")) << index;
    EXPECT_TRUE(contains(index, "<META NAME=\"copyright\" CONTENT=\"Meier\">")) << index;
    const std::size_t body = index.find("<BODY bgcolor=\"#ffffff\">");
    ASSERT_NE(body, std::string::npos) << index;
    EXPECT_GT(index.find("<!-- Strand, "), body) << index;
    EXPECT_LT(index.find("<!-- Strand, "), index.find("</BODY>")) << index;
}

TEST_F(DoorwayPagesTest, ScopeZeroWritesNoTermDocumentAndSpecialTemplatesServeTermDocuments)
{
    projectRecord().doorwayKeywords[0] = "Haus";
    projectRecord().scope = 0;
    {
        OptimizationRun run(ui, "p");
        runOnce(run);
        EXPECT_TRUE(files::isFile(m_site + "/!haus/index.htm"));
        EXPECT_FALSE(files::exists(m_site + "/!haus/haus.htm"));
    }
    ASSERT_TRUE(settingsStore().writeNumber("usespecialdoorwaytemplate", 1));
    projectRecord().deleteold = 0;
    writeTemplate("Suchbegriff.htm", "<HTML><HEAD></HEAD><BODY>[S:%Suchbegriff%]</BODY></HTML>");
    projectRecord().scope = 1;
    OptimizationRun run(ui, "p");
    runOnce(run);
    // A directory that is there already is not announced again.
    EXPECT_FALSE(hasLine(run, "     Verzeichnis \"" + m_site + "/!haus\" angelegt"));
    EXPECT_TRUE(contains(readFile(m_site + "/!haus/haus.htm"), "[S:Haus]"));
    EXPECT_TRUE(contains(readFile(m_site + "/!haus/index.htm"), "[0:Haus]"));
}

TEST_F(DoorwayPagesTest, SameNameInHomepageAndCopyTermsGivesOneDirectoryAndSignsFollowSettings)
{
    ASSERT_TRUE(settingsStore().writeNumber("specialcharacters", 0));
    projectRecord().homepageKeywords[0] = "Ferienhaus";
    projectRecord().copyKeywords[0][0] = "ferienhaus";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(files::isFile(m_site + "/ferienhaus/index.htm"));
    const auto all = lines(run);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const std::string &l) { return contains(l, "angelegt"); }), 1);
}

TEST_F(DoorwayPagesTest, HomepageTermsCanBeLeftOutOfTheDoorways)
{
    ASSERT_TRUE(settingsStore().writeNumber("dontuseHPkeywordsfordoorways", 1));
    projectRecord().homepageKeywords[0] = "Ferienhaus";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_FALSE(files::exists(m_site + "/!ferienhaus"));
    EXPECT_TRUE(run.noDoorwayMade());
    EXPECT_TRUE(hasLine(run, de("     WARNUNG: Keine Verzeichnisse für Zugangsdokumente erstellt, da keine angegeben "
                                "wurden")));
}

TEST_F(DoorwayPagesTest, FirmaWithoutAuthorStopsTheRunAtTheFirstDoorway)
{
    writeTemplate("index.htm", "<HTML><HEAD></HEAD><BODY>%Suchbegriff% %Firma%</BODY></HTML>");
    projectRecord().author = "";
    projectRecord().doorwayKeywords[0] = "Haus";
    projectRecord().doorwayKeywords[1] = "Boot";
    OptimizationRun run(ui, "p");
    runOnce(run);
    const auto all = lines(run);
    const auto at = std::find(all.begin(), all.end(),
                              de("     FEHLER: Die Vorlage enthält den Text %Firma%, es ist aber kein Autor definiert. "
                                 "String %Firma% kann nicht ersetzt werden!"));
    ASSERT_NE(at, all.end());
    ASSERT_GE(all.end() - at, 3);
    EXPECT_EQ(*(at + 1), "OPTIMIERUNG ABGEBROCHEN");
    EXPECT_EQ(*(at + 2), de("     FEHLER: Zugangsdokument(e) für den Begriff \"Haus\" konnte nicht optimiert werden"));
    EXPECT_TRUE(hasTodo(run, de("Geben Sie einen Autor an, diese Angabe wird dann für den String %Firma% bei den "
                                "Vorlagen verwendet")));
    // What was written before the end stays: the bare template.
    EXPECT_EQ(readFile(m_site + "/!haus/index.htm"), "<HTML><HEAD></HEAD><BODY>%Suchbegriff% %Firma%</BODY></HTML>");
    EXPECT_FALSE(files::exists(m_site + "/!boot"));
    EXPECT_FALSE(hasLine(run, "=== Homepage optimieren ==="));
    EXPECT_EQ(readFile(m_site + "/index.htm"), kHomepage);
}

TEST_F(DoorwayPagesTest, MissingNumberedTemplateAbortsWithTheDocumentPath)
{
    projectRecord().doorwayKeywords[0] = "Haus#7";
    OptimizationRun run(ui, "p");
    runOnce(run);
    const std::string index = m_site + "/!haus/index.htm";
    EXPECT_TRUE(hasLine(run, de("     FEHLER: Zugangsdokument(e) für den Begriff \"") + index +
                                 de("\" kann nicht erstellt/überschrieben werden")));
    EXPECT_TRUE(hasLine(run, "OPTIMIERUNG ABGEBROCHEN"));
}

TEST_F(DoorwayPagesTest, TextBlocksFollowTheirKeywordAndDocumentRules)
{
    writeTemplate("index.htm", "<HTML><HEAD></HEAD><BODY>%Suchbegriff% [%Textbaustein1%|%Textbaustein2%|%Textbaustein3%|"
                               "%Textbaustein1%]</BODY></HTML>");
    writeFile(m_site + "/Textbausteine.txt",
              de("Textbaustein1=Schöne Häuser\r\nTextbaustein1.Keyword=Hausbau\r\nTextbaustein1.IndexDoorway=1\r\n"
                 "Textbaustein2=Nur drinnen\r\nTextbaustein2.Keyword=ALL\r\nTextbaustein2.KeywordDoorway=1\r\n"
                 "Textbaustein3=Anderes\r\nTextbaustein3.Keyword=Boot\r\nTextbaustein3.IndexDoorway=1\r\n"));
    // "Keyword=Haus" is a part of "Keyword=Hausbau" and so holds for "Haus".
    projectRecord().doorwayKeywords[0] = "Haus";
    projectRecord().scope = 1;
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(contains(readFile(m_site + "/!haus/index.htm"), "[Sch&ouml;ne H&auml;user|||%Textbaustein1%]"));
    EXPECT_TRUE(contains(readFile(m_site + "/!haus/haus.htm"), "[|Nur drinnen||%Textbaustein1%]"));
}

TEST_F(DoorwayPagesTest, DescriptionComesFromTheFirstCopyWhoseTermIsPartOfTheDoorwayTerm)
{
    writeTemplate("index.htm", "<HTML><HEAD></HEAD><BODY>%Suchbegriff% [%Beschreibung%]</BODY></HTML>");
    projectRecord().description = "Allgemein";
    projectRecord().copyKeywords[1][3] = "Boot";
    projectRecord().copyDescriptions[1] = de("Über Boote");
    projectRecord().doorwayKeywords[0] = "Bootsverleih";
    projectRecord().doorwayKeywords[1] = "Haus";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(contains(readFile(m_site + "/!bootsverleih/index.htm"), "[&Uuml;ber Boote]"));
    EXPECT_TRUE(contains(readFile(m_site + "/!haus/index.htm"), "[Allgemein]"));
}

TEST_F(DoorwayPagesTest, TermsWithPathSyntaxNeverReachOutsideOrMakeHiddenEntries)
{
    ASSERT_TRUE(settingsStore().writeNumber("specialcharacters", 0));
    projectRecord().doorwayKeywords[0] = "../../etc";
    projectRecord().doorwayKeywords[1] = "a/b";
    projectRecord().doorwayKeywords[2] = "..";
    projectRecord().doorwayKeywords[3] = "x\\y:z\x02";
    projectRecord().doorwayKeywords[4] = ".hidden";
    std::vector<std::string> before;
    for (const auto &entry : fs::directory_iterator(root()))
        before.push_back(entry.path().filename().string());
    OptimizationRun run(ui, "p");
    runOnce(run);

    std::vector<std::string> after;
    for (const auto &entry : fs::directory_iterator(root()))
        after.push_back(entry.path().filename().string());
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    for (const char *dir : {"etc", "ab", "xyz", "hidden"})
        EXPECT_TRUE(files::isFile(m_site + "/" + dir + "/index.htm")) << dir;
    for (const auto &entry : fs::recursive_directory_iterator(m_site))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    EXPECT_TRUE(hasLine(run, de("     WARNUNG: Der Suchbegriff \"..\" ergibt keinen gültigen Dateinamen, für ihn "
                                "wird keine Datei erzeugt")));
    EXPECT_FALSE(fs::exists(root() + "/../etc"));
}

TEST_F(DoorwayPagesTest, TermNamedLikeTheTemplateDirectoryLeavesTheTemplateAlone)
{
    ASSERT_TRUE(settingsStore().writeNumber("specialcharacters", 0));
    const std::string before = readFile(m_site + "/vantor!!/index.htm");
    projectRecord().doorwayKeywords[0] = "Vantor!!";
    projectRecord().doorwayKeywords[1] = "Haus";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(readFile(m_site + "/vantor!!/index.htm"), before);
    EXPECT_FALSE(files::exists(m_site + "/vantor!!/vantor!!.htm"));
    EXPECT_TRUE(hasLine(run, de("     WARNUNG: Für den Begriff \"Vantor!!\" wird kein Zugangsdokument erzeugt, das "
                                "Verzeichnis \"") + m_site + de("/vantor!!\" enthält die Vorlagen")));
    EXPECT_TRUE(files::isFile(m_site + "/haus/index.htm"));
}

TEST_F(DoorwayPagesTest, TermNamedLikeTheIndexDocumentKeepsTheIndexDocument)
{
    projectRecord().scope = 1;
    projectRecord().doorwayKeywords[0] = "Index";
    writeTemplate("index.htm", "<HTML><HEAD></HEAD><BODY>[index:%Suchbegriff%]</BODY></HTML>");
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(run.log().errors(), 0);
    const std::string index = readFile(m_site + "/!index/index.htm");
    EXPECT_NE(index.find("[index:Index]"), std::string::npos);
}

TEST_F(DoorwayPagesTest, LinksToAnUnsafeTermLeadToTheDirectoryMade)
{
    // The homepage's link to the first doorway and the directory itself
    // must agree on the name, whatever the term holds.
    projectOptions().vlin = 3;
    projectRecord().doorwayKeywords[0] = "a/b";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(files::isFile(m_site + "/!ab/index.htm"));
    const std::string homepage = readFile(m_site + "/index.htm");
    EXPECT_NE(homepage.find("<a href=\"!ab/index.htm\">"), std::string::npos) << homepage;
}

} // namespace
