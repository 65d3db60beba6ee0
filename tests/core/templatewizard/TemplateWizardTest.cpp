#include "TestEnvironment.h"

#include "optimizer/RunLog.h"
#include "optimizer/TemplateCheck.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "templatewizard/TemplateWizard.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// A stock template small enough to read in a failure message, with each
// placeholder where the shipped one has it.
const char *const kStock = "<HTML><HEAD><TITLE>%Suchbegriff%</TITLE></HEAD>"
                           "<BODY background=\"back1.gif\" text=\"#000000\" link=\"#000000\">"
                           "<h1 style=\"color:#FF8C08\">%Suchbegriff%</h1>"
                           "<table><tr><td bgcolor=\"#FFC6A5\">a</td><td bgcolor=\"#FFC6A5\">b</td></tr></table>"
                           "<hr color=\"#FF8C08\"><a href=\"../\">Homepage</a></BODY></HTML>";

// A GIF head with the two accent entries as the first palette colours.
std::string accentGif(std::size_t size = 64)
{
    std::string gif = "GIF89a";
    gif += std::string("\x02\x00\x01\x00\xF1\x00\x00", 7);
    gif += "\xFF\x8C\x08\xFF\xC6\xA5";
    gif.resize(size, '\x11');
    return gif;
}

std::string plainGif() { return std::string("GIF89a\x02\x00\x01\x00\xF1\x00\x00", 13) + std::string(51, '\x22'); }

// Everything under a directory, links as links, files with their bytes:
// what must stay as it is when the wizard may not write there.
std::map<std::string, std::string> snapshot(const std::string &directory)
{
    std::map<std::string, std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(directory)) {
        const std::string name = fs::relative(entry.path(), directory).string();
        if (entry.is_symlink()) {
            entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            entries[name] = std::string(std::istreambuf_iterator<char>(in), {});
        } else {
            entries[name] = "<dir>";
        }
    }
    return entries;
}

class TemplateWizardTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        fs::create_directories(root() + "/templates");
        fs::create_directories(root() + "/site");
        writeFile(root() + "/templates/template1.htm", kStock);
        for (int n = 1; n <= TemplateChoice::kStockImages; ++n)
            writeFile(root() + "/templates/" + stockImageName(n),
                      n <= TemplateChoice::kRecolouredImages ? accentGif() : plainGif());
        writeFile(homepage(), "<html><head></head><body>Start</body></html>");
        setShellOpener([this](const std::string &target) {
            opened.push_back(target);
            return true;
        });
    }
    void TearDown() override
    {
        setShellOpener(nullptr);
        CoreTest::TearDown();
    }

    std::string homepage() const { return root() + "/site/start.htm"; }
    std::string templateFile() const { return root() + "/site/vantor!!/index.htm"; }
    std::string backupFile() const { return templateFile() + ".bak"; }
    // A directory beside the site with files of its own, as a user's
    // documents or a shared picture folder would be.
    std::string canary()
    {
        const std::string directory = root() + "/canary";
        fs::create_directories(directory + "/sub");
        writeFile(directory + "/index.htm", "<html>not the site's</html>");
        writeFile(directory + "/index.htm.bak", "older");
        writeFile(directory + "/back_3.gif", "precious picture");
        writeFile(directory + "/sub/note.txt", "notes");
        return directory;
    }
    bool create(const TemplateChoice &choice) { return createTemplate(homepage(), choice, ui, root()); }

    std::vector<std::string> opened;
};

} // namespace

TEST(TemplateColours, HexTintAndParsing)
{
    EXPECT_EQ(colourToHex({255, 140, 8}), "FF8C08");
    EXPECT_EQ(colourToHex({0, 10, 255}), "000AFF");
    EXPECT_EQ(lightTint({0, 0, 0}), (Colour{127, 127, 127}));
    EXPECT_EQ(lightTint({255, 1, 100}), (Colour{255, 128, 177}));
    EXPECT_EQ(colourFromHex("#ebc8c8"), (Colour{235, 200, 200}));
    EXPECT_EQ(colourFromHex("0000FF"), (Colour{0, 0, 255}));
    EXPECT_FALSE(colourFromHex("0000F"));
    EXPECT_FALSE(colourFromHex("00G0FF"));
    EXPECT_FALSE(colourFromHex(""));
}

TEST(TemplateColours, ChoiceDecidesWhetherTheBackgroundColourApplies)
{
    TemplateChoice choice;
    EXPECT_FALSE(choice.backgroundColourApplies());
    choice.chooseStock(8);
    EXPECT_TRUE(choice.backgroundColourApplies());
    EXPECT_EQ(choice.backgroundColour, TemplateChoice::kDefaultBackground);
    choice.backgroundColour = {1, 2, 3};
    choice.chooseStock(9);
    EXPECT_FALSE(choice.backgroundColourApplies());
    choice.chooseOwn();
    EXPECT_FALSE(choice.backgroundColourApplies());
    EXPECT_EQ(choice.backgroundColour, (Colour{1, 2, 3})); // kept while it does not apply
    choice.choosePlain();
    EXPECT_TRUE(choice.backgroundColourApplies());
    EXPECT_EQ(choice.backgroundColour, (Colour{235, 200, 200}));
}

TEST(FillStockTemplate, PlainPageWithStandardColours)
{
    TemplateChoice choice;
    choice.choosePlain();
    EXPECT_EQ(fillStockTemplate(kStock, choice, "", "start.htm"),
              "<HTML><HEAD><TITLE>%Suchbegriff%</TITLE></HEAD>"
              "<BODY bgcolor=\"#EBC8C8\" text=\"#000000\" link=\"#000000\">"
              "<h1 style=\"color:#000000\">%Suchbegriff%</h1>"
              "<table><tr><td bgcolor=\"#7F7F7F\">a</td><td bgcolor=\"#7F7F7F\">b</td></tr></table>"
              "<hr color=\"#EBC8C8\"><a href=\"../start.htm\">Homepage</a></BODY></HTML>");
}

TEST(FillStockTemplate, PictureTakesTheBackgroundColourForTheFirstAccentOnly)
{
    TemplateChoice choice;
    choice.chooseStock(3);
    choice.backgroundColour = {0, 0, 255};
    choice.textColour = {0, 0, 128};
    const std::string page = fillStockTemplate(kStock, choice, "back_3.gif", "start.htm");
    EXPECT_NE(page.find("<BODY background=\"../back_3.gif\" text=\"#000080\" link=\"#000080\">"), std::string::npos);
    EXPECT_NE(page.find("color:#0000FF"), std::string::npos);
    EXPECT_NE(page.find("<td bgcolor=\"#7F7FBF\">a</td><td bgcolor=\"#FFC6A5\">"), std::string::npos);
    EXPECT_NE(page.find("<hr color=\"#FF8C08\">"), std::string::npos);
}

TEST(FillStockTemplate, InsertedColoursAreNeverTakenForPlaceholders)
{
    // A black background on a plain page must stay black when the text
    // colour then replaces the template's own black.
    TemplateChoice choice;
    choice.choosePlain();
    choice.backgroundColour = {0, 0, 0};
    choice.textColour = {255, 255, 255};
    std::string page = fillStockTemplate(kStock, choice, "", "start.htm");
    EXPECT_NE(page.find("bgcolor=\"#000000\" text=\"#FFFFFF\" link=\"#FFFFFF\""), std::string::npos);
    EXPECT_NE(page.find("<hr color=\"#000000\">"), std::string::npos);

    // A text colour that reads like the accent does not swallow the second accent.
    choice.backgroundColour = {1, 2, 3};
    choice.textColour = {255, 140, 8};
    page = fillStockTemplate(kStock, choice, "", "start.htm");
    EXPECT_NE(page.find("color:#FF8C08\">"), std::string::npos);
    EXPECT_NE(page.find("<hr color=\"#010203\">"), std::string::npos);
}

TEST_F(TemplateWizardTest, StockPictureThreeIsCopiedReferencedAndRecoloured)
{
    TemplateChoice choice;
    choice.chooseStock(3);
    choice.backgroundColour = {0, 0, 255};
    ASSERT_TRUE(create(choice));
    EXPECT_TRUE(ui.showedTitle("Vorlage erstellt"));
    EXPECT_NE(readFile(templateFile()).find("background=\"../back_3.gif\""), std::string::npos);
    const std::string gif = readFile(root() + "/site/back_3.gif");
    EXPECT_EQ(gif.substr(13, 6), std::string("\x00\x00\xFF\x55\x55\xFF", 6));
    EXPECT_EQ(gif.substr(19), accentGif().substr(19));
}

TEST_F(TemplateWizardTest, PicturesBeyondEightAndOwnPicturesAreCopiedUnchanged)
{
    TemplateChoice choice;
    choice.chooseStock(12);
    choice.backgroundColour = {0, 0, 255};
    ASSERT_TRUE(create(choice));
    EXPECT_EQ(readFile(root() + "/site/back_12.gif"), plainGif());

    fs::create_directories(root() + "/elsewhere");
    writeFile(root() + "/elsewhere/hg.jpg", "JPEG");
    choice.chooseOwn();
    choice.ownImage = root() + "/elsewhere/hg.jpg";
    ASSERT_TRUE(create(choice)); // the question to overwrite answers OK
    EXPECT_TRUE(ui.showedTitle("Eine Vorlage existiert bereits"));
    EXPECT_EQ(readFile(root() + "/site/hg.jpg"), "JPEG");
    EXPECT_NE(readFile(templateFile()).find("background=\"../hg.jpg\""), std::string::npos);

    // A picture that already lies beside the homepage is left as it is.
    choice.ownImage = root() + "/site/hg.jpg";
    ASSERT_TRUE(create(choice));
    EXPECT_EQ(readFile(root() + "/site/hg.jpg"), "JPEG");
}

TEST_F(TemplateWizardTest, ChoicesThatCannotWork)
{
    TemplateChoice choice;
    EXPECT_FALSE(create(choice));
    choice.chooseOwn();
    EXPECT_FALSE(create(choice));
    choice.ownImage = root() + "/templates"; // a directory
    EXPECT_FALSE(create(choice));
    choice.ownImage = root() + "/nothing.gif";
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{de("Kein Hintergrundbild gewählt"), de("Kein gültiges Hintergrundbild"),
                                                     de("Kein gültiges Hintergrundbild"),
                                                     de("Kein gültiges Hintergrundbild")}));
    // The message names the choice as the dialog shows it.
    EXPECT_EQ(ui.shown[0].text, de("Sie haben kein Hintergrundbild gewählt. Wählen Sie ein Hintergrundbild aus. "
                                   "Möchten Sie kein Hintergrundbild, wählen Sie \"einfarbig\"."));
    EXPECT_FALSE(fs::exists(root() + "/site/vantor!!"));
}

TEST_F(TemplateWizardTest, AnExistingTemplateStaysWhenTheUserSaysAbbruch)
{
    fs::create_directories(root() + "/site/vantor!!");
    writeFile(templateFile(), "mine");
    TemplateChoice choice;
    choice.choosePlain();
    ui.questionAnswers = {false};
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(readFile(templateFile()), "mine");
    EXPECT_FALSE(fs::exists(backupFile()));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Eine Vorlage existiert bereits"});
    // Enter alone must not replace hours of work.
    EXPECT_EQ(ui.shown[0].kind, "questionDefaultNo");

    writeFile(backupFile(), "older");
    ui.questionAnswers = {false};
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(readFile(templateFile()), "mine");
    EXPECT_EQ(readFile(backupFile()), "older");
}

TEST_F(TemplateWizardTest, TheReplacedTemplateIsKeptBesideTheNewOne)
{
    fs::create_directories(root() + "/site/vantor!!");
    const std::string mine = "<html>mine, with \xE4nderungen\r\n</html>";
    writeFile(templateFile(), mine);
    writeFile(backupFile(), "older");
    TemplateChoice choice;
    choice.choosePlain();
    ui.questionAnswers = {true};
    ASSERT_TRUE(create(choice));
    EXPECT_EQ(readFile(backupFile()), mine);
    EXPECT_NE(readFile(templateFile()).find("bgcolor=\"#EBC8C8\""), std::string::npos);

    // The next one replaces the older backup.
    const std::string plain = readFile(templateFile());
    choice.chooseStock(12);
    ASSERT_TRUE(create(choice));
    EXPECT_EQ(readFile(backupFile()), plain);
    EXPECT_NE(readFile(templateFile()).find("../back_12.gif"), std::string::npos);
}

TEST_F(TemplateWizardTest, ATemplateThatCannotBeKeptIsNotReplaced)
{
    fs::create_directories(root() + "/site/vantor!!");
    writeFile(templateFile(), "mine");
    fs::create_directories(backupFile()); // a directory where the backup goes
    TemplateChoice choice;
    choice.choosePlain();
    ui.questionAnswers = {true};
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(readFile(templateFile()), "mine");
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Eine Vorlage existiert bereits",
                                                     "Fehler beim Erstellen der Vorlage"}));
}

TEST_F(TemplateWizardTest, ATemplateDirectoryLinkedOutOfTheSiteIsNotWrittenThrough)
{
    const std::string outside = canary();
    const auto before = snapshot(outside);
    fs::create_directory_symlink(outside, root() + "/site/vantor!!");
    TemplateChoice choice;
    choice.chooseStock(3);
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(snapshot(outside), before);
    ASSERT_EQ(ui.titles(), std::vector<std::string>{"Vorlage nicht erstellt"});
    EXPECT_NE(ui.shown[0].text.find("\"" + root() + "/site/vantor!!\""), std::string::npos);
    // Nothing else was written either, not even the picture.
    EXPECT_FALSE(fs::exists(root() + "/site/back_3.gif"));

    // Gone nowhere, it leads nowhere inside the site either.
    fs::remove(root() + "/site/vantor!!");
    fs::create_directory_symlink(root() + "/nowhere", root() + "/site/vantor!!");
    EXPECT_FALSE(create(choice));
    EXPECT_FALSE(fs::exists(root() + "/nowhere"));

    // A link within the site is the user's own arrangement and is used.
    fs::remove(root() + "/site/vantor!!");
    fs::create_directories(root() + "/site/vorlagen");
    fs::create_directory_symlink(root() + "/site/vorlagen", root() + "/site/vantor!!");
    EXPECT_TRUE(create(choice));
    EXPECT_TRUE(fs::exists(root() + "/site/vorlagen/index.htm"));
    EXPECT_EQ(snapshot(outside), before);
}

TEST_F(TemplateWizardTest, FilesLinkedOutOfTheSiteAreNotWrittenThrough)
{
    const std::string outside = canary();
    const auto before = snapshot(outside);
    fs::create_directories(root() + "/site/vantor!!");
    TemplateChoice choice;
    choice.chooseStock(3);

    fs::create_symlink(outside + "/index.htm", templateFile());
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(snapshot(outside), before);
    ASSERT_EQ(ui.titles(), std::vector<std::string>{"Vorlage nicht erstellt"});
    EXPECT_NE(ui.shown[0].text.find("Die Datei \"" + templateFile() + "\""), std::string::npos);
    fs::remove(templateFile());

    // The backup of the template the user has is a file the wizard writes.
    writeFile(templateFile(), "mine");
    fs::create_symlink(outside + "/index.htm.bak", backupFile());
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(readFile(templateFile()), "mine");
    fs::remove(backupFile());

    // So is the picture copied beside the homepage.
    fs::create_symlink(outside + "/back_3.gif", root() + "/site/back_3.gif");
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(readFile(templateFile()), "mine");
    EXPECT_EQ(snapshot(outside), before);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Vorlage nicht erstellt", "Vorlage nicht erstellt",
                                                     "Vorlage nicht erstellt"}));

    // An own picture that is such a link is used where it is, not copied
    // onto itself through the link.
    choice.chooseOwn();
    choice.ownImage = root() + "/site/back_3.gif";
    ui.questionAnswers = {true};
    ASSERT_TRUE(create(choice));
    EXPECT_NE(readFile(templateFile()).find("../back_3.gif"), std::string::npos);
    EXPECT_EQ(snapshot(outside), before);
}

TEST_F(TemplateWizardTest, MissingInstallationFilesGiveTheErrorMessage)
{
    const std::string error = "Fehler beim Erstellen der Vorlage";
    TemplateChoice choice;
    choice.choosePlain();
    fs::remove(root() + "/templates/template1.htm");
    EXPECT_FALSE(create(choice));
    fs::create_directories(root() + "/templates/template1.htm");
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{error, error}));

    // A picture too short to hold its palette: the template is written, the
    // recolouring fails.
    fs::remove(root() + "/templates/template1.htm");
    writeFile(root() + "/templates/template1.htm", kStock);
    writeFile(root() + "/templates/back_2.gif", accentGif(49));
    ui.shown.clear();
    choice.chooseStock(2);
    EXPECT_FALSE(create(choice));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{error});
    EXPECT_TRUE(fs::exists(templateFile()));
    EXPECT_EQ(readFile(root() + "/site/back_2.gif"), accentGif(49));
}

TEST_F(TemplateWizardTest, ShowTemplate)
{
    EXPECT_FALSE(showTemplate(homepage(), ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Vorlage fehlt"});
    EXPECT_TRUE(fs::is_directory(root() + "/site/vantor!!"));
    EXPECT_TRUE(fs::is_empty(root() + "/site/vantor!!"));
    EXPECT_TRUE(opened.empty());

    writeFile(templateFile(), kStock);
    EXPECT_TRUE(showTemplate(homepage(), ui));
    EXPECT_EQ(opened, std::vector<std::string>{templateFile()});
}

TEST_F(TemplateWizardTest, TemplatesFromTheShippedFilesPassTheCheckWithoutWarnings)
{
    const std::string shipped = VANTOR_SOURCE_DATA_DIR;
    TemplateChoice choice;
    choice.choosePlain();
    for (int n = 0; n <= TemplateChoice::kStockImages; ++n) {
        if (n > 0)
            choice.chooseStock(n);
        // Each made afresh, without the backup a replaced template leaves:
        // the check is about what the wizard writes into the template.
        fs::remove_all(root() + "/site/vantor!!");
        ASSERT_TRUE(createTemplate(homepage(), choice, ui, shipped)) << n;
        RunLog log;
        ASSERT_TRUE(checkTemplate(root() + "/site", log, ui)) << n;
        EXPECT_EQ(log.warnings(), 0) << n;
        EXPECT_EQ(log.errors(), 0) << n;
    }
}

TEST_F(TemplateWizardTest, ATemplateForAUtf8HomepageIsUtf8)
{
    writeFile(homepage(), "<html><head><meta charset=\"utf-8\"></head><body>Grüße</body></html>");
    writeFile(root() + "/templates/template1.htm",
              std::string(kStock) + "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
                                    "Gr\xFC\xDF\x65");
    TemplateChoice choice;
    choice.choosePlain();
    ASSERT_TRUE(create(choice));
    const std::string made = readFile(templateFile());
    EXPECT_NE(made.find("charset=utf-8\">Grüße"), std::string::npos);
    RunLog log;
    EXPECT_TRUE(checkTemplate(root() + "/site", log, ui));

    // A cp1252 homepage keeps the template as it ships.
    writeFile(homepage(), "<html><head></head><body>Gr\xFC\xDF\x65</body></html>");
    ASSERT_TRUE(create(choice));
    EXPECT_NE(readFile(templateFile()).find("charset=windows-1252\">Gr\xFC\xDF\x65"), std::string::npos);
}
