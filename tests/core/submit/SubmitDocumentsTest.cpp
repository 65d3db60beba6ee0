#include "submit/SubmitDocuments.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor {
namespace {

class SubmitDocumentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_site = fs::temp_directory_path() / ("vantor-submit-" + std::to_string(::getpid()));
        fs::remove_all(m_site);
        fs::create_directories(m_site);
    }
    void TearDown() override { fs::remove_all(m_site); }

    void touch(const std::string &relative)
    {
        const fs::path path = m_site / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "<html></html>";
    }
    std::string homepage() const { return toCp1252((m_site / "index.htm").string()); }

    static std::vector<std::string> sorted(std::vector<std::string> list)
    {
        std::sort(list.begin(), list.end());
        return list;
    }

    fs::path m_site;
};

TEST_F(SubmitDocumentsTest, StartPageOnlySubmitsTheUrlAsTyped)
{
    touch("index.htm");
    EXPECT_EQ(submitdocs::buildList(submitdocs::Mode::StartPageOnly, "http://www.site.de/shop", homepage(), {}, {}),
              std::vector<std::string>{"http://www.site.de/shop"});
}

TEST_F(SubmitDocumentsTest, OptimalTakesTheHomepageAndWhatTheOptimiserMade)
{
    for (const char *file : {"index.htm", "kontakt.htm", "!stauden.htm", "-sorten.htm", "#garten.htm",
                             "!obstbaeume/index.htm", "!obstbaeume/bild.gif", "!obstbaeume/obstbaeume.htm"})
        touch(file);
    const std::vector<std::string> list =
        submitdocs::buildList(submitdocs::Mode::Optimal, "www.site.de", homepage(), {}, {});
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0], "www.site.de");
    EXPECT_EQ(list[1], "www.site.de/index.htm");
    // The first sign's files and directories come before the other signs.
    const std::vector<std::string> first(list.begin() + 2, list.begin() + 5);
    EXPECT_EQ(sorted(first), (std::vector<std::string>{"www.site.de/!obstbaeume/index.htm",
                                                       "www.site.de/!obstbaeume/obstbaeume.htm",
                                                       "www.site.de/!stauden.htm"}));
    EXPECT_EQ(std::vector<std::string>(list.begin() + 5, list.end()),
              (std::vector<std::string>{"www.site.de/-sorten.htm", "www.site.de/#garten.htm"}));
}

TEST_F(SubmitDocumentsTest, CompleteGoesTwoLevelsDownByExtension)
{
    for (const char *file : {"index.htm", "preise.html", "bild.gif", "a/seite.htm", "a/b/tief.htm",
                             "a/b/c/zu-tief.htm", "a/skript.asp"})
        touch(file);
    // No extensions in the project: the seven defaults.
    const std::vector<std::string> list =
        submitdocs::buildList(submitdocs::Mode::Complete, "www.site.de", homepage(), {}, {});
    EXPECT_EQ(list.front(), "www.site.de");
    EXPECT_EQ(sorted(list), (std::vector<std::string>{"www.site.de", "www.site.de/a/b/tief.htm",
                                                      "www.site.de/a/seite.htm", "www.site.de/a/skript.asp",
                                                      "www.site.de/index.htm", "www.site.de/preise.html"}));
    // By extension first: every .htm of the directory before any .html.
    EXPECT_LT(std::find(list.begin(), list.end(), "www.site.de/index.htm"),
              std::find(list.begin(), list.end(), "www.site.de/preise.html"));

    const std::vector<std::string> gifs =
        submitdocs::buildList(submitdocs::Mode::Complete, "www.site.de", homepage(), {}, {"gif"});
    EXPECT_EQ(gifs, (std::vector<std::string>{"www.site.de", "www.site.de/bild.gif"}));
}

TEST_F(SubmitDocumentsTest, TheListEndsAtAThousand)
{
    touch("index.htm");
    for (int i = 0; i < 1005; ++i)
        touch("s" + std::to_string(i) + ".htm");
    EXPECT_EQ(submitdocs::buildList(submitdocs::Mode::Complete, "www.site.de", homepage(), {}, {}).size(),
              submitdocs::kMaxDocuments);
}

TEST(SubmitEntries, EmailAndUrlChecksInTheirOrder)
{
    EXPECT_EQ(submitdocs::emailProblem("")->title, "Email-Adresse");
    // A blank is an invalid character before the '@' is looked for.
    EXPECT_EQ(submitdocs::emailProblem("a b")->title, de("Ungültige Zeichen"));
    EXPECT_NE(submitdocs::emailProblem("info.site.de")->text.find("'@'"), std::string::npos);
    // Texts are cp1252 like every other the core hands out.
    EXPECT_EQ(toUtf8(submitdocs::emailProblem("info@site")->text),
              "Bitte geben Sie eine gültige Email-Adresse ein. Die Email-Adresse muss das Zeichen '.' enthalten! "
              "Bitte korrigieren Sie die Email-Adresse.");
    EXPECT_NE(submitdocs::emailProblem("info@site")->text.find("'.'"), std::string::npos);
    EXPECT_FALSE(submitdocs::emailProblem("info@site.de"));

    EXPECT_EQ(submitdocs::urlProblem("")->title, "Domain Adresse");
    EXPECT_NE(submitdocs::urlProblem("localhost")->text.find("'.'"), std::string::npos);
    EXPECT_FALSE(submitdocs::urlProblem("http://www.site.de"));

    EXPECT_EQ(submitdocs::modeFromNumber("1415"), submitdocs::Mode::StartPageOnly);
    EXPECT_EQ(submitdocs::modeFromNumber("1417"), submitdocs::Mode::Complete);
    EXPECT_EQ(submitdocs::modeFromNumber(""), submitdocs::Mode::Optimal);
    EXPECT_EQ(submitdocs::modeFromNumber("9"), submitdocs::Mode::Optimal);
}

} // namespace
} // namespace vantor

TEST(SubmitDocumentsUrlTest, AbsoluteUrlsEncodeThePathAsUtf8)
{
    EXPECT_EQ(vantor::submitdocs::absoluteUrl("https", "www.example.de"), "https://www.example.de/");
    EXPECT_EQ(vantor::submitdocs::absoluteUrl("http", "www.example.de:8080/a b/" + vantor::toCp1252("größe") + ".htm?x#y"),
              "http://www.example.de:8080/a%20b/gr%C3%B6%C3%9Fe.htm%3Fx%23y");
    EXPECT_EQ(vantor::submitdocs::absoluteUrl("https", "example.de/vantor!!/preise&mehr.htm"),
              "https://example.de/vantor!!/preise&mehr.htm");
}
