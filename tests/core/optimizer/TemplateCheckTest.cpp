#include "TestEnvironment.h"

#include "optimizer/RunLog.h"
#include "optimizer/TemplateCheck.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class TemplateCheckTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = root() + "/site";
        fs::create_directories(m_site + "/vantor!!");
    }

    void writeTemplate(const std::string &text) { writeFile(templatePath(m_site), text); }
    bool check() { return checkTemplate(m_site, m_log, ui); }

    int count(LineKind kind) const
    {
        int n = 0;
        for (const auto &line : m_log.lines())
            n += line.kind == kind ? 1 : 0;
        return n;
    }

    std::string m_site;
    RunLog m_log;
};

TEST_F(TemplateCheckTest, LowerCaseTagsPassAndAreWrittenBackInUpperCase)
{
    writeTemplate("<html><head></head><body>%Suchbegriff%</body></html>");
    EXPECT_TRUE(check());
    EXPECT_TRUE(m_log.lines().empty());
    EXPECT_EQ(readFile(templatePath(m_site)), "<html><HEAD></HEAD><BODY>%Suchbegriff%</BODY></html>");
}

TEST_F(TemplateCheckTest, HeadAndBodyInMixedCasePassAndAreWrittenBackInUpperCase)
{
    writeTemplate("<html><Head><title>t</title></Head><Body bgcolor=\"#ffffff\">%Suchbegriff%</Body></html>");
    EXPECT_TRUE(check());
    EXPECT_EQ(count(LineKind::Error), 0);
    EXPECT_EQ(readFile(templatePath(m_site)),
              "<html><HEAD><title>t</title></HEAD><BODY bgcolor=\"#ffffff\">%Suchbegriff%</BODY></html>");

    writeTemplate("<html><hEaD lang=\"de\"></HEAD><BODY>%Suchbegriff%</bOdY></html>");
    EXPECT_TRUE(check());
    EXPECT_EQ(readFile(templatePath(m_site)), "<html><HEAD lang=\"de\"></HEAD><BODY>%Suchbegriff%</BODY></html>");
    EXPECT_EQ(count(LineKind::Error), 0);
}

TEST_F(TemplateCheckTest, MissingTemplateFailsWithoutALine)
{
    EXPECT_FALSE(check());
    EXPECT_TRUE(m_log.lines().empty());
    // A directory in its place cannot be opened either.
    fs::create_directory(templatePath(m_site));
    EXPECT_FALSE(check());
    EXPECT_TRUE(m_log.lines().empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TemplateCheckTest, FirstMissingPieceIsReportedAndTheTemplateStaysAsItWas)
{
    struct Case {
        std::string text;
        std::string error;
        std::string todo;
    };
    const Case cases[] = {
        {"<head></head><body></body>",
         "     FEHLER: Die Vorlage vantor!!\\index.htm für die Zugangsdokumente enthält keine Marke %Suchbegriff%",
         "Erstellen Sie eine Vorlage für die Homepage. Verwenden Sie dazu den Vorlagen-Wizard. Näheres finden Sie in "
         "der Hilfe unter \"Erstellen einer Vorlage\" im Kapitel \"Vorbereitung\"."},
        {"%Suchbegriff%</head><body></body>", "     FEHLER: Die Vorlage enthält kein Element <HEAD>",
         "Fügen Sie das Element <HEAD> in die Vorlage ein! Näheres dazu in der Hilfe."},
        {"<head>%Suchbegriff%<body></body>", "     FEHLER: Die Vorlage enthält kein Element </HEAD>",
         "Fügen Sie das Element </HEAD> in die Vorlage ein! Näheres dazu in der Hilfe."},
        {"<head></head>%Suchbegriff%</body>", "     FEHLER: Die Vorlage enthält kein Element <BODY>",
         "Fügen Sie das Element <BODY> in die Vorlage ein! Näheres dazu in der Hilfe."},
        {"<head></head><body>%Suchbegriff%", "     FEHLER: Die Vorlage enthält kein Element </BODY>",
         "Fügen Sie das Element </BODY> in die Vorlage ein! Näheres dazu in der Hilfe."},
    };
    for (const auto &c : cases) {
        m_log = RunLog();
        writeTemplate(c.text);
        EXPECT_FALSE(check()) << c.text;
        ASSERT_EQ(m_log.lines().size(), 1u) << c.text;
        EXPECT_EQ(m_log.lines()[0].text, de(c.error));
        EXPECT_EQ(m_log.lines()[0].kind, LineKind::Error);
        ASSERT_EQ(m_log.todos().size(), 1u);
        EXPECT_EQ(m_log.todos()[0], de(c.todo));
        EXPECT_EQ(readFile(templatePath(m_site)), c.text);
    }
}

TEST_F(TemplateCheckTest, StackedMarkersWarnFromFourAndCountAsErrorFromSeven)
{
    writeTemplate("<head></head><body>%Suchbegriff%%Suchbegriff%%Suchbegriff%%Suchbegriff%</body>");
    EXPECT_TRUE(check());
    ASSERT_EQ(m_log.lines().size(), 1u);
    EXPECT_EQ(m_log.lines()[0].kind, LineKind::Warning);
    EXPECT_EQ(m_log.lines()[0].text.rfind("     WARNUNG: In der Vorlage ist 4 mal das Element %Suchbegriff% "
                                          "hintereinander enthalten.",
                                          0),
              0u);

    m_log = RunLog();
    std::string seven;
    for (int i = 0; i < 7; ++i)
        seven += "<b>%Suchbegriff%</b> ";
    writeTemplate("<head></head><body>" + seven + "</body>");
    EXPECT_TRUE(check());
    ASSERT_EQ(m_log.lines().size(), 1u);
    EXPECT_EQ(m_log.lines()[0].kind, LineKind::Error);
    EXPECT_NE(m_log.lines()[0].text.find("WARNUNG: In der Vorlage ist 7 mal"), std::string::npos);

    m_log = RunLog();
    writeTemplate("<head></head><body>%Suchbegriff% %Suchbegriff% %Suchbegriff%</body>");
    EXPECT_TRUE(check());
    EXPECT_TRUE(m_log.lines().empty());
}

TEST_F(TemplateCheckTest, FramesFailUnlessAllowed)
{
    const std::string text = "<head></head><body>%Suchbegriff%<frameset></frameset></body>";
    writeTemplate(text);
    EXPECT_FALSE(check());
    EXPECT_EQ(m_log.lines().back().text, de("     FEHLER: Vorlage enthält Frames"));
    EXPECT_EQ(readFile(templatePath(m_site)), text);

    m_log = RunLog();
    ASSERT_TRUE(settingsStore().writeNumber("templatesmayuseframes", 1));
    EXPECT_TRUE(check());
    EXPECT_EQ(count(LineKind::Error), 0);
}

TEST_F(TemplateCheckTest, CommentAndFurtherFilesWarnOnceWithoutFailing)
{
    writeTemplate("<head></head><body><!-- x -->%Suchbegriff%</body>");
    writeFile(m_site + "/vantor!!/bild.gif", "x");
    writeFile(m_site + "/vantor!!/index2.htm", "x");
    fs::create_directory(m_site + "/vantor!!/bilder");
    EXPECT_TRUE(check());
    EXPECT_EQ(count(LineKind::Warning), 2);
    EXPECT_EQ(m_log.lines()[0].text, de("     WARNUNG: Vorlage enthält Kommentar"));
    EXPECT_EQ(m_log.lines()[1].text.rfind(de("     WARNUNG: Im Unterverzeichnis \"vantor!!\" befinden sich neben der "
                                             "Vorlage weitere Dateien."),
                                          0),
              0u);
    EXPECT_EQ(m_log.todos().size(), 1u);

    // The name compares case-sensitively: INDEX.HTM is another file.
    m_log = RunLog();
    fs::remove(m_site + "/vantor!!/bild.gif");
    fs::remove(m_site + "/vantor!!/index2.htm");
    fs::remove(m_site + "/vantor!!/bilder");
    writeFile(m_site + "/vantor!!/INDEX.HTM", "x");
    writeTemplate("<head></head><body>%Suchbegriff%</body>");
    EXPECT_TRUE(check());
    EXPECT_EQ(count(LineKind::Warning), 1);
}

TEST_F(TemplateCheckTest, TemplateThatIsALinkToAPipeFailsWithoutHanging)
{
    ::mkfifo((m_site + "/fifo").c_str(), 0644);
    fs::create_symlink(m_site + "/fifo", templatePath(m_site));
    EXPECT_FALSE(check());
    EXPECT_TRUE(m_log.lines().empty());
    EXPECT_TRUE(ui.shown.empty());
}

} // namespace
