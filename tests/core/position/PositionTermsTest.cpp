#include "TestEnvironment.h"

#include "platform/Text.h"
#include "position/PositionTerms.h"
#include "position/RankingReport.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"

#include <filesystem>

using namespace vantor;

namespace {

class PositionTermsTest : public vantor::testing::CoreTest
{
};

} // namespace

TEST_F(PositionTermsTest, ProjectTermsOnceEachInTheirOrder)
{
    ProjectRecord project;
    project.homepageKeywords[0] = de("Müller Bau");
    project.homepageKeywords[1] = "Fenster#Angebot";
    project.homepageKeywords[3] = "nach der luecke";
    project.copyKeywords[0][2] = "muellerbau";
    project.copyKeywords[2][0] = de("Türen");
    project.doorwayKeywords[7] = de("TUEREN");
    project.doorwayKeywords[9] = de("Haustür");
    EXPECT_EQ(positionterms::collect(project),
              (std::vector<std::string>{de("müller bau"), "fenster", de("türen"), de("haustür")}));

    EXPECT_EQ(positionterms::comparisonForm(de("Crème Brûlée#x")), de("cremebrûlee"));
    EXPECT_EQ(positionterms::normalize(std::string(200, 'A')), std::string(150, 'a'));
    std::vector<std::string> many(1200, "x");
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] += std::to_string(i);
    EXPECT_EQ(positionterms::withoutDuplicates(many).size(), positionterms::kMaxTerms);
}

TEST_F(PositionTermsTest, SavedTermListAndDomainList)
{
    const std::string file = projectPath("p");
    writeFile(file, "[project]\r\nname=x\r\n");
    ASSERT_TRUE(positionterms::saveList(file, {"a", "b c", de("ä")}));
    ASSERT_TRUE(positionterms::saveList(file, {"neu", "b c"}));
    EXPECT_EQ(positionterms::loadList(file), (std::vector<std::string>{"neu", "b c"}));

    writeFile(positionterms::domainListPath("domains.txt"),
              "www.eins.de\r\n\r\nzwei.de\n" + std::string(60, 'd') + "\n");
    EXPECT_EQ(positionterms::readDomainList("domains.txt"),
              (std::vector<std::string>{"www.eins.de", "", "zwei.de", std::string(49, 'd')}));
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "d" + std::to_string(i) + ".de\n";
    writeFile(positionterms::domainListPath("viele.txt"), lines);
    EXPECT_EQ(positionterms::readDomainList("viele.txt").size(), positionterms::kMaxDomains);
    EXPECT_TRUE(positionterms::readDomainList("fehlt.txt").empty());
    EXPECT_TRUE(positionterms::readDomainList("../p.qx!").empty());
    EXPECT_TRUE(positionterms::readDomainList("").empty());
}

TEST(RankingReportTest, FoundPositionsBecomeLinksInListOrder)
{
    const submitreport::Stamp stamp{"09/12/26", "20:15:07"};
    const std::vector<std::string> report = {
        "Suchfix: Begriff 'stauden' Position 3 Link:www.suchfix.example/s?q=stauden&p=1",
        "Suchfix: Begriff 'obst' Nicht unter Top 30 Link:www.suchfix.example",
        "Spürnase: Begriff 'a<b' Position 13 Link:spuernase.example/2?q=a%3Cb",
        "Suchfix: Position-Analyse erfolgreich abgeschlossen",
        "Spürnase: Begriff 'x' Spürnase: Timeout (Keine Antwort vom Server) Link:spuernase.example",
    };
    const std::string page = rankingreport::html(report, "www.site.de", stamp);
    EXPECT_NE(page.find("<TITLE>Ranking-Report vom 09/12/26</TITLE>"), std::string::npos);
    EXPECT_NE(page.find("Zeit: <input type=\"text\" size=\"12\" value=\"20:15:07\">"), std::string::npos);
    EXPECT_NE(page.find("value=\"www.site.de\"><hr>"), std::string::npos);
    const std::string first = "Suchfix: Begriff 'stauden' <a href=\"http://www.suchfix.example/s?q=stauden&amp;p=1\" "
                              "target=\"_blank\">Position 3 </a><br>\r\n";
    const std::string second = "Spürnase: Begriff 'a&lt;b' <a href=\"http://spuernase.example/2?q=a%3Cb\" "
                               "target=\"_blank\">Position 13 </a><br>\r\n";
    EXPECT_NE(page.find("<b>" + first + second + "<!--Report End--></b><br>\r\n"), std::string::npos);
    EXPECT_EQ(page.find("Nicht unter"), std::string::npos);
    EXPECT_EQ(page.find("Timeout"), std::string::npos);

    const std::string empty = rankingreport::html({report[1], report[3]}, "www.site.de", stamp);
    EXPECT_NE(empty.find("<font face=\"Arial\" size=2 color=\"#000000\">\r\n<b><!--Report End-->"),
              std::string::npos);
    EXPECT_EQ(rankingreport::defaultFile("/home/u/site/index.htm"), "/home/u/site/Positions-Report");
}
