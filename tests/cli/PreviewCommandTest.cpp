#include "CliFixture.h"

namespace fs = std::filesystem;

namespace {

class PreviewCommandTest : public vantor::testing::CliFixture
{
};

} // namespace

TEST_F(PreviewCommandTest, FourLinesForAPageAndForTheProject)
{
    const fs::path page = m_dir / "seite.htm";
    std::ofstream(page) << "<html><head><title>Ferienhäuser an der Nordsee – Wattenmeer</title>"
                           "<meta name=\"description\" content=\"" + std::string(60, 'W') + " Ende\"></head></html>";
    ASSERT_EQ(run({"preview", "--page", page.string()}), 0) << m_err.str();
    // 392 px: within a pixel of what a browser measures for it.
    const std::string lines = out();
    EXPECT_EQ(lines.substr(0, lines.find('\n')),
              "Titel Desktop: 392/600 px: Ferienhäuser an der Nordsee – Wattenmeer");
    EXPECT_NE(lines.find("\nTitel Mobil: 392/600 px: Ferienhäuser an der Nordsee – Wattenmeer\n"), std::string::npos);
    // Sixty W fit a desktop line, not a mobile one: cut within the word,
    // as no whole word fits.
    EXPECT_NE(lines.find("\nBeschreibung Desktop: 829/920 px: " + std::string(60, 'W') + " Ende\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\nBeschreibung Mobil: 829/680 px: WWW"), std::string::npos) << lines;
    EXPECT_NE(lines.find("…\n"), std::string::npos);

    // Without title or description: nothing to show.
    std::ofstream(page, std::ios::trunc) << "<html><body>leer</body></html>";
    ASSERT_EQ(run({"preview", "--page", page.string()}), 0);
    EXPECT_EQ(out(), "Titel Desktop: 0/600 px: \nTitel Mobil: 0/600 px: \nBeschreibung Desktop: 0/920 px: \n"
                     "Beschreibung Mobil: 0/680 px: \n");

    EXPECT_EQ(run({"preview", "--page", (m_dir / "fehlt.htm").string()}), 1);
    EXPECT_EQ(run({"preview", "--page"}), 2);
    EXPECT_EQ(run({"preview", "--bunt"}), 2);
    // The project's own entry: the standard project has none yet.
    ASSERT_EQ(run({"preview"}), 0);
    EXPECT_EQ(out().substr(0, 25), "Titel Desktop: 0/600 px: ");
}
