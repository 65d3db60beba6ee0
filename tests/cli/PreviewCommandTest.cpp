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

TEST_F(PreviewCommandTest, EveryPageOfTheSiteWithItsFindings)
{
    const fs::path site = m_dir / "site";
    fs::create_directories(site / "unter");
    const auto page = [&](const fs::path &path, const std::string &head) {
        std::ofstream(path, std::ios::binary) << "<html><head>" << head << "</head><body>x</body></html>";
    };
    page(site / "index.htm", "<title>Start</title><meta name=\"description\" content=\"Willkommen\">");
    page(site / "a.htm", "<title>Gleich</title><meta name=\"description\" content=\"A\">");
    page(site / "unter" / "b.html", "<title>Gleich</title>");
    page(site / "lang.htm", "<title>" + std::string(40, 'W') + "</title><meta name=\"description\" content=\"L\">");
    page(site / "leer.htm", "");
    // Fifty megabytes and binary content: reported like any page.
    {
        std::ofstream big(site / "gross.htm", std::ios::binary);
        big << "<title>Gross</title><meta name=\"description\" content=\"G\">" << std::string(50u << 20, ' ');
        std::ofstream binary(site / "bild.htm", std::ios::binary);
        for (int i = 0; i < 4096; ++i)
            binary << static_cast<char>(i * 31 % 256);
    }
    ASSERT_EQ(run({"project", "homepage", (site / "index.htm").string()}), 0) << m_err.str();

    const fs::path table = m_dir / "seiten.csv";
    EXPECT_EQ(run({"preview", "--site", "--csv", table.string()}), 1) << m_err.str();
    const std::string lines = out();
    EXPECT_EQ(lines.rfind("Seite\tTitel\tBeschreibung\tBefunde\n", 0), 0u);
    EXPECT_NE(lines.find("\nindex.htm\t42\t76\t\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nlang.htm\t755\t8\tTitel zu lang\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nleer.htm\t0\t0\tTitel fehlt; Beschreibung fehlt\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\na.htm\t57\t9\tTitel doppelt (auch in unter/b.html)\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("\nunter/b.html\t57\t0\tBeschreibung fehlt; Titel doppelt (auch in a.htm)\n"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("\ngross.htm\t"), std::string::npos);
    EXPECT_NE(lines.find("\nbild.htm\t0\t0\tTitel fehlt; Beschreibung fehlt\n"), std::string::npos);
    const std::string csv = slurp(table);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFSeite,Titel (Pixel),Beschreibung (Pixel),Befunde\r\n", 0), 0u);
    EXPECT_NE(csv.find("\r\nleer.htm,0,0,Titel fehlt; Beschreibung fehlt\r\n"), std::string::npos);

    // Nothing to find: exit 0.
    for (const char *name : {"a.htm", "unter/b.html", "lang.htm", "leer.htm", "gross.htm", "bild.htm"})
        fs::remove(site / name);
    EXPECT_EQ(run({"preview", "--site"}), 0) << out();
    EXPECT_EQ(run({"preview", "--csv", table.string()}), 2);
    EXPECT_EQ(run({"preview", "--site", "--page", "x"}), 2);
}
