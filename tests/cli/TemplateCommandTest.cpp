#include "CliFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using namespace vantor;

namespace {

class TemplateCommandTest : public vantor::testing::CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_site = m_dir / "site";
        fs::create_directories(m_site);
        std::ofstream(m_site / "index.htm") << "<html><head></head><body>Hallo</body></html>\n";
    }

    std::string homepage() const { return (m_site / "index.htm").string(); }
    fs::path templateFile() const { return m_site / "vantor!!" / "index.htm"; }

    fs::path m_site;
};

TEST_F(TemplateCommandTest, WrongCallsAreUsageErrors)
{
    const std::vector<std::vector<std::string>> calls = {
        {"template", "--plain"},
        {"template", "--homepage", homepage()},
        {"template", "--homepage", homepage(), "--plain", "--image", "2"},
        {"template", "--homepage", homepage(), "--image", "19"},
        {"template", "--homepage", homepage(), "--image", "0"},
        {"template", "--homepage", homepage(), "--image", "x"},
        {"template", "--homepage", homepage(), "--plain", "--text", "12345"},
        {"template", "--homepage", homepage(), "--plain", "--frames"},
    };
    for (const auto &call : calls)
        EXPECT_EQ(run(call), 2) << call.back();
    EXPECT_FALSE(fs::exists(m_site / "vantor!!"));
}

TEST_F(TemplateCommandTest, MakesTheTemplateAndAsksBeforeReplacingIt)
{
    ASSERT_EQ(run({"template", "--homepage", homepage(), "--image", "3", "--background", "0000ff"}), 0)
        << m_err.str();
    EXPECT_EQ(m_out.str(), "Vorlage: " + templateFile().string() + "\n");
    EXPECT_NE(m_err.str().find("Vorlage erstellt"), std::string::npos);
    const std::string made = slurp(templateFile());
    EXPECT_NE(made.find("background=\"../back_3.gif\""), std::string::npos);
    EXPECT_NE(made.find("0000FF"), std::string::npos);
    EXPECT_NE(made.find("../index.htm\">Homepage"), std::string::npos);
    EXPECT_NE(slurp(m_site / "back_3.gif").substr(0, 50).find(std::string("\x00\x00\xFF", 3)), std::string::npos);

    // Without --yes the question answers "Abbruch" and the template stays.
    EXPECT_EQ(run({"template", "--homepage", homepage(), "--plain"}), 1);
    EXPECT_NE(m_err.str().find("Eine Vorlage existiert bereits"), std::string::npos);
    EXPECT_EQ(slurp(templateFile()), made);
    EXPECT_FALSE(fs::exists(m_site / "vantor!!" / "index.htm.bak"));

    ASSERT_EQ(run({"template", "--homepage", homepage(), "--plain", "--yes"}), 0) << m_err.str();
    EXPECT_NE(slurp(templateFile()).find("bgcolor=\"#EBC8C8\""), std::string::npos);
    EXPECT_EQ(slurp(m_site / "vantor!!" / "index.htm.bak"), made);

    fs::create_directories(m_dir / "pics");
    std::ofstream(m_dir / "pics" / "hg.jpg") << "JPEG";
    ASSERT_EQ(run({"template", "--homepage", homepage(), "--own-image", (m_dir / "pics" / "hg.jpg").string(), "--yes"}),
              0);
    EXPECT_NE(slurp(templateFile()).find("background=\"../hg.jpg\""), std::string::npos);
    EXPECT_EQ(slurp(m_site / "hg.jpg"), "JPEG");
}

TEST_F(TemplateCommandTest, BadFilesFailWithTheProgramsMessage)
{
    EXPECT_EQ(run({"template", "--homepage", (m_site / "fehlt.htm").string(), "--plain"}), 1);
    EXPECT_NE(m_err.str().find("Datei nicht gefunden"), std::string::npos);
    EXPECT_EQ(run({"template", "--homepage", homepage(), "--own-image", m_dir.string()}), 1);
    EXPECT_NE(m_err.str().find("Kein gültiges Hintergrundbild"), std::string::npos);
    EXPECT_FALSE(fs::exists(templateFile()));
}

TEST_F(TemplateCommandTest, ATemplateDirectoryLinkedOutOfTheSiteIsRefused)
{
    const fs::path outside = m_dir / "Dokumente";
    fs::create_directories(outside);
    std::ofstream(outside / "index.htm") << "Brief";
    fs::create_directory_symlink(outside, m_site / "vantor!!");
    EXPECT_EQ(run({"template", "--homepage", homepage(), "--plain", "--yes"}), 1);
    EXPECT_NE(m_err.str().find("Vorlage nicht erstellt"), std::string::npos);
    EXPECT_EQ(slurp(outside / "index.htm"), "Brief");
    EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
}

} // namespace
