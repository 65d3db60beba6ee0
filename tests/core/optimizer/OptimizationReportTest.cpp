#include "TestEnvironment.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/OptimizationReport.h"
#include "optimizer/RunLog.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

class OptimizationReportTest : public vantor::testing::CoreTest
{
protected:
    ReportInput input(bool projectData, bool configData)
    {
        ReportInput in;
        in.record = &projectRecord();
        in.options = &projectOptions();
        in.doorways = &m_doorways;
        in.log = &m_log;
        in.programDirectory = "/opt/vantor/";
        in.lineEnd = "\r\n";
        in.withProjectData = projectData;
        in.withConfigData = configData;
        in.when.tm_mday = 7;
        in.when.tm_mon = 11;
        in.when.tm_year = 126;
        in.when.tm_hour = 9;
        in.when.tm_min = 5;
        in.when.tm_sec = 3;
        return in;
    }

    RunLog m_log;
    DoorwayTerms m_doorways;
};

TEST_F(OptimizationReportTest, FrameAloneWhenBothTicksAreCleared)
{
    projectRecord().path = "/site/index.htm";
    m_log.logLine("Zeile eins", LineKind::Normal);
    m_log.logLine("     FEHLER: zwei", LineKind::Error);
    m_log.addTodo("Erledigen");
    const std::string report = buildReport(input(false, false));
    const std::string expected =
        "<HTML><HEAD>\r\n"
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
        "<TITLE> Report vom 07/12/26</TITLE>\r\n"
        "</HEAD><BODY background=\"file:///opt/vantor/back.gif\"><font face=\"Arial\" size=4 color=\"#550000\">"
        "<center><b>Vantor!! Report</b></center></font>\r\n"
        "<blockquote><pre><hr>\r\n"
        "      Datum: <input type=\"text\" size=\"12\" value=\"07/12/26\"><br>\r\n"
        "       Zeit: <input type=\"text\" size=\"12\" value=\"09:05:03\"><br>\r\n"
        "   Homepage: <input type=\"text\" size=\"70\" value=\"/site/index.htm\"><hr></font></pre>\r\n"
        "<font face=\"Arial\" size=3 color=\"#000099\"><br>\r\n"
        "<b>REPORT:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">\r\n"
        "<textarea rows=\"10\" cols=\"120\" style=\"font-family: Arial\" name=\"report\">Zeile eins\r\n"
        "     FEHLER: zwei\r\n"
        "</textarea><br><font face=\"Arial\" size=3 color=\"#000099\">\r\n"
        "<b>TODO'S:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\"><textarea rows=\"3\" cols=\"120\" "
        "style=\"font-family: Arial\" name=\"todos\">Erledigen\r\n"
        "</textarea></font><br><br>\r\n"
        "</BODY></HTML>\r\n";
    EXPECT_EQ(report, expected);
}

TEST_F(OptimizationReportTest, LinesGoInAsTheyAre)
{
    m_log.logLine("a </textarea> b <b>", LineKind::Normal);
    m_log.logLine("zweite", LineKind::Normal);
    const std::string report = buildReport(input(false, false));
    EXPECT_TRUE(contains(report, "name=\"report\">a </textarea> b <b>\r\nzweite\r\n</textarea>"));
}

TEST_F(OptimizationReportTest, ProjectDataListsTermsInEntityForm)
{
    ProjectRecord &r = projectRecord();
    r.title1 = de("Ferienhäuser");
    r.author = "Meier & Co";
    r.description = "Beschreibung";
    r.homepageKeywords[0] = "Haus";
    r.homepageKeywords[2] = "Nordsee";
    r.copyKeywords[4][0] = "Kopie5";
    m_doorways.slots[3].term = "Tor";
    const std::string report = buildReport(input(true, false));
    EXPECT_TRUE(contains(report, "<font face=\"Arial\" size=3 color=\"#000099\"><b>PROJEKTDATEN:</b></font><br>\r\n<br>\r\n"));
    EXPECT_TRUE(contains(report, "Titel 1:"));
    EXPECT_TRUE(contains(report, "value=\"Ferienh&auml;user\""));
    EXPECT_TRUE(contains(report, "value=\"Meier &amp; Co\"") || contains(report, "value=\"Meier & Co\""));
    EXPECT_TRUE(contains(report, "name=\"descript\">Beschreibung</textarea>"));
    EXPECT_TRUE(contains(report, "<option>Haus</option>\r\n<option>Nordsee</option>\r\n</select>"));
    EXPECT_TRUE(contains(report, "<option>Kopie5</option>"));
    EXPECT_TRUE(contains(report, "<select size=\"5\">\r\n<option>Tor</option>\r\n</select>"));
    EXPECT_TRUE(contains(report, "</table><br>\r\n</BODY></HTML>"));
    EXPECT_FALSE(contains(report, "KONFIGURATION:"));
}

TEST_F(OptimizationReportTest, ConfigurationShowsBothSwitchesOfEveryCode)
{
    ProjectOptions &o = projectOptions();
    o.titl = 1; // homepage only
    o.link = 2; // copies only
    o.auth = 0;
    o.tico = 5;
    o.deco = 0;
    o.sonz = 2;
    projectRecord().scope = 0;
    const std::string report = buildReport(input(false, true));
    EXPECT_TRUE(contains(report, "<font face=\"Arial\" size=3 color=\"#000099\"><b>KONFIGURATION:</b></font><br><br>"));
    EXPECT_TRUE(contains(report, "  <td width=\"90%\">HP: Homepage  ZK: Zugangsdokumente und Kopien</td></tr></table>"));
    EXPECT_TRUE(contains(report, "<input type=\"checkbox\" checked ></td>\r\n  <td width=\"3%\"><input type=\"checkbox\" "
                                 "></td>\r\n  <td width=\"30%\">title</td>"));
    EXPECT_TRUE(contains(report, "<input type=\"checkbox\" ></td>\r\n  <td width=\"3%\"><input type=\"checkbox\" "
                                 "checked ></td>\r\n  <td width=\"30%\">link rel</td>"));
    EXPECT_TRUE(contains(report, "  <td width=\"30%\">author\r\n"));
    EXPECT_TRUE(contains(report, "  <td width=\"3%\"></td>\r\n  <td width=\"3%\"><input type=\"checkbox\" checked "
                                 "></td>\r\n  <td width=\"30%\">Titel Kopien</td>"));
    EXPECT_TRUE(contains(report, "Verwendete Sonderzeichen: 0 1 2"));
    // No terms and no copies: the estimate without the dialog's limits.
    EXPECT_TRUE(contains(report, de("Art der Optimierung: Möglichst wenig Speicherplatz verwenden (ca. 0 kB)")));
}

TEST_F(OptimizationReportTest, ReportFileEndsWithANulByte)
{
    const std::string path = root() + "/~report.htm";
    ASSERT_TRUE(writeReportFile(path, "abc", ui));
    EXPECT_EQ(readFile(path), std::string("abc\0", 4));

    EXPECT_FALSE(writeReportFile(root() + "/fehlt/~report.htm", "abc", ui));
    EXPECT_TRUE(ui.showedTitle("Fehler Code 6001"));
}

TEST_F(OptimizationReportTest, SavedCopyRefersToABackGifBesideIt)
{
    writeFile(root() + "/back.gif", "GIF-programm");
    const std::string report = buildReport(input(false, false));
    fs::create_directories(root() + "/ablage");
    ASSERT_TRUE(saveReportCopy(report, root() + "/ablage/Report.htm", root(), ui));
    const std::string saved = readFile(root() + "/ablage/Report.htm");
    EXPECT_TRUE(contains(saved, "</HEAD><BODY background=\"back.gif\"><font face=\"Arial\" size=4"));
    EXPECT_FALSE(contains(saved, "file:"));
    EXPECT_EQ(saved.back(), '\0');
    EXPECT_EQ(readFile(root() + "/ablage/back.gif"), "GIF-programm");

    // A back.gif of the user's own is kept.
    fs::create_directories(root() + "/eigen");
    writeFile(root() + "/eigen/back.gif", "eigenes");
    ASSERT_TRUE(saveReportCopy(report, root() + "/eigen/r.htm", root(), ui));
    EXPECT_EQ(readFile(root() + "/eigen/back.gif"), "eigenes");
    // The report in the homepage directory stays as it was.
    EXPECT_TRUE(contains(report, "file:///opt/vantor/back.gif"));
}

} // namespace
