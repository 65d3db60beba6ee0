#include "optimizer/TermText.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

TEST(TermText, FileNameFormSpellsOutAndDropsBlanksAndNumber)
{
    EXPECT_EQ(fileNameForm(de("Große Äpfel#2")), "GrosseAepfel");
    EXPECT_EQ(fileNameForm(de("Öl Übung ärger öde über")), "OelUebungaergeroedeueber");
    EXPECT_EQ(fileNameForm(de("Café Élan crème Ère maître château à À")), "CafeElancremeEremaitrechateauaA");
    EXPECT_EQ(fileNameForm(de("#nur Nummer")), "");
    EXPECT_EQ(fileNameForm(de("ê bleibt")), de("êbleibt")); // not in the list
}

TEST(TermText, EntityFormWritesNamedEntities)
{
    EXPECT_EQ(entityForm(de("Größe")), "Gr&ouml;&szlig;e");
    EXPECT_EQ(entityForm(de("ÄäÖöÜü")), "&Auml;&auml;&Ouml;&ouml;&Uuml;&uuml;");
    EXPECT_EQ(entityForm(de("éÉèÈàÀîâ")), "&eacute;&Eacute;&egrave;&Egrave;&agrave;&Agrave;&icirc;&acirc;");
    EXPECT_EQ(entityForm(de("Müller & Söhne#3")), "M&uuml;ller & S&ouml;hne");
}

TEST(TermText, DecodeEntitiesKnowsItsFewForms)
{
    std::string text = "&#34;Gr&ouml;&szlig;e&#34; &Auml;rger &uuml &nbsp;&nbspx &amp;auml; &#39;";
    decodeEntities(text);
    EXPECT_EQ(text, de("\"Größe\" Ärger ü   x &auml; ';"));

    std::string others = "&lt; &eacute; & &#35;";
    decodeEntities(others);
    EXPECT_EQ(others, "&lt; &eacute; & &#35;");

    std::string utf8 = "\xC3\xA8\xC3\xA9\xC3\xAA\xC3\x84\xC3\xA4\xC3\x9C\xC3\xBC\xC3\x96\xC3\xB6\xC3\x9F";
    decodeEntities(utf8);
    EXPECT_EQ(utf8, "\xE8\xE9\xEA\xC4\xE4\xDC\xFC\xD6\xF6\xDF");

    std::string foreign = "\xC3\xA0 \xC3"; // à is not one of ours; a lone lead byte stays
    decodeEntities(foreign);
    EXPECT_EQ(foreign, "\xC3\xA0 \xC3");
}

TEST(TermText, SmallConversions)
{
    EXPECT_EQ(cutAtHash("Haus#12#3"), "Haus");
    EXPECT_EQ(removeLineBreaks("a\r\nb\nc\rd\t"), "abcd\t");
    EXPECT_EQ(removeSpaces(" a b\tc "), "ab\tc");
    EXPECT_EQ(spacesToPlus("rote Rosen kaufen"), "rote+Rosen+kaufen");
    EXPECT_EQ(plusToSpaces("rote+Rosen++kaufen"), "rote Rosen  kaufen");
    EXPECT_EQ(backslashToSlash("C:\\site\\a.htm"), "C:/site/a.htm");
    EXPECT_EQ(colonToComma("a:b>c,d"), "a,b,c,d");
    EXPECT_EQ(cutAtNewline("erste\r\nzweite\n"), "erste\r");
    EXPECT_EQ(cutAtNewline("eine"), "eine");
    EXPECT_EQ(escapeHash("seite.htm#oben#"), "seite.htm%23oben%23");
    EXPECT_EQ(lettersOnly(de("Straße 12, Köln-Süd! Café à")), de("Straße  KölnSüd Café "));
    EXPECT_EQ(lettersOnly(de("ÄÖÜäöüèéê")), de("ÄÖÜäöüèéê"));
    EXPECT_EQ(lettersOnly(de("ÉÈÀâî")), "");
}

} // namespace
} // namespace vantor
