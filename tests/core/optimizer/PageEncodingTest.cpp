#include "TestEnvironment.h"

#include "optimizer/OptimizationRun.h"
#include "optimizer/PageEncoding.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

bool strictUtf8(const std::string &text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = decodeUtf8(text, i, cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

} // namespace

TEST(PageEncoding, DecisionOrder)
{
    auto charset = [](const std::string &page) { return detectEncoding(page).charset; };
    EXPECT_EQ(charset("\xEF\xBB\xBF<html>"), Charset::Utf8);
    EXPECT_EQ(charset("<head><meta charset=\"UTF-8\"></head>plain"), Charset::Utf8);
    EXPECT_EQ(charset("<head><META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"),
              Charset::Utf8);
    EXPECT_EQ(charset("<head></head><body>Gr\xC3\xBC\xC3\x9F\x65</body>"), Charset::Utf8);
    EXPECT_EQ(charset("<head></head><body>Gr\xFC\xDF\x65</body>"), Charset::Cp1252);
    EXPECT_EQ(charset("<head></head><body>plain ASCII</body>"), Charset::Cp1252);
    // A charset named in the body is no declaration.
    EXPECT_EQ(charset("<head></head><body>charset=utf-8 \xFC</body>"), Charset::Cp1252);

    // A declaration wins over the bytes, and the mismatch is noted.
    const PageEncoding declared = detectEncoding("<head><meta charset=windows-1252></head>Gr\xC3\xBC\xC3\x9F\x65");
    EXPECT_EQ(declared.charset, Charset::Cp1252);
    EXPECT_TRUE(declared.mismatch);
    const PageEncoding wrongWay = detectEncoding("<head><meta charset=\"utf-8\"></head>Gr\xFC\xDF\x65");
    EXPECT_EQ(wrongWay.charset, Charset::Utf8);
    EXPECT_TRUE(wrongWay.mismatch);
    EXPECT_FALSE(detectEncoding("<head><meta charset=\"utf-8\"></head>Gr\xC3\xBC\xC3\x9F\x65").mismatch);
}

TEST(PageEncoding, WorkingTextComesBackByteForByte)
{
    WorkingText working;
    const std::string utf8Page = "\xEF\xBB\xBF<head><meta charset=\"utf-8\"></head>Gr\xC3\xBC\xC3\x9F\x65 \xF0\x9F\x98\x80 "
                                 "\xE2\x82\xAC \xC2\x81 \xFF \xE4\xB8\xAD";
    const PageEncoding encoding = detectEncoding(utf8Page);
    const std::string text = working.fromPage(utf8Page, encoding);
    // Umlauts and the euro sign are cp1252 in the working text, so the
    // project's terms are found and go in as they are.
    EXPECT_TRUE(contains(text, "Gr\xFC\xDF\x65 "));
    EXPECT_TRUE(contains(text, " \x80 "));
    EXPECT_EQ(working.toPage(text, encoding), utf8Page);
    // What was inserted in cp1252 comes out as UTF-8.
    EXPECT_EQ(working.toPage(text + " B\xE4ume", encoding), utf8Page + " B\xC3\xA4ume");

    // A cp1252 page is its own working text; a character from elsewhere it
    // cannot hold goes in as a reference.
    const std::string cp1252Page = "<head></head>Gr\xFC\xDF\x65 \x81";
    const PageEncoding plain = detectEncoding(cp1252Page);
    EXPECT_EQ(working.fromPage(cp1252Page, plain), cp1252Page);
    EXPECT_EQ(working.toPage(cp1252Page, plain), cp1252Page);
    const std::string emoji = working.fromPage("\xF0\x9F\x98\x80", detectEncoding("\xF0\x9F\x98\x80"));
    EXPECT_EQ(working.toPage("x" + emoji, plain), "x&#128512;");

    bool lost = false;
    EXPECT_EQ(working.toRecord(working.fromPage("B\xC3\xA4r \xE4\xB8\xAD", encoding), lost), "B\xE4r ?");
    EXPECT_TRUE(lost);
}

namespace {

class Utf8SiteTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        m_site = makeSite();
        ProjectRecord &r = projectRecord();
        r.author = de("Gärtnerei Müller");
        r.description = de("Stauden für jeden Garten");
        r.title1 = de("Gärtnerei Müller in Köln");
        r.homepageKeywords[0] = de("Gärtnerei");
        r.homepageKeywords[1] = de("Blumen Köln");
        r.copyKeywords[0][0] = de("Rosenstöcke");
        r.doorwayKeywords[0] = de("Kräuter kaufen");
        ASSERT_TRUE(SaveProjectData("p"));
        ASSERT_TRUE(SaveProjectOptions("p"));
    }

    std::string m_site;
};

} // namespace

TEST_F(Utf8SiteTest, EveryPageOfAUtf8SiteStaysUtf8)
{
    const std::string homepage = "\xEF\xBB\xBF<html><head><meta charset=\"utf-8\"><title>Grüße aus Köln</title>"
                                 "<meta name=\"keywords\" content=\"Bäume, Sträucher\"></head>"
                                 "<body><h1>Schöne Grüße</h1><p>Öffnungszeiten: täglich 😀</p></body></html>";
    writeFile(m_site + "/index.htm", homepage);
    writeFile(m_site + "/vantor!!/index.htm",
              "<html><head><meta charset=\"utf-8\"></head><body><h1>%Suchbegriff%</h1><p>Über %Firma%: "
              "%Beschreibung% – %Textbaustein1%</p></body></html>");
    // The text blocks in UTF-8 as well.
    writeFile(m_site + "/Textbausteine.txt", "Textbaustein1=Frische Ware aus eigener Anzucht, natürlich!\r\n"
                                             "Textbaustein1.Keyword=ALL\r\nTextbaustein1.IndexDoorway=1\r\n"
                                             "Textbaustein1.KeywordDoorway=1\r\n");
    OptimizationRun run(ui, "p");
    run.begin();
    run.run(true, true);
    EXPECT_EQ(run.log().errors(), 0);
    bool logged = false;
    for (const auto &line : run.log().lines())
        logged = logged || line.text == de("     Zeichensatz der Homepage: UTF-8");
    EXPECT_TRUE(logged);

    const std::string page = readFile(m_site + "/index.htm");
    EXPECT_TRUE(strictUtf8(page));
    EXPECT_EQ(page.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_TRUE(contains(page, "Öffnungszeiten: täglich 😀"));
    EXPECT_TRUE(contains(page, "<TITLE> G&auml;rtnerei M&uuml;ller in K&ouml;ln </TITLE>"));
    // Texts that go in as entered are UTF-8 now, like the page.
    EXPECT_TRUE(contains(page, "CONTENT=\"Gärtnerei, Blumen Köln, \""));

    std::vector<std::string> documents;
    for (const auto &entry : fs::recursive_directory_iterator(m_site))
        if (entry.is_regular_file() && entry.path().extension() == ".htm" &&
            entry.path().parent_path().filename() != "vantor!!" && entry.path().filename() != "~report.htm")
            documents.push_back(entry.path().string());
    ASSERT_GE(documents.size(), 3u); // homepage, the copy, the doorway documents
    bool doorwaySeen = false;
    for (const auto &path : documents) {
        const std::string text = readFile(path);
        EXPECT_TRUE(strictUtf8(text)) << path;
        if (contains(text, "<h1>Kr&auml;uter kaufen</h1>")) {
            doorwaySeen = true;
            EXPECT_TRUE(contains(text, "Über ")) << text; // the template's own text
            EXPECT_TRUE(contains(text, "G&auml;rtnerei M&uuml;ller: Stauden f&uuml;r jeden Garten")) << text;
            EXPECT_TRUE(contains(text, "nat&uuml;rlich!")) << text;
            EXPECT_TRUE(contains(text, "value=\"Kräuter kaufen\"")) << text;
        }
    }
    EXPECT_TRUE(doorwaySeen);
}

TEST_F(Utf8SiteTest, AMismatchIsWarnedAboutAndTheDeclarationHolds)
{
    writeFile(m_site + "/index.htm", "<html><head><meta charset=\"windows-1252\"></head><body>Grüße</body></html>");
    writeFile(m_site + "/vantor!!/index.htm", "<html><head></head><body>%Suchbegriff%</body></html>");
    OptimizationRun run(ui, "p");
    run.begin();
    run.run(true, true);
    bool warned = false;
    for (const auto &line : run.log().lines())
        warned = warned || (line.kind == LineKind::Warning && contains(line.text, "Zeichensatz Windows-1252"));
    EXPECT_TRUE(warned);
    // Read as cp1252, the bytes stay what they were.
    EXPECT_TRUE(contains(readFile(m_site + "/index.htm"), "Grüße"));
}
