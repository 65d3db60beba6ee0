#include "TestEnvironment.h"

#include "platform/Text.h"
#include "submit/SubmitOutcome.h"
#include "submit/SubmitReport.h"

#include <filesystem>
#include <regex>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

const submitreport::Stamp kStamp{"07/12/26", "14:05:09"};
const std::string kBom = "\xEF\xBB\xBF";

std::size_t count(const std::string &text, const std::string &part)
{
    std::size_t n = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + part.size()))
        ++n;
    return n;
}

std::string problem(const std::string &target, const std::string &document, SubmitOutcome outcome)
{
    return target + ": " + document + " > " + submitoutcome::text(outcome);
}

// The records between the heading "Anmelde-Report:" and the empty line
// before "ToDo's:".
std::string reportRecords(const std::string &table)
{
    const std::string start = "Anmelde-Report:\r\n\r\n";
    const auto from = table.find(start) + start.size();
    return table.substr(from, table.find("\r\nToDo's:\r\n") - from);
}

TEST(SubmitReportText, EmptyListsGiveTheFrameWithTwoEmptyTextAreas)
{
    EXPECT_EQ(submitreport::html({}, {}, "www.gaertnerei.de", kStamp),
              "<HTML><HEAD>\r\n"
              "<META http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n"
              "<TITLE>Anmelde-Report vom 07/12/26</TITLE>\r\n"
              "</HEAD>\r\n<BODY background=\"back.gif\">"
              "<font face=\"Arial\" size=4 color=\"#550000\"><center><b>Vantor!! Anmelde-Report</b></center></font>\r\n"
              "<blockquote><pre><hr>\r\n"
              "      Datum: <input type=\"text\" size=\"12\" value=\"07/12/26\"><br>\r\n"
              "       Zeit: <input type=\"text\" size=\"12\" value=\"14:05:09\"><br>\r\n"
              "   Homepage: <input type=\"text\" size=\"70\" value=\"www.gaertnerei.de\"><hr></font></pre>\r\n"
              "<font face=\"Arial\" size=3 color=\"#000099\"><br>\r\n"
              "<b>Anmelde-Report:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">\r\n"
              "<textarea rows=\"10\" cols=\"120\" style=\"font-family: Arial\" name=\"report\" wrap=\"OFF\">"
              "</textarea><br><font face=\"Arial\" size=3 color=\"#000099\">\r\n"
              "<b>ToDo's:</b></font><br><font face=\"Arial\" size=2 color=\"#000000\">"
              "<textarea rows=\"5\" cols=\"120\" style=\"font-family: Arial\" name=\"todos\" wrap=\"OFF\">"
              "</textarea></font><br><br>\r\n"
              "</BODY></HTML>");

    EXPECT_EQ(submitreport::csv({}, {}, "www.gaertnerei.de", kStamp, {"Sucher"}),
              kBom +
                  "Anmelde-Report vom 07/12/26\r\n"
                  "Zeit: 14:05:09,Homepage: www.gaertnerei.de\r\n"
                  "\r\n"
                  "Anmelde-Report:\r\n"
                  "\r\n"
                  "\r\n"
                  "ToDo's:\r\n"
                  "\r\n");
}

TEST(SubmitReportText, PageKeepsTheListsInOrderInTheirOwnTextAreas)
{
    const std::string page = submitreport::html({"eins", "zwei"}, {de("Rat ä")}, "www.x.de", kStamp);
    EXPECT_NE(page.find("name=\"report\" wrap=\"OFF\">eins\r\nzwei\r\n</textarea><br>"), std::string::npos);
    EXPECT_NE(page.find("name=\"todos\" wrap=\"OFF\">" + de("Rat ä") + "\r\n</textarea></font>"), std::string::npos);
}

TEST(SubmitReportText, InsertedTextsCannotEndTheTextAreaOrAddMarkup)
{
    const std::string page = submitreport::html({problem("A&B", "www.x.de/</textarea><b>.htm", SubmitOutcome::NotFound)},
                                                {"\"zitiert\" & <i>"}, "www.x.de/?a=1&b=\"2\"", kStamp);
    // Only the page's own two text areas end, and no tag came in.
    EXPECT_EQ(count(page, "</textarea>"), 2u);
    EXPECT_EQ(page.find("<b>.htm"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("A&amp;B: www.x.de/&lt;/textarea&gt;&lt;b&gt;.htm &gt; "), std::string::npos);
    EXPECT_NE(page.find("&quot;zitiert&quot; &amp; &lt;i&gt;\r\n"), std::string::npos);
    EXPECT_NE(page.find("value=\"www.x.de/?a=1&amp;b=&quot;2&quot;\""), std::string::npos);
}

TEST(SubmitReportText, ProblemLinesBecomeTargetDocumentAndOutcome)
{
    const std::string list = "Liste: Webkatalog (120)";
    // "Liste" alone is a target too: the longer entry has to win.
    const std::vector<std::string> targets{"Liste", list, "Sucher"};
    const std::vector<std::string> report{
        problem("Sucher", "127.0.0.1:8080/a.htm", SubmitOutcome::NoAnswer),
        problem(list, "www.x.de/b.htm", SubmitOutcome::Rejected),
        "Sucher: Mind. 1 Dokument ist bereits angemeldet",
        // A target the caller did not name is still split at its outcome.
        problem("Altkatalog", "www.x.de:81/c.htm", SubmitOutcome::Unknown),
        // Not a problem line: it stays one field whatever colons it holds.
        "Fremd: www.x.de > irgendwas",
    };
    const std::string table = submitreport::csv(report, {}, "www.x.de", kStamp, targets);
    EXPECT_EQ(reportRecords(table), "Sucher,127.0.0.1:8080/a.htm,Timeout (Keine Antwort vom Server)\r\n"
                                    "Liste: Webkatalog (120),www.x.de/b.htm," +
                                        toUtf8(de("Abgelehnt (URL ungültig oder kann nicht angemeldet werden)")) +
                                        "\r\n"
                                        "Sucher: Mind. 1 Dokument ist bereits angemeldet\r\n"
                                        "Altkatalog,www.x.de:81/c.htm,Antwort nicht bekannt\r\n"
                                        "Fremd: www.x.de > irgendwas\r\n");
}

TEST(SubmitReportText, TableIsUtf8AndQuotesWhatWouldSplitAField)
{
    const std::vector<std::string> advice{de("Wählen Sie, bitte"), "Sag \"ja\"", de(" eingerückt")};
    const std::string table = submitreport::csv({problem("Such,er", "www.x.de/a.htm", SubmitOutcome::Down)}, advice,
                                                "www.x.de", kStamp, {"Such,er"});
    ASSERT_EQ(table.rfind(kBom, 0), 0u);
    EXPECT_NE(table.find("\"Such,er\",www.x.de/a.htm,Abgelehnt wegen Wartung/\xC3\x9C"
                         "berlastung des Servers\r\n"),
              std::string::npos);
    EXPECT_NE(table.find("ToDo's:\r\n\r\n\"W\xC3\xA4hlen Sie, bitte\"\r\n\"Sag \"\"ja\"\"\"\r\n\" einger\xC3\xBC"
                         "ckt\"\r\n"),
              std::string::npos);
    // Not one cp1252 byte is left.
    EXPECT_EQ(table.find(de("ä")), std::string::npos);
}

TEST(SubmitReportText, DefaultFileLiesBesideTheHomepageAndTheStampHasTwoDigitsEach)
{
    EXPECT_EQ(submitreport::defaultFile("/site/sub/index.htm"), "/site/sub/Anmelde-Report");
    const submitreport::Stamp stamp = submitreport::now();
    EXPECT_TRUE(std::regex_match(stamp.date, std::regex(R"(\d\d/\d\d/\d\d)"))) << stamp.date;
    EXPECT_TRUE(std::regex_match(stamp.time, std::regex(R"(\d\d:\d\d:\d\d)"))) << stamp.time;
}

class SubmitReportSaveTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        writeFile(root() + "/back.gif", "GIF-programm");
        fs::create_directories(site());
    }
    std::string site() const { return root() + "/site"; }
};

TEST_F(SubmitReportSaveTest, SavingAgainReplacesTheReportButKeepsTheFirstBackGif)
{
    const std::string path = site() + "/Anmelde-Report.htm";
    ASSERT_TRUE(submitreport::save(path, "erster", ui));
    EXPECT_EQ(readFile(path), "erster");
    EXPECT_EQ(readFile(site() + "/back.gif"), "GIF-programm");

    writeFile(root() + "/back.gif", "GIF-neu");
    writeFile(site() + "/back.gif", "eigenes");
    ASSERT_TRUE(submitreport::save(path, "zweiter", ui));
    EXPECT_EQ(readFile(path), "zweiter");
    EXPECT_EQ(readFile(site() + "/back.gif"), "eigenes");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SubmitReportSaveTest, PlaceThatCannotBeWrittenIs6001AndLeavesEverythingAsItWas)
{
    const std::string text = de("Die Report-Datei konnte nicht erzeugt/überschrieben werden. "
                                "Überprüfen Sie die Schreibrechte auf die Datei bzw. das Verzeichnis.");

    EXPECT_FALSE(submitreport::save(site() + "/fehlt/r.csv", "x", ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "systemError");
    EXPECT_EQ(ui.shown[0].title, "Fehler Code 6001");
    EXPECT_EQ(ui.shown[0].text, text);

    // An older report the user made read-only stays whole.
    const std::string old = site() + "/alt.csv";
    writeFile(old, "alter Report");
    fs::permissions(old, fs::perms::owner_read);
    EXPECT_FALSE(submitreport::save(old, "neu", ui));
    EXPECT_EQ(ui.titles().back(), "Fehler Code 6001");
    EXPECT_EQ(readFile(old), "alter Report");
    EXPECT_FALSE(fs::exists(site() + "/back.gif"));

    if (::geteuid() != 0) { // root writes whatever the mode says
        const std::string closed = root() + "/zu";
        fs::create_directories(closed);
        fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(submitreport::save(closed + "/r.htm", "x", ui));
        fs::permissions(closed, fs::perms::owner_all);
        EXPECT_EQ(ui.titles().back(), "Fehler Code 6001");
        EXPECT_TRUE(fs::is_empty(closed));
    }
}

TEST_F(SubmitReportSaveTest, FileThatCannotBeWrittenIs6002AndGetsNoBackGif)
{
    // Creatable by every check, but a link to nowhere is not written through.
    const std::string path = site() + "/r.htm";
    fs::create_symlink(site() + "/nirgends/x.htm", path);
    EXPECT_FALSE(submitreport::save(path, "x", ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Fehler Code 6002"});
    EXPECT_FALSE(fs::exists(site() + "/back.gif"));
}

} // namespace
