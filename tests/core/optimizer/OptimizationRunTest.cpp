#include "TestEnvironment.h"

#include "AllocationWatch.h"
#include "optimizer/OptimizationRun.h"
#include "optimizer/TemplateCheck.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

const char *const kHomepage = "<html>\r\n<head>\r\n<title>Alt</title>\r\n</head>\r\n<body>\r\nHallo\r\n</body>\r\n</html>\r\n";
const char *const kTemplate = "<html><head></head><body><h1>%Suchbegriff%</h1></body></html>";

class OptimizationRunTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        writeFile(homepage(), kHomepage);
        writeFile(m_site + "/vantor!!/index.htm", kTemplate);
        save();
    }

    std::string homepage() const { return m_site + "/index.htm"; }

    // The homepage steps that warn about missing project data, switched off
    // for the homepage, so that a test counts the run's own warnings.
    void quietHomepageSteps()
    {
        ProjectOptions &options = projectOptions();
        options.copy = options.desc = options.keyw = options.titl = options.komm = 2;
        save();
    }
    // Every step that writes into the homepage switched off for it.
    void homepageStepsOff()
    {
        ProjectOptions &options = projectOptions();
        options.titl = options.auth = options.desc = options.keyw = options.link = options.robo = options.copy =
            options.gene = options.komm = options.text = options.vlin = options.nofr = 2;
        save();
    }

    // The record and options as the wizard would have stored them.
    void save()
    {
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
    }

    std::vector<std::string> texts(const OptimizationRun &run) const
    {
        std::vector<std::string> result;
        for (const auto &line : run.log().lines())
            result.push_back(line.text);
        return result;
    }

    const ReportLine *findLine(const OptimizationRun &run, const std::string &text) const
    {
        for (const auto &line : run.log().lines())
            if (line.text == text)
                return &line;
        return nullptr;
    }

    bool hasTodo(const OptimizationRun &run, const std::string &text) const
    {
        const auto &t = run.log().todos();
        return std::find(t.begin(), t.end(), text) != t.end();
    }

    void runOnce(OptimizationRun &run, bool projectData = true, bool configData = true)
    {
        run.begin();
        run.run(projectData, configData);
    }

    std::string m_site;
};

TEST_F(OptimizationRunTest, CleanRunEndsWithTheTwoWarningsCountedAfterTheTotals)
{
    quietHomepageSteps();
    OptimizationRun run(ui, "p");
    runOnce(run);

    const auto lines = texts(run);
    // The phase headings in their order.
    std::vector<std::string> headings;
    for (const auto &l : lines)
        if (l.rfind("===", 0) == 0)
            headings.push_back(l);
    EXPECT_EQ(headings, (std::vector<std::string>{"=== Daten werden gelesen ===", de("=== Vorlage prüfen ==="),
                                                  de("=== Daten älterer Optimierungen entfernen ==="),
                                                  "=== Kopien erzeugen ===", "=== Zugangsseiten ===",
                                                  "=== Homepage optimieren ===", "=== Report wird erstellt ==="}));
    EXPECT_EQ(lines.front(), "Daten zur Optimierung liegen vor");

    const ReportLine *closing = findLine(run, de("Optimierung durchgeführt, es sind Warnungen aufgetreten!"));
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->kind, LineKind::Warning);
    const ReportLine *totals = findLine(run, "Es sind insgesamt 0 Fehler und 2 Warnungen aufgetreten.");
    ASSERT_NE(totals, nullptr);
    EXPECT_EQ(totals->kind, LineKind::Warning);
    EXPECT_EQ(run.log().warnings(), 4);
    EXPECT_EQ(run.log().errors(), 0);

    EXPECT_TRUE(hasTodo(run, "Kopieren Sie das optimierte Homepage-Dokument auf den Web-Server."));
    EXPECT_FALSE(hasTodo(run, de("Optimierte Dokumente auf Ihren optischen Eindruck überprüfen (Klicken Sie auf die "
                                 "drei Buttons unten). Eventuell müssen Sie die Vorlage noch anpassen.")));
    EXPECT_EQ(ui.lastProgress, 28);
    EXPECT_EQ(ui.lastProgressMax, 28);
    EXPECT_TRUE(run.reportWritten());
    EXPECT_TRUE(files::isFile(m_site + "/~report.htm"));

    // The four tags upper-cased, the home link and robots element the
    // options ask for; the rest of the page is the user's own.
    EXPECT_EQ(readFile(homepage()), "<html>\r\n<HEAD><LINK REL=Home>\r\n<META NAME=\"robots\" CONTENT=\"index, "
                                    "follow\">\r\n\r\n<title>Alt</title>\r\n</HEAD>\r\n<BODY>\r\nHallo\r\n"
                                    "</BODY>\r\n</html>\r\n");
    EXPECT_EQ(readFile(m_site + "/vantor.gif").size(), 42u);
    EXPECT_EQ(readFile(m_site + "/vantor.gif").substr(0, 6), "GIF89a");

    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    EXPECT_EQ(profile::readString(projectPath("p"), "project", "lastoptimized", ""),
              std::to_string(t.tm_mday) + "." + std::to_string(t.tm_mon + 1) + "." + std::to_string(t.tm_year + 1900));

    // Leaving after the run takes the report file with it.
    EXPECT_TRUE(run.leave());
    EXPECT_FALSE(files::exists(m_site + "/~report.htm"));
}

TEST_F(OptimizationRunTest, RunsOncePerDialogAndLeavingWithoutARunAsks)
{
    OptimizationRun run(ui, "p");
    run.begin();
    ui.questionAnswers = {false, true};
    EXPECT_FALSE(run.leave());
    EXPECT_TRUE(run.leave());
    EXPECT_EQ(ui.shown.back().title, de("Optimierung noch nicht durchgeführt"));

    run.run(true, true);
    const std::size_t lines = run.log().lines().size();
    run.run(true, true);
    EXPECT_EQ(run.log().lines().size(), lines);
}

TEST_F(OptimizationRunTest, LineEndFollowsThePage)
{
    struct Case {
        std::string page;
        std::string before;
        std::string expected;
    };
    const Case cases[] = {
        {"a\r\nb\nc", "", "\r\n"},   // mixed: CR LF wins
        {"a\nb\nc", "", "\n"},       // LF alone
        {"a\rb\rc", "", "\r"},       // old Mac
        {"a\r b\nc", "", "\n"},      // CR blank, then a bare LF
        {"one line", "", ""},        // nothing to go by: stays as it was
        {"one line", "\r\n", "\r\n"},
        {"\nrest", "", ""},          // an LF only at the very start does not count
        {"x \ny", "\r", "\n"},       // blank before LF
        {"x\r", "", "\r"},           // a CR at the end is not followed by LF
    };
    for (const auto &c : cases) {
        std::string lineEnd = c.before;
        chooseLineEnd(c.page, lineEnd);
        EXPECT_EQ(lineEnd, c.expected) << c.page;
    }
}

TEST_F(OptimizationRunTest, PageOnOneLineKeepsTheSessionLineEnd)
{
    writeFile(homepage(), "<HEAD></HEAD><BODY>x</BODY>");
    OptimizationRun first(ui, "p");
    runOnce(first);
    EXPECT_EQ(sessionLineEnd(), "");
    // The report then has no line breaks at all.
    EXPECT_EQ(first.reportText().find('\n'), std::string::npos);

    sessionLineEnd() = "\n";
    OptimizationRun second(ui, "p");
    runOnce(second);
    EXPECT_EQ(sessionLineEnd(), "\n");
    EXPECT_TRUE(contains(second.reportText(), "<HTML><HEAD>\n<META http-equiv"));
}

TEST_F(OptimizationRunTest, MissingTemplateAsksAndAbbruchEndsWithoutTheAbortLine)
{
    fs::remove(m_site + "/vantor!!/index.htm");
    ui.questionAnswers = {false};
    OptimizationRun run(ui, "p");
    run.setTemplateWizard([](const std::string &) { FAIL() << "wizard not wanted"; });
    runOnce(run);

    EXPECT_TRUE(ui.showedTitle("Vorlage fehlt"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind(de("Vantor!! benötigt eine Vorlage für die Optimierung. Klicken Sie auf \"OK\", "
                                        "um den Vorlagen-Wizard zu starten."),
                                     0),
              0u);
    EXPECT_EQ(run.log().errors(), 1);
    EXPECT_EQ(findLine(run, "OPTIMIERUNG ABGEBROCHEN"), nullptr);
    EXPECT_TRUE(hasTodo(run, de("Erstellen Sie eine Vorlage für die Homepage. Verwenden Sie dazu den Vorlagen-Wizard. "
                                "Näheres finden Sie in der Hilfe unter \"Erstellen einer Vorlage\" im Kapitel "
                                "\"Vorbereitung\".")));
    EXPECT_FALSE(run.reportWritten());
    EXPECT_EQ(ui.lastProgress, 28);
    // Nothing of the site was touched.
    EXPECT_EQ(readFile(homepage()), kHomepage);
    EXPECT_FALSE(files::exists(m_site + "/vantor.gif"));
}

TEST_F(OptimizationRunTest, TemplateWizardMakesTheTemplateAndTheCheckRunsAgain)
{
    fs::remove(m_site + "/vantor!!/index.htm");
    ui.questionAnswers = {true};
    std::string wizardGot;
    OptimizationRun run(ui, "p");
    run.setTemplateWizard([&](const std::string &path) {
        wizardGot = path;
        writeFile(m_site + "/vantor!!/index.htm", kTemplate);
    });
    runOnce(run);
    EXPECT_EQ(wizardGot, homepage());
    EXPECT_EQ(run.log().errors(), 0);
    EXPECT_TRUE(run.reportWritten());
}

TEST_F(OptimizationRunTest, WithoutATemplateWizardOkEndsLikeAbbruch)
{
    fs::remove(m_site + "/vantor!!/index.htm");
    ui.questionAnswers = {true, true, true};
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(ui.questionAnswers.size(), 2u); // asked once, not for ever
    EXPECT_EQ(run.log().errors(), 1);
}

TEST_F(OptimizationRunTest, NoDirectoriesSkipsTheTemplateCheckAndTheDoorways)
{
    fs::remove(m_site + "/vantor!!/index.htm");
    projectRecord().makedirs = 0;
    quietHomepageSteps();
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(findLine(run, de("=== Vorlage prüfen ===")), nullptr);
    ASSERT_NE(findLine(run, "     Zugangsdokumente erstellen abgebrochen"), nullptr);
    EXPECT_EQ(run.log().errors(), 0);
    // Only the copy warning is left.
    EXPECT_NE(findLine(run, "Es sind insgesamt 0 Fehler und 1 Warnungen aufgetreten."), nullptr);
}

TEST_F(OptimizationRunTest, UnreadableProjectAbortsWithItsMessages)
{
    OptimizationRun run(ui, "fehlt");
    runOnce(run);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, "Fehler beim Lesen der Daten");
    EXPECT_TRUE(contains(ui.shown[0].text, "Konfigurationsdatei \"fehlt.qx!\""));
    EXPECT_NE(findLine(run, "     FEHLER: Die Projektdatei fehlt.qx! kann nicht gelesen werden. Sie ist nicht "
                            "vorhanden oder wurde manipuliert!"),
              nullptr);
    EXPECT_EQ(run.log().lines().back().text, "OPTIMIERUNG ABGEBROCHEN");
    EXPECT_TRUE(hasTodo(run, "Stellen Sie die originale Projektdatei fehlt.qx! wieder her"));
    EXPECT_FALSE(run.reportWritten());
}

TEST_F(OptimizationRunTest, HomepageChecksAbortInTheirOrder)
{
    struct Case {
        std::string page;
        std::string error;
    };
    const Case cases[] = {
        {"", "     FEHLER: Kein Element <HEAD> gefunden"},
        {"<header></header><body></body>", "     FEHLER: Kein Element <HEAD> gefunden"},
        {"<head><body></body>", "     FEHLER: Kein Element </HEAD> gefunden"},
        {"<head></head></body>", "     FEHLER: Kein Element <BODY> gefunden"},
        {"<head></head><body>", "     FEHLER: Kein Element </BODY> gefunden"},
    };
    for (const auto &c : cases) {
        writeFile(homepage(), c.page);
        OptimizationRun run(ui, "p");
        runOnce(run);
        const auto &lines = run.log().lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2].text, c.error) << c.page;
        EXPECT_EQ(lines.back().text, "OPTIMIERUNG ABGEBROCHEN");
        EXPECT_EQ(readFile(homepage()), c.page) << "an aborted run leaves the homepage alone";
    }
}

TEST_F(OptimizationRunTest, HeadAndBodyInAnySpellingPassTheHomepageCheck)
{
    projectRecord().homepageKeywords[0] = "Haus";
    projectRecord().title1 = "Titel";
    save();
    const char *const pages[] = {
        "<html>\n<Head>\n</Head>\n<Body bgcolor=\"#ffffff\">\nHallo\n</Body>\n</html>\n",
        "<html>\n<HEAD>\n</HEAD>\n<BODY>\nHallo\n</BODY>\n</html>\n",
        "<html>\n<hEaD lang=\"de\">\n</head>\n<body>\nHallo\n</bOdY>\n</html>\n",
        "<html>\n<head>\n</Head>\n<BODY text=\"#000000\">\nHallo\n</body>\n</html>\n",
    };
    for (const char *original : pages) {
        writeFile(homepage(), original);
        OptimizationRun run(ui, "p");
        runOnce(run);
        EXPECT_EQ(run.log().errors(), 0) << original;
        EXPECT_EQ(findLine(run, "OPTIMIERUNG ABGEBROCHEN"), nullptr) << original;
        const std::string page = readFile(homepage());
        // Our own elements in our own spelling, in the head and the body.
        const std::size_t headEnd = page.find("</HEAD>");
        ASSERT_NE(headEnd, std::string::npos) << page;
        EXPECT_LT(page.find("<META NAME=\"robots\""), headEnd) << page;
        EXPECT_LT(page.find("<TITLE> Titel </TITLE>"), headEnd) << page;
        const std::size_t comment = page.find("<H1><!--qx! Haus, --></H1>");
        ASSERT_NE(comment, std::string::npos) << page;
        EXPECT_GT(comment, page.find("<BODY"));
        EXPECT_LT(comment, page.find("</BODY>"));
        EXPECT_TRUE(contains(page, "Hallo"));
    }
}

TEST_F(OptimizationRunTest, FramesWithoutBodyPassTheHomepageCheck)
{
    writeFile(homepage(), "<html><head></head><frameset><frame src=\"a.htm\"></frameset></html>");
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(run.log().errors(), 0);
    EXPECT_TRUE(run.reportWritten());
}

TEST_F(OptimizationRunTest, HomepageThatIsNoFileAborts)
{
    fs::remove(homepage());
    fs::create_directory(homepage());
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_NE(findLine(run, de("     FEHLER: Die Datei \"") + homepage() + de("\" kann nicht erzeugt/überschrieben "
                                                                            "werden")),
              nullptr);
    EXPECT_EQ(run.log().lines().back().text, "OPTIMIERUNG ABGEBROCHEN");
    EXPECT_TRUE(fs::is_directory(homepage()));
}

TEST_F(OptimizationRunTest, BytesOfAnyKindSurviveTheRun)
{
    // NUL bytes, bytes cp1252 has no character for, and 20 MB of it.
    std::string page = "<head>\x81\x8d\x8f\x90\x9d</head><body>";
    page += std::string("\0\xff\x00", 3);
    std::string filler(20 * 1024 * 1024, 'x');
    for (std::size_t i = 0; i < filler.size(); i += 4096)
        filler[i] = '\0';
    page += filler + "</body>";
    writeFile(homepage(), page);
    homepageStepsOff();
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(run.log().errors(), 0);
    std::string expected = page;
    expected.replace(0, 6, "<HEAD>");
    expected.replace(expected.find("</head>"), 7, "</HEAD>");
    expected.replace(expected.find("<body>"), 6, "<BODY>");
    expected.replace(expected.rfind("</body>"), 7, "</BODY>");
    EXPECT_TRUE(readFile(homepage()) == expected);
}

TEST_F(OptimizationRunTest, OutOfMemoryEndsTheRunButNotTheProgram)
{
    writeFile(homepage(), std::string("<head></head><body>") + std::string(4 * 1024 * 1024, 'y') + "</body>");
    OptimizationRun run(ui, "p");
    run.begin();
    {
        vantor::testing::AllocationFailure failure(3 * 1024 * 1024);
        run.run(true, true);
    }
    EXPECT_TRUE(ui.showedTitle("Fehler Code 2007"));
    EXPECT_FALSE(run.reportWritten());
    EXPECT_EQ(ui.lastProgress, 28);
    EXPECT_EQ(readFile(homepage()).size(), 4u * 1024 * 1024 + 26);
}

TEST_F(OptimizationRunTest, HomepageThatCannotBeReplacedStaysAndTheRunAborts)
{
    OptimizationRun run(ui, "p");
    // Something takes the homepage's place while the run works on it.
    struct Swap : RunObserver {
        std::string path;
        void lineAdded(const ReportLine &line) override
        {
            if (line.text == "=== Homepage optimieren ===") {
                fs::remove(path);
                fs::create_directory(path);
            }
        }
        void todoAdded(const std::string &) override {}
    } swap;
    swap.path = homepage();
    run.log().setObserver(&swap);
    runOnce(run);
    EXPECT_NE(findLine(run, de("     FEHLER: Die Datei \"") + homepage() + de("\" kann nicht erzeugt/überschrieben "
                                                                            "werden")),
              nullptr);
    EXPECT_EQ(run.log().lines().back().text, "OPTIMIERUNG ABGEBROCHEN");
    EXPECT_FALSE(run.reportWritten());
    EXPECT_TRUE(profile::readString(projectPath("p"), "project", "lastoptimized", "").empty());
}

TEST_F(OptimizationRunTest, ErrorsMakeTheClosingLinesErrorsToo)
{
    // Seven markers in a row count as an error but let the check pass.
    std::string stacked;
    for (int i = 0; i < 7; ++i)
        stacked += "<b>%Suchbegriff%</b> ";
    writeFile(m_site + "/vantor!!/index.htm", "<head></head><body>" + stacked + "</body>");
    quietHomepageSteps();
    OptimizationRun run(ui, "p");
    runOnce(run);
    const ReportLine *totals = findLine(run, "Es sind insgesamt 1 Fehler und 2 Warnungen aufgetreten.");
    ASSERT_NE(totals, nullptr);
    EXPECT_EQ(totals->kind, LineKind::Error);
    EXPECT_EQ(findLine(run, de("Optimierung durchgeführt, es sind aber Fehler aufgetreten!"))->kind, LineKind::Error);
    EXPECT_EQ(run.log().lines().back().kind, LineKind::Normal); // the pointer to the support
    EXPECT_EQ(run.log().errors(), 3);
    EXPECT_FALSE(hasTodo(run, "Kopieren Sie das optimierte Homepage-Dokument auf den Web-Server."));
    EXPECT_TRUE(run.reportWritten());
}

// A document of an earlier version, made before the record of our files was
// kept: known by the hidden image it links to.
const char *const kOldDocument = "<html><body><a href=\"x\"><img src=\"vantor.gif\" width=\"1\"></a></body></html>";

TEST_F(OptimizationRunTest, OldResultsGoOnlyWithTheDefaultSigns)
{
    fs::create_directories(m_site + "/!haus");
    writeFile(m_site + "/!haus/index.htm", kOldDocument);
    writeFile(m_site + "/!haus/haus.gif", std::string(42, '\0')); // not our image: the directory stays whole
    fs::create_directories(m_site + "/!alt");
    writeFile(m_site + "/!alt/index.htm", kOldDocument);
    writeFile(m_site + "/!kopie.htm", kOldDocument);
    writeFile(m_site + "/-kopie.htm", kOldDocument);
    writeFile(m_site + "/#kopie.htm", kOldDocument);
    writeFile(m_site + "/0kopie.htm", kOldDocument); // made with the sign set "0 1 2"
    fs::create_directories(m_site + "/-verzeichnis");
    projectOptions().sonz = 2;
    save();

    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_FALSE(fs::exists(m_site + "/!alt"));
    EXPECT_TRUE(fs::exists(m_site + "/!haus/index.htm"));
    EXPECT_TRUE(fs::exists(m_site + "/!haus/haus.gif"));
    EXPECT_FALSE(fs::exists(m_site + "/!kopie.htm"));
    EXPECT_FALSE(fs::exists(m_site + "/-kopie.htm"));
    EXPECT_FALSE(fs::exists(m_site + "/#kopie.htm"));
    EXPECT_TRUE(fs::exists(m_site + "/0kopie.htm"));
    EXPECT_TRUE(fs::is_directory(m_site + "/-verzeichnis"));
    EXPECT_TRUE(fs::exists(m_site + "/vantor!!/index.htm"));
}

TEST_F(OptimizationRunTest, TheUsersOwnFilesWithOurSignsStay)
{
    writeFile(m_site + "/-preisliste.pdf", "%PDF-1.4 Preise");
    writeFile(m_site + "/#entwurf.htm", "<html><body>Entwurf</body></html>");
    writeFile(m_site + "/!wichtig.txt", "wichtig");
    fs::create_directories(m_site + "/!fotos");
    writeFile(m_site + "/!fotos/urlaub.jpg", "JPEG");
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(readFile(m_site + "/-preisliste.pdf"), "%PDF-1.4 Preise");
    EXPECT_EQ(readFile(m_site + "/#entwurf.htm"), "<html><body>Entwurf</body></html>");
    EXPECT_EQ(readFile(m_site + "/!wichtig.txt"), "wichtig");
    EXPECT_EQ(readFile(m_site + "/!fotos/urlaub.jpg"), "JPEG");
    // Each is named, so the user knows why it is still there.
    EXPECT_NE(findLine(run, "     WARNUNG: \"" + m_site + "/-preisliste.pdf\" wurde nicht von Vantor!! erzeugt und "
                                                             "bleibt erhalten"),
              nullptr);
    EXPECT_NE(findLine(run, de("     WARNUNG: Das Verzeichnis \"") + m_site +
                                de("/!fotos\" enthält Dateien, die nicht von Vantor!! erzeugt wurden, und bleibt "
                                   "erhalten")),
              nullptr);
}

TEST_F(OptimizationRunTest, WhatARunMadeIsRemovedByTheNextOneAndNothingElse)
{
    projectRecord().copyKeywords[0][0] = "Haus";
    projectRecord().doorwayKeywords[0] = "Garten";
    homepageStepsOff(); // no hidden image in the documents: only the record tells they are ours
    save();
    {
        OptimizationRun first(ui, "p");
        runOnce(first);
        ASSERT_TRUE(fs::exists(m_site + "/!haus.htm"));
        ASSERT_TRUE(fs::exists(m_site + "/!garten/index.htm"));
    }
    projectRecord().copyKeywords[0][0] = "Wohnung";
    projectRecord().doorwayKeywords[0] = "";
    save();
    OptimizationRun second(ui, "p");
    runOnce(second);
    EXPECT_FALSE(fs::exists(m_site + "/!haus.htm"));
    EXPECT_FALSE(fs::exists(m_site + "/!garten"));
    EXPECT_TRUE(fs::exists(m_site + "/!wohnung.htm"));
}

TEST_F(OptimizationRunTest, OldResultsStayWithoutDeleteoldAndTheHomepageAlways)
{
    writeFile(m_site + "/!kopie.htm", kOldDocument);
    OptimizationRun keep(ui, "p");
    projectRecord().deleteold = 0;
    save();
    runOnce(keep);
    EXPECT_TRUE(fs::exists(m_site + "/!kopie.htm"));

    // A homepage whose name starts with a sign is the user's, not ours.
    fs::rename(homepage(), m_site + "/!start.htm");
    projectRecord().path = m_site + "/!start.htm";
    projectRecord().deleteold = 1;
    save();
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_FALSE(fs::exists(m_site + "/!kopie.htm"));
    EXPECT_TRUE(fs::exists(m_site + "/!start.htm"));
    EXPECT_EQ(run.log().errors(), 0);
}

TEST_F(OptimizationRunTest, DoorlikehpFollowsAnEmptyStartpage)
{
    projectRecord().doorlikehp = 0;
    save();
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(projectRecord().doorlikehp, 1);
    // For this run only: the file keeps what the user chose.
    EXPECT_EQ(profile::readString(projectPath("p"), "homepage", "doorlikehp", ""), "0");
}

TEST_F(OptimizationRunTest, PausesAndPumpingKeepTheWindowAlive)
{
    OptimizationRun run(ui, "p");
    runOnce(run);
    // 9 copies of 5 ms, 315 empty doorway slots of 5 ms, the closing 100 ms.
    EXPECT_EQ(ui.pausedMs, 9 * 5 + 315 * 5 + 100);
    EXPECT_GE(ui.pumps, 9 + 315);
}

TEST_F(OptimizationRunTest, ExampleButtonsWithoutDocumentsSayThereIsNone)
{
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_FALSE(run.copyExamplePath());
    EXPECT_FALSE(run.doorwayExamplePath(true));
    run.openCopyExample();
    run.openDoorwayExample(false);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].title, "Kein Dokument vorhanden");
    EXPECT_TRUE(contains(ui.shown[0].text, "Kopien"));
    EXPECT_TRUE(contains(ui.shown[1].text, "Zugangsseiten"));

    // The first copy with a first term names the document; it counts once
    // it is there.
    projectRecord().copyKeywords[1][0] = "Haus am See";
    EXPECT_FALSE(run.copyExamplePath());
    writeFile(m_site + "/!hausamsee.htm", "x");
    EXPECT_EQ(run.copyExamplePath(), m_site + "/!hausamsee.htm");
}

TEST_F(OptimizationRunTest, EveryLineIsCp1252)
{
    // A literal that missed its conversion shows up as UTF-8 bytes.
    OptimizationRun run(ui, "p");
    fs::remove(m_site + "/vantor!!/index.htm");
    writeFile(m_site + "/vantor!!/index.htm", "<head></head><body>%Suchbegriff%<!-- x --></body>");
    writeFile(m_site + "/vantor!!/bild.gif", "x");
    runOnce(run);
    for (const auto &line : run.log().lines())
        EXPECT_EQ(line.text.find('\xC3'), std::string::npos) << line.text;
    for (const auto &todo : run.log().todos())
        EXPECT_EQ(todo.find('\xC3'), std::string::npos) << todo;
}

} // namespace

namespace {

std::size_t occurrences(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(OptimizationRunTest, TwoRunsLeaveOneOfEachOnAPageWithItsOwnFormAndHeading)
{
    writeFile(homepage(), "<html>\r\n<head>\r\n<title>Alt</title>\r\n</head>\r\n<body>\r\n<form action=\"s\"></form>"
                          "<FORM><input name=\"q\"></FORM>\r\n<H1>Willkommen</H1>\r\n<p>Text</p>\r\n</body>\r\n"
                          "</html>\r\n");
    ProjectRecord &record = projectRecord();
    record.author = "Firma";
    record.description = "Beschreibung";
    record.title1 = "Titel";
    record.homepageKeywords[0] = "Haus";
    record.homepageKeywords[1] = "Garten";
    ProjectOptions &options = projectOptions();
    options.text = options.auth = options.gene = 3;
    options.hiddenForm = 3;
    save();
    for (int runs = 1; runs <= 2; ++runs) {
        OptimizationRun run(ui, "p");
        runOnce(run);
        EXPECT_EQ(run.log().errors(), 0);
        const std::string page = readFile(homepage());
        for (const char *element : {"<qx!>", "value=\"qx! Haus\"", "<!--qx! Haus, Garten, ", "NAME=\"author\"",
                                    "NAME=\"generator\"", "NAME=\"copyright\"", "NAME=\"robots\"",
                                    "NAME=\"description\"", "NAME=\"keywords\"", "<LINK REL=Home>", "<TITLE> Titel"})
            EXPECT_EQ(occurrences(page, element), 1u) << element << " after run " << runs;
        EXPECT_EQ(occurrences(page, "<FORM><input name=\"q\"></FORM>"), 1u);
        EXPECT_EQ(occurrences(page, "<H1>Willkommen</H1>"), 1u);
        EXPECT_EQ(occurrences(page, "Alt"), 0u);
    }
}

TEST_F(OptimizationRunTest, FramesetHomepageGetsItsNoframesSection)
{
    writeFile(homepage(), "<html>\r\n<head>\r\n</head>\r\n<frameset><frame src=\"a.htm\"></frameset>\r\n</html>\r\n");
    projectRecord().homepageKeywords[0] = "Haus";
    save();
    OptimizationRun run(ui, "p");
    runOnce(run);
    EXPECT_EQ(run.log().errors(), 0);
    const std::string page = readFile(homepage());
    EXPECT_TRUE(contains(page, "</frameset>\r\n<NOFRAMES><BODY>\r\n"));
    // The comment heading lands inside the section.
    const std::size_t comment = page.find("<!--qx! Haus, ");
    ASSERT_NE(comment, std::string::npos);
    EXPECT_LT(page.find("<NOFRAMES><BODY>"), comment);
    EXPECT_LT(comment, page.find("</BODY></NOFRAMES>"));
}
