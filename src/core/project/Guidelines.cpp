#include "project/Guidelines.h"

#include "platform/Text.h"
#include "project/ProjectOptions.h"

namespace vantor::guidelines {

namespace {

// Written in UTF-8 here and handed out in cp1252 like every text of the core;
// the reasons name the document and the section a reader can look up.
const std::array<Technique, kTechniqueCount> kTable = {{
    {"titl", "title", Mark::Recommended,
     "Ein eindeutiger, beschreibender Titel je Seite ist das, was die Trefferliste zeigt "
     "(Google Search Central: Titellinks; Bing Webmaster Guidelines)."},
    {"desc", "description", Mark::Recommended,
     "Die Beschreibung ist die Vorlage für das Snippet in der Trefferliste "
     "(Google Search Central: Snippets; Bing Webmaster Guidelines)."},
    {"robo", "robots", Mark::Recommended,
     "Mit META robots steuert die Seite selbst Indexierung und Verfolgen der Links "
     "(Google Search Central: Robots-Meta-Tag; Bing Webmaster Guidelines)."},
    {"cano", "canonical", Mark::Recommended,
     "Der canonical-Link nennt die eine Adresse der Seite und vermeidet doppelte Inhalte "
     "(Google Search Central: Kanonische URLs; Bing Webmaster Guidelines)."},
    {"lang", "lang", Mark::Recommended,
     "Die Sprachangabe am <html>-Element sagt Suchmaschinen und Vorleseprogrammen, in welcher Sprache die Seite "
     "geschrieben ist (Google Search Central: Lokalisierte Versionen; WCAG 2.2, 3.1.1)."},
    {"view", "viewport", Mark::Recommended,
     "Ohne viewport-Angabe ist die Seite auf Mobilgeräten nicht lesbar, und Google indexiert zuerst die "
     "mobile Fassung (Google Search Central: Mobile-First-Indexierung)."},
    {"ogtg", "Open Graph", Mark::Recommended,
     "og:title, og:description und og:url bestimmen die Vorschau, wenn die Seite geteilt wird "
     "(The Open Graph protocol, ogp.me; Bing Webmaster Guidelines)."},
    {"keyw", "keywords", Mark::Ineffective,
     "Das META-Element keywords wird von Google und Bing seit Jahren nicht mehr ausgewertet "
     "(Google Search Central: Unterstützte Meta-Tags; Bing Webmaster Guidelines)."},
    {"revi", "revisit", Mark::Ineffective,
     "revisit-after bestimmt nicht, wann eine Suchmaschine wiederkommt (Google Search Central: Unterstützte "
     "Meta-Tags nennt es nicht; Bing Webmaster Guidelines)."},
    {"gene", "generator", Mark::Ineffective,
     "META generator hat keinen Einfluss auf die Platzierung (Google Search Central: Unterstützte Meta-Tags)."},
    {"auth", "author", Mark::Ineffective,
     "META author wird für die Platzierung nicht ausgewertet (Google Search Central: Unterstützte "
     "Meta-Tags)."},
    {"copy", "copyright", Mark::Ineffective,
     "META copyright wird für die Platzierung nicht ausgewertet (Google Search Central: Unterstützte "
     "Meta-Tags)."},
    {"link", "link rel", Mark::Ineffective,
     "<LINK REL=Home> und REL=Next werden von den Suchmaschinen nicht mehr ausgewertet (Google Search Central: "
     "Paginierung)."},
    {"buch", "Buchstabenfolge (!...)", Mark::Ineffective,
     "Ein vorangestelltes ! sortierte frühere Verzeichnisse nach vorn; Suchmaschinen ordnen nicht "
     "alphabetisch (Google Search Central: Titellinks)."},
    {"text", "Suchwort-Tags", Mark::Risky,
     "Verborgene Überschriften aus Suchbegriffen sind versteckter Text und Keyword-Stuffing "
     "(Google Search Essentials, Spam-Richtlinien; Bing Webmaster Guidelines)."},
    {"komm", "Kommentar in der Überschrift", Mark::Risky,
     "Eine Überschrift, deren Inhalt als Kommentar verborgen ist, ist versteckter Text "
     "(Google Search Essentials, Spam-Richtlinien: versteckter Text und Links)."},
    {"vlin", "Verborgene Links", Mark::Risky,
     "Links auf 1×1-Pixel-Bildern sind versteckte Links (Google Search Essentials, Spam-Richtlinien: "
     "versteckter Text und Links; Bing Webmaster Guidelines)."},
    {"altt", "ALT-Text", Mark::Risky,
     "ALT-Texte voller Suchbegriffe an unsichtbaren Bildern sind Keyword-Stuffing (Google Search Essentials, "
     "Spam-Richtlinien: Keyword-Stuffing)."},
    {"hiddenForm", "Verborgenes Formular", Mark::Risky,
     "Ein unsichtbares Formular mit Suchbegriffen ist versteckter Text (Google Search Essentials, "
     "Spam-Richtlinien: versteckter Text und Links)."},
    {"nofr", "Noframes Tag", Mark::Risky,
     "Ein NOFRAMES-Bereich voller Suchbegriffe ist ein Textblock, den Besucher nicht sehen "
     "(Google Search Essentials, Spam-Richtlinien: Keyword-Stuffing, versteckter Text)."},
    {"vcop", "Kopien der Homepage", Mark::Risky,
     "Kopien der Homepage unter anderen Namen sind doppelte Inhalte und gelten als Brückenseiten "
     "(Google Search Essentials, Spam-Richtlinien: Doorway-Missbrauch; Bing Webmaster Guidelines)."},
    {"makedirs", "Zugangsseiten", Mark::Risky,
     "Zugangsseiten je Suchbegriff, die alle zur Homepage führen, sind Brückenseiten "
     "(Google Search Essentials, Spam-Richtlinien: Doorway-Missbrauch; Bing Webmaster Guidelines)."},
    {"tico", "Titel Kopien", Mark::Risky,
     "Eigene Titel machen aus Kopien der Homepage keine eigenen Seiten; sie bleiben Brückenseiten "
     "(Google Search Essentials, Spam-Richtlinien: Doorway-Missbrauch)."},
    {"deco", "Beschreibung Kopien", Mark::Risky,
     "Eigene Beschreibungen machen aus Kopien der Homepage keine eigenen Seiten; sie bleiben Brückenseiten "
     "(Google Search Essentials, Spam-Richtlinien: Doorway-Missbrauch)."},
}};

} // namespace

const std::array<Technique, kTechniqueCount> &techniques() { return kTable; }

const Technique *find(const std::string &code)
{
    for (const auto &t : kTable)
        if (code == t.code)
            return &t;
    return nullptr;
}

std::string label(const Technique &technique) { return de(technique.label); }

std::string reason(const Technique &technique) { return de(technique.reason); }

const char *markText(Mark mark)
{
    switch (mark) {
    case Mark::Recommended:
        return "empfohlen";
    case Mark::Ineffective:
        return "wirkungslos";
    case Mark::Risky:
        return "riskant";
    }
    return "";
}

void applyModern(ProjectOptions &options)
{
    for (const auto &t : kTable) {
        int *field = options.find(t.code);
        if (!field && std::string(t.code) == "hiddenForm")
            field = &options.hiddenForm;
        if (!field)
            continue;
        // tico and deco are single boxes; with copies off they do nothing
        // either way.
        *field = t.mark == Mark::Recommended ? 3 : 0;
    }
}

} // namespace vantor::guidelines
