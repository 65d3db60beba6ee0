#include "TestEnvironment.h"

#include "optimizer/OptimizationRun.h"
#include "optimizer/TermText.h"
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

class CopiesTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(m_site + "/index.htm", kHomepage);
        writeFile(m_site + "/vantor!!/index.htm", "<HTML><HEAD></HEAD><BODY>%Suchbegriff%</BODY></HTML>");
        projectRecord().makedirs = 0;
    }

    void runOnce(OptimizationRun &run)
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
        run.begin();
        run.run(false, false);
    }

    bool hasLine(const OptimizationRun &run, const std::string &text) const
    {
        const auto &lines = run.log().lines();
        return std::any_of(lines.begin(), lines.end(), [&](const ReportLine &l) { return l.text == text; });
    }
    bool hasTodo(const OptimizationRun &run, const std::string &text) const
    {
        const auto &t = run.log().todos();
        return std::find(t.begin(), t.end(), text) != t.end();
    }

    // Every entry of the site directory, recursively, and whether anything
    // besides it appeared beside it.
    std::vector<std::string> entriesBesideSite() const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(root()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_site;
};

TEST_F(CopiesTest, ThreeFilesPerCopyWithTheirSignsMessagesAndClosingTodo)
{
    projectRecord().scope = 2;
    projectRecord().copyKeywords[0][0] = "Haus";
    projectRecord().copyKeywords[0][1] = "Ferien Haus";
    projectRecord().copyKeywords[0][2] = "Strand#3";
    // A copy without a first term still gets its other files.
    projectRecord().copyKeywords[1][1] = "Boot";
    projectOptions().sonz = 2;
    OptimizationRun run(ui, "p");
    runOnce(run);

    for (const char *name : {"0haus.htm", "1ferienhaus.htm", "2strand.htm", "1boot.htm"}) {
        const std::string path = m_site + "/" + name;
        EXPECT_TRUE(files::isFile(path)) << name;
        EXPECT_TRUE(hasLine(run, "     Kopie \"" + path + "\" erzeugt und optimiert")) << name;
        // Made from the homepage as read, then optimised as a copy.
        EXPECT_NE(readFile(path).find("Hallo"), std::string::npos);
        EXPECT_NE(readFile(path).find("<HEAD"), std::string::npos);
    }
    EXPECT_FALSE(files::isFile(m_site + "/0boot.htm"));
    EXPECT_FALSE(run.noCopyMade());
    EXPECT_TRUE(hasTodo(run, "Kopieren Sie die erzeugten Kopien beginnend mit \"0\", \"1\" und \"2\" im Verzeichnis "
                             "der Homepage auf den Web-Server"));
    EXPECT_EQ(run.copyExamplePath(), m_site + "/0haus.htm");
}

TEST_F(CopiesTest, ScopeBelowTwoMakesTheFirstFileOnlyAndNoCopyGivesTheWarning)
{
    projectRecord().scope = 1;
    projectRecord().copyKeywords[0][0] = "Haus";
    projectRecord().copyKeywords[0][1] = "Boot";
    {
        OptimizationRun run(ui, "p");
        runOnce(run);
        EXPECT_TRUE(files::isFile(m_site + "/!haus.htm"));
        EXPECT_FALSE(files::isFile(m_site + "/-boot.htm"));
        EXPECT_FALSE(hasLine(run, "     WARNUNG: Keine Kopien erstellt da keine angegeben wurden"));
    }
    projectRecord().copyKeywords[0][0] = "";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(run.noCopyMade());
    EXPECT_TRUE(hasLine(run, "     WARNUNG: Keine Kopien erstellt da keine angegeben wurden"));
}

TEST_F(CopiesTest, WithoutStartSignsTheCopyIsTheBareTermAndNeverTheHomepage)
{
    ASSERT_TRUE(settingsStore().writeNumber("specialcharacters", 0));
    projectRecord().scope = 2;
    projectRecord().copyKeywords[0][0] = "Haus";
    projectRecord().copyKeywords[0][1] = "INDEX";
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(files::isFile(m_site + "/haus.htm"));
    // The user's homepage is optimised as the homepage, never replaced by a copy.
    EXPECT_TRUE(hasLine(run, de("     WARNUNG: Die Kopie \"") + m_site +
                                 de("/index.htm\" wird nicht erzeugt, sie hätte den Namen der Homepage")));
    EXPECT_FALSE(hasLine(run, "     Kopie \"" + m_site + "/index.htm\" erzeugt und optimiert"));
}

TEST_F(CopiesTest, TermsWithPathSyntaxStayInsideTheHomepageDirectory)
{
    ASSERT_TRUE(settingsStore().writeNumber("specialcharacters", 0));
    projectRecord().scope = 2;
    projectRecord().copyKeywords[0][0] = "../../etc";
    projectRecord().copyKeywords[0][1] = "a/b";
    projectRecord().copyKeywords[0][2] = "..";
    projectRecord().copyKeywords[1][0] = "c:\\d\x01";
    projectRecord().copyKeywords[1][1] = ".htaccess";
    const auto before = entriesBesideSite();
    OptimizationRun run(ui, "p");
    runOnce(run);

    EXPECT_EQ(entriesBesideSite(), before);
    for (const char *name : {"etc.htm", "ab.htm", "cd.htm", "htaccess.htm"})
        EXPECT_TRUE(files::isFile(m_site + "/" + name)) << name;
    for (const auto &entry : fs::directory_iterator(m_site))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    EXPECT_TRUE(hasLine(run, de("     WARNUNG: Der Suchbegriff \"..\" ergibt keinen gültigen Dateinamen, für ihn "
                                "wird keine Datei erzeugt")));
}

TEST_F(CopiesTest, CopyWhoseFramesCannotBeRepairedStaysTheHomepageTextAndTheRunGoesOn)
{
    writeFile(m_site + "/index.htm", "<HTML><HEAD></HEAD><FRAMESET><FRAME SRC=\"a.htm\"></FRAMESET></HTML>");
    projectOptions().nofr = 1; // repaired for the homepage only
    projectRecord().copyKeywords[0][0] = "Haus";
    OptimizationRun run(ui, "p");
    runOnce(run);
    const std::string path = m_site + "/!haus.htm";
    EXPECT_TRUE(hasLine(run, "     FEHLER: Die Kopie \"" + path + "\" konnte nicht optimiert werden"));
    EXPECT_TRUE(hasTodo(run, de("Schließen Sie alle Programme, die die Datei \"") + path +
                                 de("\" verwenden, z.B. den Windows Explorer, oder ändern Sie die Zugriffsrechte")));
    EXPECT_EQ(readFile(path), "<HTML><HEAD></HEAD><FRAMESET><FRAME SRC=\"a.htm\"></FRAMESET></HTML>");
    EXPECT_FALSE(run.noCopyMade());
    EXPECT_TRUE(hasLine(run, "=== Homepage optimieren ==="));
}

TEST(SafeNameFormTest, DropsPathSyntaxAndLeadingDotsButKeepsTheRest)
{
    EXPECT_EQ(safeNameForm("Ferienhaus Nordsee#2"), "ferienhausnordsee");
    EXPECT_EQ(safeNameForm(de("Größe")), "groesse");
    EXPECT_EQ(safeNameForm("../../etc"), "etc");
    EXPECT_EQ(safeNameForm("a/b\\c:d"), "abcd");
    EXPECT_EQ(safeNameForm(std::string("x\0y\ty\x7f", 6)), "xyy");
    EXPECT_EQ(safeNameForm("v1.2"), "v1.2");
    EXPECT_EQ(safeNameForm(".."), "");
    EXPECT_EQ(safeNameForm("/"), "");
    // fileNameForm itself keeps what it always kept.
    EXPECT_EQ(fileNameForm("a/b"), "a/b");
}

} // namespace
