#include "TestEnvironment.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "wizard/DoorwayTermsPage.h"
#include "wizard/KeywordGrid.h"
#include "wizard/TitlePages.h"

#include <cstdio>

using namespace vantor;

namespace {

class WizardPagesTest : public vantor::testing::CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        record().path = root() + "/index.htm";
        record().deriveHomepageFields();
    }
    ProjectRecord &record() { return projectRecord(); }
    void homepage(const std::string &text) { writeFile(root() + "/index.htm", text); }
    std::vector<std::string> homepageTerms()
    {
        std::vector<std::string> terms;
        for (const auto &t : record().homepageKeywords)
            if (!t.empty())
                terms.push_back(t.str());
        return terms;
    }
};

} // namespace

TEST_F(WizardPagesTest, GridPlaceholdersGapsAndMarker)
{
    namespace kg = keywordgrid;
    EXPECT_EQ(kg::fieldId(0), 4000);
    EXPECT_EQ(kg::fieldId(30), 4100);
    EXPECT_EQ(kg::fieldId(164), 4234);

    kg::Fields fields = kg::open(record());
    EXPECT_TRUE(kg::placeholdersUntouched(fields));
    ASSERT_TRUE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(homepageTerms(), (std::vector<std::string>{"Suchbegriff1", "Suchbegriff2", "Suchbegriff3"}));

    // Copy 1 empty, copy 2 used from its first field: fine.
    fields = kg::open(record());
    fields[30 + 15] = "rosen";
    fields[30 + 16] = "tulpen";
    EXPECT_TRUE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(record().copyKeywords[1][1].str(), "tulpen");

    fields[1].clear();
    EXPECT_FALSE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(fields[1], kg::kGapMarker);
    EXPECT_FALSE(kg::validateAndShow(fields, record(), ui));
    fields[1] = std::string("vor ") + kg::kGapMarker + " nach";
    EXPECT_FALSE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{de("Leeres Feld für Suchbegriff"), "Feld korrigieren",
                                                     "Feld korrigieren"}));
    fields[31] = "lücke davor";
    fields[1] = "zwei";
    fields[30].clear();
    ui.shown.clear();
    EXPECT_FALSE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(fields[30], kg::kGapMarker);
    fields[30] = std::string(200, 'x');
    EXPECT_TRUE(kg::validateAndShow(fields, record(), ui));
    EXPECT_EQ(record().copyKeywords[0][0].size(), 149u);
}

TEST_F(WizardPagesTest, KeywordsFromTheHomepage)
{
    namespace kg = keywordgrid;
    auto analyse = [&](const std::string &page) {
        homepage(page);
        for (auto &t : record().homepageKeywords)
            t.clear();
        kg::Fields fields = kg::open(record());
        return kg::analyseHomepageKeywords(record().path.str(), fields, record(), ui);
    };
    EXPECT_TRUE(analyse("<meta name=\"keywords\" content=\"shop, shoes,boots\">"));
    EXPECT_EQ(homepageTerms(), (std::vector<std::string>{"shop", "shoes", "boots"}));
    EXPECT_TRUE(analyse("<META NAME=\"KEYWORDS\" CONTENT=\" red shoes\">"));
    EXPECT_EQ(homepageTerms(), (std::vector<std::string>{"red", "shoes"}));
    EXPECT_TRUE(analyse("<meta name=\"keywords\" content=\"a,,b\">"));
    EXPECT_EQ(homepageTerms(), std::vector<std::string>{"a"});
    EXPECT_FALSE(analyse("<meta name=\"Keywords\" content=\"x\">"));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Keine Informationen gefunden"});
}

TEST_F(WizardPagesTest, TitlesPageAndItsAnalysis)
{
    namespace tp = titlepages;
    record().title1 = "Gespeichert";
    projectOptions().titl = 2;
    tp::TitleFields fields = tp::openTitles(record(), projectOptions());
    EXPECT_FALSE(fields.titlesEnabled);
    // Standard options: no author META, but the copyright line needs the name.
    EXPECT_TRUE(fields.authorEnabled);
    projectOptions().copy = 0;
    EXPECT_FALSE(tp::openTitles(record(), projectOptions()).authorEnabled);
    EXPECT_EQ(fields.titles[0], tp::kTitleOff);
    fields.description = "Zeile 1\r\nZeile 2";
    tp::storeTitles(fields, record());
    EXPECT_EQ(record().title1.str(), "Gespeichert");
    EXPECT_EQ(record().description.str(), "Zeile 1\r\nZeile 2");

    record().title2 = "bleibt";
    homepage("<TITLE>!Welcome</TITLE><meta name=\"AUTHOR\" content=\"Erster\">"
             "<meta name=\"author\" content=\"Letzter\">");
    EXPECT_TRUE(tp::analyseHomepageHeader(record().path.str(), record(), ui));
    EXPECT_EQ(record().title1.str(), "Welcome");
    EXPECT_EQ(record().title2.str(), "bleibt");
    EXPECT_EQ(record().author.str(), "Letzter");
    homepage("<TITLE>A</TITLE><title>B</title>");
    EXPECT_TRUE(tp::analyseHomepageHeader(record().path.str(), record(), ui));
    EXPECT_EQ(record().title1.str(), "B");
    homepage("<p>nichts</p>");
    EXPECT_FALSE(tp::analyseHomepageHeader(record().path.str(), record(), ui));
    EXPECT_EQ(ui.titles(), std::vector<std::string>{"Keine Informationen gefunden"});
}

TEST_F(WizardPagesTest, CopyPagesLeaveCopiesWithoutTermsAlone)
{
    namespace tp = titlepages;
    record().copyKeywords[0][0] = "rosen";
    record().copyTitles[3] = "alter Titel";
    record().copyDescriptions[3] = "alte Beschreibung";
    tp::CopyFields titles = tp::openCopyTitles(record());
    tp::CopyFields descriptions = tp::openCopyDescriptions(record());
    EXPECT_TRUE(titles[0].enabled);
    EXPECT_FALSE(titles[3].enabled);
    EXPECT_EQ(descriptions[3].text, de(tp::kCopyDescriptionOff));
    titles[0].text = "Rosen";
    tp::storeCopyTitles(titles, record());
    tp::storeCopyDescriptions(descriptions, record());
    EXPECT_EQ(record().copyTitles[0].str(), "Rosen");
    EXPECT_EQ(record().copyTitles[3].str(), "alter Titel");
    EXPECT_EQ(record().copyDescriptions[3].str(), "alte Beschreibung");
}

TEST_F(WizardPagesTest, DoorwayListsAndStartPage)
{
    namespace dp = doorwaypage;
    record().homepageKeywords[0] = "schuhe";
    record().copyKeywords[0][0] = "Stiefel";
    record().doorwayKeywords[0] = "stiefel"; // a copy term: dropped
    record().doorwayKeywords[1] = "Sandalen";
    dp::Lists lists = dp::open(record());
    EXPECT_EQ(lists.existing, (std::vector<std::string>{"schuhe", "Stiefel"}));
    EXPECT_EQ(lists.doorways, std::vector<std::string>{"Sandalen"});
    settingsStore().writeNumber("dontuseHPkeywordsfordoorways", 1);
    EXPECT_EQ(dp::open(record()).doorways, (std::vector<std::string>{"Sandalen", "stiefel"}));

    EXPECT_EQ(dp::add(lists, "Schuhe", ui), dp::Added::Refused);
    EXPECT_EQ(dp::add(lists, std::string(151, 'x'), ui), dp::Added::Refused);
    EXPECT_EQ(dp::add(lists, "", ui), dp::Added::Nothing);
    EXPECT_EQ(dp::add(lists, "IMPORTLIST", ui), dp::Added::Import);
    EXPECT_EQ(dp::add(lists, "clogs", ui), dp::Added::Added);
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Suchbegriff bereits vorhanden", "Suchbegriff zu lang"}));

    writeFile(root() + "/list.txt", "b\r\na\n\n" + std::string(300, 'y'));
    dp::importList(lists, root() + "/list.txt");
    EXPECT_EQ(lists.doorways, (std::vector<std::string>{"", "a", "b", "clogs", "Sandalen", std::string(48, 'y'),
                                                        std::string(150, 'y')}));
    dp::remove(lists, {0, 5, 6});

    ui.shown.clear();
    lists.likeHomepage = false;
    for (const auto &[name, valid] : std::vector<std::pair<std::string, bool>>{
             {"index", false}, {"index.htm", true}, {"my page.htm", false}, {"", false}}) {
        lists.startpage = name;
        EXPECT_EQ(dp::store(lists, record(), ui), valid) << name;
    }
    lists.likeHomepage = true;
    lists.startpage = "my page.htm";
    EXPECT_FALSE(dp::store(lists, record(), ui));
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{"Falscher Dateiname", "Falscher Dateiname", "Fehlende Daten",
                                                     "Falscher Dateiname"}));
    EXPECT_EQ(record().doorwayKeywords[3].str(), "Sandalen");
    EXPECT_EQ(record().doorlikehp, 1);

    lists.doorways.clear();
    for (int i = 0; i < 160; ++i) {
        char term[16];
        std::snprintf(term, sizeof term, "t%03d", 159 - i);
        dp::add(lists, term, ui);
    }
    lists.startpage.clear();
    EXPECT_TRUE(dp::store(lists, record(), ui));
    EXPECT_EQ(record().doorwayKeywords[0].str(), "t000");
    EXPECT_EQ(record().doorwayKeywords[149].str(), "t149");
}

TEST_F(WizardPagesTest, AnalysesOfAUtf8HomepageGiveCp1252AndSayWhatWasLost)
{
    homepage("<head><meta charset=\"utf-8\"><title>Grüße aus Köln</title>"
             "<meta name=\"keywords\" content=\"Bäume, Sträucher\"></head>");
    EXPECT_TRUE(titlepages::analyseHomepageHeader(record().path.str(), record(), ui));
    EXPECT_EQ(record().title1.str(), de("Grüße aus Köln"));
    keywordgrid::Fields fields = keywordgrid::open(record());
    EXPECT_TRUE(keywordgrid::analyseHomepageKeywords(record().path.str(), fields, record(), ui));
    EXPECT_EQ(homepageTerms(), (std::vector<std::string>{de("Bäume"), de("Sträucher")}));
    EXPECT_TRUE(ui.shown.empty());

    homepage("<head><meta charset=\"utf-8\"><title>Tee 茶</title><meta name=\"keywords\" content=\"Tee, 茶\"></head>");
    EXPECT_TRUE(titlepages::analyseHomepageHeader(record().path.str(), record(), ui));
    EXPECT_EQ(record().title1.str(), "Tee ?");
    EXPECT_TRUE(keywordgrid::analyseHomepageKeywords(record().path.str(), fields, record(), ui));
    EXPECT_EQ(record().homepageKeywords[1].str(), "?");
    EXPECT_EQ(ui.titles(), (std::vector<std::string>{de("Zeichen nicht übernommen"), de("Zeichen nicht übernommen")}));
}
