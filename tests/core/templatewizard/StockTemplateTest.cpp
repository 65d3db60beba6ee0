#include "TestEnvironment.h"

#include "optimizer/RunLog.h"
#include "optimizer/TemplateCheck.h"
#include "templatewizard/TemplateWizard.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

// The files the template wizard ships with: the stock template and its
// pictures keep the texts and palette entries the wizard replaces.
class StockTemplateTest : public vantor::testing::CoreTest
{
protected:
    static std::string shipped(const std::string &name)
    {
        return readFile(std::string(VANTOR_SOURCE_DATA_DIR) + "/templates/" + name);
    }

    static int count(const std::string &text, const std::string &part)
    {
        int n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++n;
        return n;
    }

    static std::string lower(std::string text)
    {
        for (char &c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    }

    // Where the wizard looks for the palette entries it recolours.
    static bool inPaletteWindow(const std::string &gif, const char *triple)
    {
        return gif.substr(0, 50).find(triple) != std::string::npos;
    }
};

TEST_F(StockTemplateTest, TemplateHoldsWhatTheWizardAndTheDoorwaysReplace)
{
    const std::string stock = shipped("template1.htm");
    ASSERT_FALSE(stock.empty());

    EXPECT_EQ(count(stock, "background=\"back1.gif\""), 1);
    EXPECT_EQ(count(stock, "back1.gif"), 1);
    // Only the first two of each are replaced; a third would stay orange.
    EXPECT_EQ(count(stock, "FF8C08"), 2);
    EXPECT_EQ(count(stock, "FFC6A5"), 2);
    EXPECT_GE(count(stock, "text=\"#000000\""), 1);
    EXPECT_EQ(count(stock, "<a href=\"../\">Homepage</a>"), 1);
    EXPECT_EQ(count(stock, "\">Homepage"), 1);

    const std::string title = stock.substr(stock.find("<title>"), stock.find("</title>") - stock.find("<title>"));
    EXPECT_NE(title.find("%Suchbegriff%"), std::string::npos);
    EXPECT_NE(stock.find("<h1>%Suchbegriff%</h1>"), std::string::npos);
    EXPECT_GE(count(stock, "%Suchbegriff%"), 3);
    for (const char *placeholder :
         {"%SuchbegriffIntern%", "%Firma%", "%Beschreibung%", "%Textbaustein1%", "%Textbaustein2%"})
        EXPECT_GE(count(stock, placeholder), 1) << placeholder;

    const std::string lowered = lower(stock);
    for (const char *element : {"<head>", "</head>", "<body ", "</body>"})
        EXPECT_EQ(count(lowered, element), 1) << element;
    for (const char *unwanted : {"<!--", "<script", "<frame", "<iframe"})
        EXPECT_EQ(count(lowered, unwanted), 0) << unwanted;
    // cp1252 in 7 bits: umlauts as entities, so no code page can garble them.
    EXPECT_EQ(std::count_if(stock.begin(), stock.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }),
              0);
}

TEST_F(StockTemplateTest, MadeTemplatesPassTheCheckWithoutAWarning)
{
    const std::string site = root() + "/site";
    fs::create_directories(site);
    writeFile(site + "/index.htm", "<html><head></head><body>Hallo</body></html>");

    TemplateChoice plain;
    plain.choosePlain();
    TemplateChoice recoloured;
    recoloured.chooseStock(3);
    recoloured.backgroundColour = {0, 0, 255};
    TemplateChoice ownColours;
    ownColours.chooseStock(12);
    ownColours.textColour = {0x33, 0x33, 0x66};
    for (const TemplateChoice &choice : {plain, recoloured, ownColours}) {
        // Each made afresh, without the backup a replaced template leaves:
        // the check is about what the wizard writes into the template.
        fs::remove_all(site + "/vantor!!");
        ASSERT_TRUE(createTemplate(site + "/index.htm", choice, ui, VANTOR_SOURCE_DATA_DIR));
        const std::string made = readFile(templatePath(site));
        EXPECT_NE(made.find("href=\"../index.htm\">Homepage</a>"), std::string::npos);

        RunLog log;
        EXPECT_TRUE(checkTemplate(site, log, ui));
        EXPECT_EQ(log.warnings(), 0);
        EXPECT_EQ(log.errors(), 0);
        for (const auto &line : log.lines())
            ADD_FAILURE() << line.text;
    }
    EXPECT_NE(readFile(templatePath(site)).find("background=\"../back_12.gif\""), std::string::npos);
}

TEST_F(StockTemplateTest, PicturesOneToEightCarryTheAccentEntriesTheOthersNot)
{
    for (int number = 1; number <= TemplateChoice::kStockImages; ++number) {
        const std::string gif = shipped(stockImageName(number));
        ASSERT_GE(gif.size(), 50u) << number;
        EXPECT_TRUE(gif.compare(0, 6, "GIF89a") == 0 || gif.compare(0, 6, "GIF87a") == 0) << number;
        EXPECT_EQ(gif.back(), ';') << number;
        const bool recoloured = number <= TemplateChoice::kRecolouredImages;
        EXPECT_EQ(inPaletteWindow(gif, "\xFF\x8C\x08"), recoloured) << number;
        EXPECT_EQ(inPaletteWindow(gif, "\xFF\xC6\xA5"), recoloured) << number;
        // Small enough to upload with the doorway pages without a thought.
        EXPECT_LT(gif.size(), 4096u) << number;
    }
    const std::string report = readFile(std::string(VANTOR_SOURCE_DATA_DIR) + "/back.gif");
    EXPECT_EQ(report.compare(0, 6, "GIF89a"), 0);
}

} // namespace
