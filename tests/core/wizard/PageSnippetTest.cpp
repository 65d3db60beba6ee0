#include "platform/Text.h"
#include "wizard/PageSnippet.h"

#include <gtest/gtest.h>

using namespace vantor;

TEST(PageSnippetTest, TitleAndDescriptionAsTheBrowserReadsThem)
{
    // UTF-8 with entities, odd case, blanks and line breaks.
    PageSnippet s = PageSnippet::read("<html><head><meta charset=\"utf-8\"><TITLE>\n  Caf&eacute; &amp;  Kuchen "
                                      "&ndash; M&#252;ller &#x20AC;  </TITLE>\r\n<meta content='Torten &amp; mehr' "
                                      "NAME=\"Description\"><meta name=\"keywords\" content=\"x\"></head>");
    EXPECT_TRUE(s.hasTitle);
    EXPECT_EQ(toUtf8(s.title), "Café & Kuchen – Müller €");
    EXPECT_TRUE(s.hasDescription);
    EXPECT_EQ(toUtf8(s.description), "Torten & mehr");

    // cp1252, as older sites are; and UTF-16 with its byte-order mark.
    s = PageSnippet::read(de("<title>Gärtnerei</title><meta name=description content=Stauden>"));
    EXPECT_EQ(s.title, de("Gärtnerei"));
    EXPECT_EQ(s.description, "Stauden");
    const std::string utf16 = std::string("\xFF\xFE<\0t\0i\0t\0l\0e\0>\0\xE4\0<\0/\0t\0i\0t\0l\0e\0>\0", 36);
    s = PageSnippet::read(utf16);
    EXPECT_EQ(s.title, "\xE4");

    // A character cp1252 lacks takes a '?' of about its width.
    s = PageSnippet::read("<meta charset=utf-8><title>\xE2\x86\x92 Ziel</title>");
    EXPECT_EQ(s.title, "? Ziel");
}

TEST(PageSnippetTest, MissingBrokenAndHugePagesGiveNothingAndCostLittle)
{
    PageSnippet s = PageSnippet::read("<html><head></head><body><p>Nichts</p></body></html>");
    EXPECT_FALSE(s.hasTitle);
    EXPECT_FALSE(s.hasDescription);
    EXPECT_TRUE(s.title.empty());
    // A title never closed, a META without content, a name that only
    // contains "description".
    s = PageSnippet::read("<title>offen<meta name=\"description\"><meta name=\"og:description\" content=\"x\">");
    EXPECT_FALSE(s.hasTitle);
    EXPECT_FALSE(s.hasDescription);

    std::string binary(100000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 7919) % 251);
    EXPECT_NO_THROW(PageSnippet::read(binary));

    // The head is found at the start of a page of 50 MB; what lies beyond
    // the first bytes is not read.
    std::string huge = "<title>Gross</title>" + std::string(50u * 1024 * 1024, 'x');
    EXPECT_EQ(PageSnippet::read(huge).title, "Gross");
    std::string late = std::string(PageSnippet::kHeadLimit, ' ') + "<title>Zu spät</title>";
    EXPECT_FALSE(PageSnippet::read(late).hasTitle);
}
