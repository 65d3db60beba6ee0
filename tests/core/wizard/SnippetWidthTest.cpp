#include "platform/Text.h"
#include "wizard/SnippetWidth.h"

#include <gtest/gtest.h>

using namespace vantor;

namespace {

// Arial's advances (Liberation Sans has the same) in units of its 2,048 em.
double px(double units, double size) { return units * size / 2048.0; }

} // namespace

TEST(SnippetWidthTest, WidthsAreArialsAtTheListsSizes)
{
    EXPECT_NEAR(snippet::width("IIIIIIII", snippet::kTitleSize), px(8 * 569, 20), 1e-9);
    EXPECT_NEAR(snippet::width("WWWWWWWW", snippet::kTitleSize), px(8 * 1933, 20), 1e-9);
    // Umlauts, ß, the euro sign and the en dash are one character each, as
    // wide as the font draws them, not as their bytes in UTF-8.
    EXPECT_NEAR(snippet::width(de("ä"), 20), px(1139, 20), 1e-9);
    EXPECT_NEAR(snippet::width(de("ß"), 20), px(1251, 20), 1e-9);
    EXPECT_NEAR(snippet::width(de("€ – …"), 14), px(1139 + 569 + 1139 + 569 + 2048, 14), 1e-9);
    // As a browser measures them (Chromium's canvas, Liberation Sans, with
    // its kerning): within a pixel.
    EXPECT_NEAR(snippet::width(de("Ferienhäuser an der Nordsee – Wattenmeer"), 20), 391.68, 1.0);
    EXPECT_NEAR(snippet::width(de("Gärtnerei Sonnenblume in Lindenfeld"), 20), 331.34, 1.0);
    EXPECT_NEAR(snippet::width(de("Straße & Söhne: Über 100 Jahre Qualität"), 14), 256.03, 1.0);
    // What takes no room in a list: controls, the soft hyphen, bytes that
    // are no cp1252 character.
    EXPECT_EQ(snippet::width(std::string("\t\x81\xAD", 3), 20), 0.0);
    EXPECT_EQ(snippet::width("", 20), 0.0);
}

TEST(SnippetWidthTest, CutAfterTheLastWholeWordThatFits)
{
    const std::string fits = de("Gärtnerei Sonnenblume in Lindenfeld");
    EXPECT_EQ(snippet::cut(fits, 20, 600), fits);

    const std::string longTitle = de("Gärtnerei Sonnenblume in Lindenfeld – Stauden, Kräuter und Obstgehölze aus "
                                      "eigener Anzucht");
    const std::string shown = snippet::cut(longTitle, 20, 600);
    EXPECT_LE(snippet::width(shown, 20), 600.0);
    EXPECT_EQ(shown.substr(shown.size() - 2), " \x85");
    // A word boundary: the text before the ellipsis is a start of the title
    // that ends where a word did.
    const std::string kept = shown.substr(0, shown.size() - 2);
    EXPECT_EQ(longTitle.rfind(kept, 0), 0u);
    EXPECT_EQ(longTitle[kept.size()], ' ');
    // One more word would not have fitted.
    const std::size_t next = longTitle.find(' ', kept.size() + 1);
    EXPECT_GT(snippet::width(longTitle.substr(0, next) + " \x85", 20), 600.0);

    // The same number of characters, very different room.
    EXPECT_EQ(snippet::cut(std::string(60, 'I'), 20, 600), std::string(60, 'I'));
    const std::string ws = snippet::cut(std::string(60, 'W'), 20, 600);
    EXPECT_LT(ws.size(), 60u);
    EXPECT_EQ(ws.back(), '\x85');
    EXPECT_LE(snippet::width(ws, 20), 600.0);
}
