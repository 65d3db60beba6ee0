#include "ManPage.h"

#include "Gunzip.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

namespace vantor::manpage {
namespace {

using testing::gunzip;

const std::string kFront = "% vantor-cli 1 2026-12-09\n# NAME\n\nvantor-cli - Test\n\n";

// The roff of a page without its header: front line and NAME section are
// the same in every case.
std::string body(const std::string &markdown)
{
    const std::string roff = toRoff(kFront + markdown, "Vantor!! 4.01");
    const std::string afterName = ".SH NAME\nvantor\\-cli \\- Test\n";
    const auto at = roff.find(afterName);
    EXPECT_NE(at, std::string::npos) << roff;
    return at == std::string::npos ? roff : roff.substr(at + afterName.size());
}

int errorLine(const std::string &markdown)
{
    try {
        toRoff(markdown, "Vantor!! 4.01");
    } catch (const Error &e) {
        return e.line();
    }
    return 0;
}

TEST(ManPageTest, HeaderCarriesNameDateAndSourceWithoutBuildTime)
{
    const std::string roff = toRoff(kFront, "Vantor!! 4.01");
    EXPECT_EQ(roff.rfind(".\\\" -*- coding: UTF-8 -*-\n", 0), 0u) << "man-db reads the encoding from the first line";
    EXPECT_NE(roff.find("\n.TH VANTOR\\-CLI 1 2026-12-09 \"Vantor!! 4.01\" \"Vantor!!-Handbuch\"\n"), std::string::npos)
        << roff;
    EXPECT_EQ(roff, toRoff(kFront, "Vantor!! 4.01"));
}

TEST(ManPageTest, EscapesWhatRoffWouldReadAsRequestsOrEscapes)
{
    // A backslash in text and in code, a line beginning with a dot or an
    // apostrophe in text, in a term and in an example.
    EXPECT_EQ(body("C:\\\\x und `a\\b`\n.htaccess liegt dort\n'zitiert'\n"),
              ".PP\nC:\\ex und \\fBa\\eb\\fR\n\\&.htaccess liegt dort\n\\&'zitiert'\n");
    EXPECT_EQ(body(".profile\n: wird gelesen\n"), ".TP\n\\&.profile\nwird gelesen\n");
    EXPECT_EQ(body("```\n.PP\n'x'\n\\fB\n```\n"), ".PP\n.RS 4\n.nf\n\\&.PP\n\\(aqx\\(aq\n\\efB\n.fi\n.RE\n");
    EXPECT_EQ(body("# \"Zitat\" 1\n"), ".SH \"\\(dqZitat\\(dq 1\"\n");
}

TEST(ManPageTest, OptionsAndNamesGetMinusSignsCompoundWordsKeepHyphens)
{
    EXPECT_EQ(body("--port und [--yes] und (**--plain** | -h) mit Web-Site, E-Mail, vantor-cli, ein- und aus\n"),
              ".PP\n\\-\\-port und [\\-\\-yes] und (\\fB\\-\\-plain\\fR | \\-h) mit Web-Site, E-Mail, vantor\\-cli, "
              "ein- und aus\n");
    // What is typed is typed with minus signs, whatever the word.
    EXPECT_EQ(body("`Web-Site --x`\n"), ".PP\n\\fBWeb\\-Site \\-\\-x\\fR\n");
    EXPECT_EQ(body("```\nvantor-cli ranks forget --before 2026-01-01 --yes\n```\n"),
              ".PP\n.RS 4\n.nf\nvantor\\-cli ranks forget \\-\\-before 2026\\-01\\-01 \\-\\-yes\n.fi\n.RE\n");
}

TEST(ManPageTest, FontsNestAcrossLinesAndLiteralStarsStayLiteral)
{
    EXPECT_EQ(body("**fett *beides* fett** *kursiv\nweiter* 5 * 3 \\*.qx!\n"),
              ".PP\n\\fBfett \\f(BIbeides\\fB fett\\fR \\fIkursiv\nweiter\\fR 5 * 3 *.qx!\n");
    EXPECT_EQ(body("**b `c` b**\n"), ".PP\n\\fBb \\fBc\\fB b\\fR\n");
}

TEST(ManPageTest, BlocksBecomeTheirMacros)
{
    EXPECT_EQ(body("# BESCHREIBUNG\n\nErster.\n\nZweiter\\\nmit Umbruch.\n\n## Teil\n\n- eins\n  weiter\n- zwei\n\n"
                   "Danach.\n\n**--port** *N*\n: Der Port\n  (Vorgabe 8080).\n**--root** *DIR*\n: Die Wurzel.\n\n"
                   "<!-- nicht\n  im Ergebnis -->\n```sh\neins\n\n  zwei\n```\n"),
              ".SH BESCHREIBUNG\nErster.\n.PP\nZweiter\n.br\nmit Umbruch.\n.SS Teil\n.IP \\(bu 2\neins\nweiter\n"
              ".IP \\(bu 2\nzwei\n.PP\nDanach.\n.TP\n\\fB\\-\\-port\\fR \\fIN\\fR\nDer Port\n(Vorgabe 8080).\n"
              ".TP\n\\fB\\-\\-root\\fR \\fIDIR\\fR\nDie Wurzel.\n.PP\n.RS 4\n.nf\neins\n\\&\n  zwei\n.fi\n.RE\n");
    // A backslash doubled at the end is a backslash, not a break.
    EXPECT_EQ(body("C:\\\\\nD\n"), ".PP\nC:\\e\nD\n");
    EXPECT_EQ(body("eins\r\nzwei\r\n"), ".PP\neins\nzwei\n");
}

TEST(ManPageTest, InputOutsideTheSubsetIsRefusedWithItsLine)
{
    EXPECT_EQ(errorLine(""), 1);
    EXPECT_EQ(errorLine("# NAME\n"), 1);
    EXPECT_EQ(errorLine("% vantor-cli 1 9.12.2026\n"), 1);
    EXPECT_EQ(errorLine("% vantor cli 1 2026-12-09\n"), 1);
    EXPECT_EQ(errorLine("% vantor-cli 1 2026-12-09\n"), 1) << "a page without NAME";
    EXPECT_EQ(errorLine("% vantor-cli 1 2026-12-09\nText\n# NAME\n"), 2);
    EXPECT_EQ(errorLine("% vantor-cli 1 2026-12-09\n# BESCHREIBUNG\n"), 2);
    EXPECT_EQ(errorLine(kFront + "### Drei\n"), 6);
    EXPECT_EQ(errorLine(kFront + "```\nnie zu\n"), 6);
    EXPECT_EQ(errorLine(kFront + ": ohne Begriff\n"), 6);
    EXPECT_EQ(errorLine(kFront + "Absatz\nBegriff\n: Text\n"), 8);
    EXPECT_EQ(errorLine(kFront + "Begriff\n: eins\n: zwei\n"), 8);
    EXPECT_EQ(errorLine(kFront + "`offen\n"), 6);
    EXPECT_EQ(errorLine(kFront + "**offen\nbleibt\n"), 7);
    EXPECT_EQ(errorLine(kFront + "<!-- offen\n"), 6);
}


TEST(ManPageTest, GzipRoundTripsWithAReproducibleHeader)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "Zeile " + std::to_string(i) + " mit Umlauten äöü\n";
    const std::string packed = gzip(text);
    EXPECT_EQ(gunzip(packed), text);
    EXPECT_EQ(packed, gzip(text));
    ASSERT_GE(packed.size(), 10u);
    EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x1f);
    EXPECT_EQ(static_cast<unsigned char>(packed[1]), 0x8b);
    EXPECT_EQ(packed[3], 0) << "no file name, comment or extra field";
    EXPECT_EQ(packed.substr(4, 4), std::string(4, '\0')) << "no time stamp";
    EXPECT_EQ(packed[8], 2) << "marked as best compression, as lintian expects";
    EXPECT_EQ(gunzip(gzip("")), "");
}

} // namespace
} // namespace vantor::manpage
