#include "platform/Text.h"
#include "research/ResearchSource.h"
#include "research/ResultText.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantor;

namespace {

std::vector<std::string> cut(std::string line, const std::string &start, const std::string &end,
                             const std::string &delimiter)
{
    std::vector<std::string> terms;
    std::string term;
    while (research::extractNextResult(line, start, end, delimiter, term)) {
        terms.push_back(term);
        if (terms.size() > 100)
            break; // would be an endless loop
    }
    return terms;
}

using Terms = std::vector<std::string>;

TEST(ResultText, ARunWithDelimitersYieldsEachTermInTurn)
{
    EXPECT_EQ(cut("x <b>eins, zwei, drei</b> y", "<b>", "</b>", ", "), (Terms{"eins", "zwei", "drei"}));
    // A run that goes on over the next line: the rest is cut at the
    // delimiter, the last at the end marker.
    EXPECT_EQ(cut("vier, fuenf</b>", "<b>", "</b>", ", "), (Terms{"vier", "fuenf"}));
    // Neither delimiter nor end: nothing, the line stays for nobody.
    EXPECT_EQ(cut("<b>offen", "<b>", "</b>", ", "), Terms{});
    // The terminator only before the start: the term runs to the line end.
    EXPECT_EQ(cut("a, <b>rest", "<b>", "</b>", ", "), (Terms{"rest"}));
    // Empty terms come back as such; the caller skips them.
    EXPECT_EQ(cut("<b>, a</b>", "<b>", "</b>", ", "), (Terms{"", "a"}));
}

TEST(ResultText, WithoutDelimiterEachTermNeedsItsEndMarker)
{
    EXPECT_EQ(cut("<li>a</li><li>b</li><li>c", "<li>", "</li>", ""), (Terms{"a", "b"}));
    // A continuation line without delimiter gives nothing.
    EXPECT_EQ(cut("b</li>", "<li>", "</li>", ""), Terms{});
    // Without an end marker the whole rest is the term.
    EXPECT_EQ(cut("Treffer: alles hier", "Treffer: ", "", ""), (Terms{"alles hier"}));
    // An end marker only before the start: nothing rather than garbage.
    EXPECT_EQ(cut("</li> <li>a", "<li>", "</li>", ""), Terms{});
    EXPECT_EQ(cut("", "<li>", "</li>", ""), Terms{});
}

TEST(ResultText, CleaningLeavesLettersOfTheTermOnly)
{
    EXPECT_EQ(research::cleanResultText("<a href=\"x\">urlaub</a> in <b>italien</b>"), "urlaub in italien");
    EXPECT_EQ(toUtf8(research::cleanResultText("M&uuml;nchen 2024!")), "München ");
    EXPECT_EQ(toUtf8(research::cleanResultText("Stra\xC3\x9F" "e")), "Straße");
    EXPECT_EQ(research::cleanResultText("<<<"), "");
}

TEST(ResearchSource, TermsAreTransliteratedAndEncodedForTheUrl)
{
    ResearchSourceDef def;
    def.keyword = "[T]";
    EXPECT_EQ(researchsource::requestUrl(def, "http://s/q?w=[T]&x=[T]", de("müller+straße")),
              "http://s/q?w=m%FCller+stra%DFe&x=[T]");
    def.utf8 = true;
    EXPECT_EQ(researchsource::urlTerm(def, de("müller")), "m%C3%BCller");
    def.convert = true;
    EXPECT_EQ(researchsource::urlTerm(def, de("müller+straße")), "mueller+strasse");
    EXPECT_EQ(researchsource::urlTerm(def, de("straße")), "strasse");
    def.convert = false;
    EXPECT_EQ(researchsource::urlTerm(def, "a&b=c d#e%f/g?h-._~"), "a%26b%3Dc%20d%23e%25f%2Fg%3Fh-._~");
    // Without the placeholder the template goes out as it is.
    EXPECT_EQ(researchsource::requestUrl(def, "http://s/fest", "x"), "http://s/fest");
}

TEST(ResearchSource, EveryKeyIsRequiredButTheCharset)
{
    std::string text = "K.keyword=X\r\nK.convert=1\r\nK.http1=http://a/X\r\nK.http2=\r\nK.resultsstart=<ul>\r\n"
                       "K.resultsend=</ul>\r\nK.resultstart=<li>\r\nK.resultend=</li>\r\nK.delimiter=\r\n"
                       "K.abort=nix\r\n";
    ResearchSourceDef def;
    ASSERT_TRUE(researchsource::read(text, "K", 2, def));
    EXPECT_TRUE(def.convert);
    EXPECT_FALSE(def.utf8);
    EXPECT_EQ(def.templates, (std::vector<std::string>{"http://a/X", ""}));
    EXPECT_EQ(def.markers.delimiter, "");
    EXPECT_FALSE(researchsource::read(text, "K", 3, def));
    ASSERT_TRUE(researchsource::read(text + "K.charset=UTF-8\r\n", "K", 1, def));
    EXPECT_TRUE(def.utf8);
    for (const char *key : {"keyword", "convert", "resultsstart", "resultsend", "resultstart", "resultend",
                            "delimiter", "abort"}) {
        std::string broken = text;
        const std::size_t at = broken.find(std::string("K.") + key + "=");
        broken.erase(at, broken.find("\r\n", at) + 2 - at);
        EXPECT_FALSE(researchsource::read(broken, "K", 1, def)) << key;
    }
}

} // namespace
