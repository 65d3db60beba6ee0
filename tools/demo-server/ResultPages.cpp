#include "ResultPages.h"

#include "GermanText.h"
#include "HtmlText.h"

#include "net/PercentEncoding.h"
#include "platform/Text.h"

#include <array>
#include <charconv>
#include <vector>

namespace vantor::demo {

namespace {

using Engine = ResultPages::Engine;

// The sample project's terms as the program sends them, and where the sample
// site stands for each: 0 is "Nicht unter Top N", kOutside "Antwort nicht
// bekannt". position_d.txt and the README show the same table; the tests
// hold the pages to it.
struct Fixed {
    const char *term;
    int suchfix;
    int findling;
    int spuernase;
};
constexpr Fixed kFixed[] = {
    { "gärtnerei", 7, 24, 0 },
    { "gärtnerei lindenfeld", 1, 13, 2 },
    { "stauden", 0, 0, 0 },
    { "staudengärtnerei", 3, 5, 11 },
    { "kräuter", 28, 0, 19 },
    { "küchenkräuter", 4, 2, 6 },
    { "obstbäume", ResultPages::kOutside, ResultPages::kOutside, ResultPages::kOutside },
    { "beerensträucher", 15, 38, 30 },
    { "obstgehölze", 10, 21, 1 },
};

enum class Kind { Shop, Guide, Lexicon, Forum, Club, Paper, Nursery, Region };

struct Site {
    const char *domain;
    const char *name;
    Kind kind;
};

// The other sites the engines find. A prime count, so that stepping through
// it from any place meets every site once before the first comes again: no
// site stands twice among the 40 results of an engine.
constexpr std::array<Site, 41> kSites = { {
    { "www.pflanzenversand-nord.example", "Pflanzenversand Nord", Kind::Shop },
    { "www.gartenshop-gruenling.example", "Gartenshop Grünling", Kind::Shop },
    { "www.pflanzenmarkt-beispiel.example", "Pflanzenmarkt Beispiel", Kind::Shop },
    { "www.duftgarten-versand.example", "Duftgarten Versand", Kind::Shop },
    { "www.beerenparadies.example", "Beerenparadies", Kind::Shop },
    { "www.saatgut-vielfalt.example", "Saatgut Vielfalt", Kind::Shop },
    { "www.gartenratgeber.example", "Gartenratgeber", Kind::Guide },
    { "www.mein-schoener-hausgarten.example", "Mein schöner Hausgarten", Kind::Guide },
    { "www.hausgarten-tipps.example", "Hausgarten-Tipps", Kind::Guide },
    { "www.biogarten-praxis.example", "Biogarten-Praxis", Kind::Guide },
    { "www.kuechenkraeuter-wissen.example", "Küchenkräuter-Wissen", Kind::Guide },
    { "www.obstbaumschnitt-kurs.example", "Obstbaumschnitt-Kurs", Kind::Guide },
    { "de.pflanzenwiki.example", "Pflanzenwiki", Kind::Lexicon },
    { "www.heilpflanzen-lexikon.example", "Heilpflanzen-Lexikon", Kind::Lexicon },
    { "www.staudenlexikon-beispiel.example", "Staudenlexikon", Kind::Lexicon },
    { "www.gehoelzdatenbank.example", "Gehölzdatenbank", Kind::Lexicon },
    { "www.gartenforum-online.example", "Gartenforum online", Kind::Forum },
    { "www.gruene-daumen-treff.example", "Grüne-Daumen-Treff", Kind::Forum },
    { "forum.balkongaertner.example", "Balkongärtner-Forum", Kind::Forum },
    { "www.selbstversorger-runde.example", "Selbstversorger-Runde", Kind::Forum },
    { "www.kleingartenverein-lindenfeld.example", "Kleingartenverein Lindenfeld", Kind::Club },
    { "www.ogv-talheim.example", "Obst- und Gartenbauverein Talheim", Kind::Club },
    { "www.rosenfreunde-beispiel.example", "Rosenfreunde Beispiel", Kind::Club },
    { "www.gartenbau-verband.example", "Gartenbau-Verband", Kind::Club },
    { "www.gartenzeitung.example", "Gartenzeitung", Kind::Paper },
    { "www.lindenfelder-anzeiger.example", "Lindenfelder Anzeiger", Kind::Paper },
    { "www.landleben-magazin.example", "Landleben Magazin", Kind::Paper },
    { "www.wohnen-und-garten-heute.example", "Wohnen und Garten heute", Kind::Paper },
    { "www.staudenhof-beispiel.example", "Staudenhof Beispiel", Kind::Nursery },
    { "www.baumschule-eichenlaub.example", "Baumschule Eichenlaub", Kind::Nursery },
    { "www.biogaertnerei-wiesengrund.example", "Biogärtnerei Wiesengrund", Kind::Nursery },
    { "www.obsthof-sonnenhang.example", "Obsthof Sonnenhang", Kind::Nursery },
    { "www.kraeutergarten-muster.example", "Kräutergarten Muster", Kind::Nursery },
    { "www.gaertnerei-ahornweg.example", "Gärtnerei am Ahornweg", Kind::Nursery },
    { "www.rosenhof-beispiel.example", "Rosenhof Beispiel", Kind::Nursery },
    { "www.staudengaertnerei-talblick.example", "Staudengärtnerei Talblick", Kind::Nursery },
    { "www.stadt-lindenfeld.example", "Stadt Lindenfeld", Kind::Region },
    { "www.branchenbuch-region.example", "Branchenbuch Region", Kind::Region },
    { "www.wochenmarkt-lindenfeld.example", "Wochenmarkt Lindenfeld", Kind::Region },
    { "www.gartencenter-lindenfeld.example", "Gartencenter Lindenfeld", Kind::Region },
    { "www.ausflugstipps-lindenfeld.example", "Ausflugstipps Lindenfeld", Kind::Region },
} };
// Coprime to the count of sites.
constexpr std::size_t kSiteStep = 17;
// Where the advertisers are in kSites: the shops and the nurseries.
constexpr std::array<std::size_t, 14> kAdvertisers = { 0, 1, 2, 3, 4, 5, 28, 29, 30, 31, 32, 33, 34, 35 };

// One entry of a result list, every text ready for the page.
struct Entry {
    std::string title;
    std::string address; // host and path, without "http://"
    std::string snippet;
};

// What a page shows besides its frame.
struct Listing {
    std::string shown; // the term, escaped
    std::string capital; // the same with capital initials
    std::string query; // the term for a link
    int number = 0;
    int first = 0; // position of the first entry
    unsigned long total = 0;
    std::vector<Entry> entries;
    Entry ad;
};

constexpr std::uint32_t seedOf(Engine engine)
{
    switch (engine) {
    case Engine::Suchfix:
        return 0x5C1F;
    case Engine::Findling:
        return 0xF1D1;
    case Engine::Spuernase:
        return 0x5905;
    }
    return 0;
}

// Capital initials for titles: "küchenkräuter" becomes "Küchenkräuter".
std::string capitalWords(std::string_view term)
{
    std::string out;
    bool initial = true;
    for (std::size_t i = 0; i < term.size();) {
        char32_t cp = 0;
        const std::size_t length = GermanText::next(term, i, cp);
        if (initial && cp >= 'a' && cp <= 'z')
            out += static_cast<char>(cp - 0x20);
        else if (initial && cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
            appendUtf8(out, cp - 0x20);
        else
            out.append(term.substr(i, length));
        initial = cp == ' ';
        i += length;
    }
    return out;
}

// The term as a part of a path: "gärtnerei lindenfeld" is
// "gaertnerei-lindenfeld".
std::string slugOf(std::string_view term)
{
    std::string out;
    for (std::size_t i = 0; i < term.size();) {
        char32_t cp = 0;
        i += GermanText::next(term, i, cp);
        if ((cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9'))
            out += static_cast<char>(cp);
        else if (cp >= 'A' && cp <= 'Z')
            out += static_cast<char>(cp + 0x20);
        else if (cp == U'ä' || cp == U'Ä')
            out += "ae";
        else if (cp == U'ö' || cp == U'Ö')
            out += "oe";
        else if (cp == U'ü' || cp == U'Ü')
            out += "ue";
        else if (cp == U'ß')
            out += "ss";
        else if ((cp == ' ' || cp == '-') && !out.empty() && out.back() != '-')
            out += '-';
    }
    if (!out.empty() && out.back() == '-')
        out.pop_back();
    return out.empty() ? "suche" : out;
}

// For links from one page to the next; browsers send the term back as
// UTF-8.
std::string queryValue(std::string_view term)
{
    return formEncode(term);
}

// "48.300", as German pages write counts.
std::string germanCount(unsigned long count)
{
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ".");
    return digits;
}

Entry siteEntry(const Site &site, const std::string &capital, std::string_view term, std::uint32_t number)
{
    const std::string name = htmlEscape(site.name);
    const std::string slug = slugOf(term);
    const std::string bold = "<b>" + capital + "</b>";
    const std::string domain = site.domain;
    const std::string count = std::to_string(3 + number % 40);
    switch (site.kind) {
    case Kind::Shop:
        return { capital + " online kaufen – " + name, domain + "/kategorie/" + slug + "/",
            bold
                + " in großer Auswahl: Versand in stabilen Kartons, Anwuchsgarantie und ausführliche "
                  "Pflanzanleitung. Jetzt bei "
                + name + " bestellen." };
    case Kind::Guide:
        return { capital + ": pflanzen, pflegen, ernten | " + name, domain + "/ratgeber/" + slug + ".html",
            "Was Sie über " + bold
                + " wissen sollten: Standort, Boden, Gießen und Schnitt – Schritt für Schritt "
                  "erklärt, mit Tipps für den Hausgarten." };
    case Kind::Lexicon:
        return { capital + " – " + name, domain + "/wiki/" + slug,
            bold
                + ": Herkunft, Merkmale und Verwendung im Garten, mit Bildern und Pflegehinweisen. "
                  "Nachgeschlagen bei "
                + name + "." };
    case Kind::Forum:
        return { "Frage zu " + capital + " – " + name,
            domain + "/thema-" + std::to_string(1000 + number % 9000) + "-" + slug + ".html",
            "Hallo zusammen, ich möchte dieses Jahr etwas mit " + bold + " anfangen und suche eure Erfahrungen … "
                + count + " Antworten, letzter Beitrag vor " + std::to_string(2 + number % 6) + " Tagen." };
    case Kind::Club:
        return { capital + " im Vereinsgarten – " + name, domain + "/garten/" + slug + ".htm",
            "Unsere Mitglieder zeigen, wie es mit " + bold
                + " im Kleingarten klappt. Termine, Gartenführungen "
                  "und der Pflanzentausch im Frühjahr." };
    case Kind::Paper:
        return { capital + ": Das raten Gartenprofis – " + name,
            domain + "/garten/" + slug + "-das-raten-profis-" + std::to_string(number % 100000) + ".html",
            "Im Frühjahr fragen viele Leser nach " + bold
                + ". Die Redaktion hat bei Gärtnereien in der Region "
                  "nachgefragt, worauf es ankommt." };
    case Kind::Nursery:
        return { capital + " aus eigener Anzucht – " + name, domain + "/sortiment/" + slug + ".php",
            name + ": " + bold
                + " aus eigener Anzucht, Beratung vor Ort und ein Hofladen. Geöffnet "
                  "Mo–Fr 8–18 Uhr, Sa 8–13 Uhr." };
    case Kind::Region:
        return { capital + " in Lindenfeld und Umgebung – " + name,
            domain + "/branchen/" + slug + (slug.find("lindenfeld") == std::string::npos ? "-lindenfeld/" : "/"),
            "Anbieter für " + bold
                + " in der Region: Adressen, Öffnungszeiten und Bewertungen aus Lindenfeld "
                  "und Umgebung." };
    }
    return {};
}

// The sample site as its own title and description present it.
Entry sampleEntry(std::string_view term)
{
    const bool nursery = term.starts_with("gärtnerei");
    return { "Gärtnerei Sonnenblume in Lindenfeld – Stauden, Kräuter und Obstgehölze aus eigener Anzucht",
        std::string(ResultPages::kSampleDomain) + (nursery ? "/" : "/sortiment.htm"),
        "Die Gärtnerei Sonnenblume in Lindenfeld zieht Stauden, Kräuter, Obstbäume und Beerensträucher selbst "
        "an – mit Beratung für Bauerngarten, Steingarten und Balkon." };
}

Entry adEntry(const std::string &capital, std::size_t advertiser, bool sample)
{
    if (sample)
        return { "Gärtnerei Sonnenblume – " + capital + " aus eigener Anzucht", ResultPages::kSampleDomain,
            "Obstbäume und Beerensträucher aus Lindenfeld, mit Beratung vor Ort." };
    const Site &site = kSites[kAdvertisers[advertiser % kAdvertisers.size()]];
    return { capital + " günstig bei " + htmlEscape(site.name), site.domain,
        capital + " direkt vom Erzeuger – heute bestellt, in wenigen Tagen im Garten." };
}

std::string document(const std::string &title, const std::string &body)
{
    return "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title
        + "</title>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

// Suchfix: an ordered list, every entry an "<li>", the ad above it; the
// list's end is the end of the results.
std::string suchfixPage(const Listing &l)
{
    std::string body = "<div class=\"kopf\"><a class=\"logo\" href=\"/serp/suchfix/\">Suchfix</a>\n"
                       "<form action=\"/serp/suchfix/suche\" method=\"get\"><input type=\"text\" name=\"q\" value=\""
        + l.shown + "\" size=\"40\"> <input type=\"submit\" value=\"Suchen\"></form></div>\n";
    if (l.shown.empty())
        return document("Suchfix", body + "<p class=\"hinweis\">Bitte geben Sie einen Suchbegriff ein.</p>\n");
    if (l.entries.empty())
        return document(l.shown + " - Suchfix",
            body + "<p class=\"hinweis\">Keine weiteren Ergebnisse für <b>" + l.shown + "</b>.</p>\n");
    body += "<p class=\"statistik\">Seite " + std::to_string(l.number) + " von ungefähr " + germanCount(l.total)
        + " Ergebnissen für <b>" + l.shown + "</b></p>\n";
    // The ad stands above the list: inside it, closed like an entry but
    // without a title, it would make the scan skip the first result.
    body += "<div class=\"anzeige\"><span class=\"kennung\">Anzeige</span> <a href=\"http://" + l.ad.address + "/\">"
        + l.ad.title + "</a><br>\n<span class=\"adresse\">" + l.ad.address + "</span> – " + l.ad.snippet + "</div>\n";
    body += "<ol class=\"treffer\" start=\"" + std::to_string(l.first) + "\">\n";
    for (const Entry &entry : l.entries)
        body += "<li class=\"eintrag\"><h3 class=\"titel\"><a href=\"http://" + entry.address + "\">" + entry.title
            + "</a></h3>\n<cite>" + entry.address + "</cite>\n<p class=\"auszug\">" + entry.snippet + "</p></li>\n";
    body += "</ol>\n<div class=\"seiten\">Ergebnisseiten:";
    for (int n = 1; n <= ResultPages::pageCount(Engine::Suchfix); ++n)
        body += n == l.number ? " <b>" + std::to_string(n) + "</b>"
                              : " <a href=\"suche?q=" + l.query + "&amp;start=" + std::to_string((n - 1) * 10) + "\">"
                + std::to_string(n) + "</a>";
    body += "</div>\n<p class=\"fuss\">Suchfix ist eine nachgestellte Suchmaschine des Vantor!!-Demo-Servers; "
            "alle Ergebnisse sind erfunden.</p>\n";
    return document(l.shown + " - Suchfix", body);
}

// Findling: ads above the list, every result a "<div>" whose closing tag is
// followed by a blank (the inner ones by a line break), an image box with a
// title but no address among them, closed without the blank so that it is
// no result of its own.
std::string findlingPage(const Listing &l)
{
    std::string body = "<div id=\"kopf\">\n<a id=\"logo\" href=\"/serp/findling/\">Findling</a>\n"
                       "<form action=\"/serp/findling/ergebnisse\" method=\"get\"><input type=\"text\" name=\"was\" "
                       "value=\""
        + l.shown + "\"> <input type=\"submit\" value=\"Finden\"></form>\n</div>\n";
    if (l.shown.empty())
        return document("Findling", body + "<p>Was suchen Sie? Findling findet es.</p>\n");
    if (l.entries.empty())
        return document(
            "Findling: " + l.shown, body + "<p>Zu <b>" + l.shown + "</b> hat Findling keine weiteren Treffer.</p>\n");
    body += "<div id=\"anzeigen\">\n<p class=\"hinweis\">Anzeigen</p>\n<p class=\"anzeige\"><a href=\"http://"
        + l.ad.address + "/\">" + l.ad.title + "</a> " + l.ad.address + " – " + l.ad.snippet + "</p>\n</div>\n";
    const int last = l.first + static_cast<int>(l.entries.size()) - 1;
    body += "<p id=\"zaehler\">Treffer " + std::to_string(l.first) + " bis " + std::to_string(last) + " von "
        + germanCount(l.total) + " für <b>" + l.shown + "</b>:</p>\n<div id=\"trefferliste\">\n";
    for (std::size_t i = 0; i < l.entries.size(); ++i) {
        const Entry &entry = l.entries[i];
        body += "<div class=\"treffer\">\n<div class=\"titel\"><a href=\"http://" + entry.address + "\">" + entry.title
            + "</a></div>\n<div class=\"adresse\">" + entry.address + "</div>\n<div class=\"auszug\">" + entry.snippet
            + "</div>\n</div> <!-- Treffer " + std::to_string(l.first + static_cast<int>(i)) + " -->\n";
        if (l.number == 1 && i == 2) {
            body += "<div class=\"bilder\">\n<div class=\"titel\">Bilder zu <b>" + l.capital
                + "</b></div>\n<div class=\"vorschau\"><a href=\"bilder?was=" + l.query
                + "\">Alle Bilder ansehen</a></div>\n</div>\n<!-- Bilder -->\n";
        }
    }
    body += "</div>\n<div id=\"seitenwahl\">Seite";
    for (int n = 1; n <= ResultPages::pageCount(Engine::Findling); ++n)
        body += n == l.number ? " <b>" + std::to_string(n) + "</b>"
                              : " <a href=\"ergebnisse?was=" + l.query + "&amp;seite=" + std::to_string(n) + "\">"
                + std::to_string(n) + "</a>";
    body += "</div>\n<p id=\"fuss\">Findling – nachgestellt für den Vantor!!-Demo-Server, die Treffer sind "
            "erfunden.</p>\n";
    return document("Findling: " + l.shown, body);
}

// Spürnase: definition lists, one per result, the ad behind them; no marker
// after the results, the program reads to the end.
std::string spuernasePage(const Listing &l)
{
    std::string body = "<table width=\"100%\"><tr><td><a href=\"/serp/spuernase/\"><b>Spürnase</b></a></td>\n"
                       "<td><form action=\"/serp/spuernase/finden\" method=\"get\"><input type=\"text\" name=\"wort\" "
                       "value=\""
        + l.shown + "\"> <input type=\"submit\" value=\"Schnüffeln\"></form></td></tr></table>\n";
    if (l.shown.empty())
        return document("Spürnase", body + "<p>Die Spürnase wartet auf ein Wort.</p>\n");
    if (l.entries.empty())
        return document("Spürnase findet: " + l.shown,
            body + "<p>Mehr hat die Spürnase zu <b>" + l.shown + "</b> nicht erschnüffelt.</p>\n");
    const int last = l.first + static_cast<int>(l.entries.size()) - 1;
    body += "<p>Die Spürnase hat " + germanCount(l.total) + " Fundstellen für <b>" + l.shown
        + "</b> erschnüffelt. Fundstellen " + std::to_string(l.first) + "–" + std::to_string(last)
        + ":</p>\n<div class=\"fundliste\">\n";
    for (std::size_t i = 0; i < l.entries.size(); ++i) {
        const Entry &entry = l.entries[i];
        body += "<dl class=\"fund\"><dt>" + std::to_string(l.first + static_cast<int>(i)) + ". <a href=\"http://"
            + entry.address + "\">" + entry.title + "</a></dt>\n<dd>" + entry.snippet + "</dd>\n<dd class=\"fundort\">"
            + entry.address + " – " + std::to_string(4 + (l.first + static_cast<int>(i)) * 7 % 60) + " KB</dd></dl>\n";
    }
    body += "</div>\n";
    // Behind the results: an ad among them would be taken for part of the
    // next result.
    body += "<div class=\"werbung\"><small>Werbung</small> <a href=\"http://" + l.ad.address + "/\">" + l.ad.title
        + "</a> – " + l.ad.address + "<br>" + l.ad.snippet + "</div>\n";
    body += "<p class=\"weiter\">Weitere Fundstellen:";
    for (int n = 1; n <= ResultPages::pageCount(Engine::Spuernase); ++n) {
        const std::string range = std::to_string((n - 1) * 10 + 1) + "–" + std::to_string(n * 10);
        body += n == l.number ? " <b>" + range + "</b>"
                              : " <a href=\"finden?wort=" + l.query + "&amp;ab=" + std::to_string((n - 1) * 10 + 1)
                + "\">" + range + "</a>";
    }
    body += "</p>\n<p><small>Spürnase schnüffelt nur auf dem Vantor!!-Demo-Server; jede Fundstelle ist "
            "erfunden.</small></p>\n";
    return document("Spürnase findet: " + l.shown, body);
}

// A page number from a parameter counting results (start=10, ab=11):
// 0 for anything no page of the engine begins with.
int pageFromFirst(const std::string &value, int fallback, int base, int perPage)
{
    int first = fallback;
    if (!value.empty()) {
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), first);
        if (error != std::errc() || end != value.data() + value.size())
            return 0;
    }
    if (first < base || (first - base) % perPage != 0)
        return 0;
    return (first - base) / perPage + 1;
}

void send(httplib::Response &response, const std::string &html)
{
    response.set_content(html, "text/html; charset=utf-8");
}

std::string outcomeText(Engine engine, int placement)
{
    if (placement == ResultPages::kOutside)
        return "Antwort nicht bekannt";
    if (placement == 0)
        return "Nicht unter Top "
            + std::to_string(ResultPages::resultsPerPage(engine) * ResultPages::pageCount(engine));
    return "Position " + std::to_string(placement);
}

} // namespace

int ResultPages::resultsPerPage(Engine engine)
{
    return engine == Engine::Findling ? 20 : 10;
}

int ResultPages::pageCount(Engine engine)
{
    return engine == Engine::Findling ? 2 : 3;
}

const char *ResultPages::name(Engine engine)
{
    switch (engine) {
    case Engine::Suchfix:
        return "Suchfix";
    case Engine::Findling:
        return "Findling";
    case Engine::Spuernase:
        return "Spürnase";
    }
    return "";
}

std::uint32_t ResultPages::hash(std::string_view text, std::uint32_t seed)
{
    // FNV-1a, so that the places are the same on every machine.
    std::uint32_t value = 2166136261u ^ seed;
    for (const char c : text) {
        value ^= static_cast<unsigned char>(c);
        value *= 16777619u;
    }
    return value;
}

int ResultPages::placement(Engine engine, std::string_view term)
{
    if (term.empty())
        return 0;
    for (const Fixed &fixed : kFixed) {
        if (term == fixed.term) {
            switch (engine) {
            case Engine::Suchfix:
                return fixed.suchfix;
            case Engine::Findling:
                return fixed.findling;
            case Engine::Spuernase:
                return fixed.spuernase;
            }
        }
    }
    // One term in three is not among the results; the rest spread over all
    // places, the last one included.
    const int total = resultsPerPage(engine) * pageCount(engine);
    const auto pick = static_cast<int>(hash(term, seedOf(engine)) % static_cast<std::uint32_t>(total + total / 2));
    return pick < total ? pick + 1 : 0;
}

std::string ResultPages::page(Engine engine, std::string_view term, int number)
{
    Listing listing;
    listing.shown = htmlEscape(term);
    listing.capital = htmlEscape(capitalWords(term));
    listing.query = queryValue(term);
    listing.number = number;
    const int perPage = resultsPerPage(engine);
    listing.first = (number - 1) * perPage + 1;
    const std::uint32_t termHash = hash(term, seedOf(engine));
    listing.total = 2000 + termHash % 180000;
    if (!term.empty() && number >= 1 && number <= pageCount(engine)) {
        const int placed = placement(engine, term);
        for (int position = listing.first; position < listing.first + perPage; ++position) {
            if (position == placed) {
                listing.entries.push_back(sampleEntry(term));
                continue;
            }
            const std::size_t site = (termHash + static_cast<std::size_t>(position) * kSiteStep) % kSites.size();
            listing.entries.push_back(
                siteEntry(kSites[site], listing.capital, term, hash(term, static_cast<std::uint32_t>(position))));
        }
        listing.ad = adEntry(listing.capital, termHash / 7 + static_cast<std::uint32_t>(number), placed == kOutside);
    }
    switch (engine) {
    case Engine::Suchfix:
        return suchfixPage(listing);
    case Engine::Findling:
        return findlingPage(listing);
    case Engine::Spuernase:
        return spuernasePage(listing);
    }
    return {};
}

std::string ResultPages::overview()
{
    constexpr Engine kEngines[] = { Engine::Suchfix, Engine::Findling, Engine::Spuernase };
    std::string body = "<h1>Suchmaschinen für die Positionsprüfung</h1>\n<ul>\n"
                       "<li><a href=\"/serp/suchfix/\">Suchfix</a> – 3 Seiten zu 10 Ergebnissen</li>\n"
                       "<li><a href=\"/serp/findling/\">Findling</a> – 2 Seiten zu 20 Ergebnissen</li>\n"
                       "<li><a href=\"/serp/spuernase/\">Spürnase</a> – 3 Seiten zu 10 Ergebnissen</li>\n"
                       "<li>Funkstille – 127.0.0.1:9, dort antwortet niemand</li>\n</ul>\n"
                       "<p>Wo <b>"
        + std::string(kSampleDomain)
        + "</b> bei den Begriffen des Beispielprojekts steht; andere Begriffe bekommen einen festen, aus dem "
          "Begriff berechneten Platz oder keinen.</p>\n<table>\n<tr><th>Begriff</th>";
    for (const Engine engine : kEngines)
        body += "<th>" + std::string(name(engine)) + "</th>";
    body += "</tr>\n";
    for (const Fixed &fixed : kFixed) {
        body += "<tr><td>" + htmlEscape(fixed.term) + "</td>";
        for (const Engine engine : kEngines)
            body += "<td>" + outcomeText(engine, placement(engine, fixed.term)) + "</td>";
        body += "</tr>\n";
    }
    return document("Suchmaschinen des Demo-Servers", body + "</table>\n");
}

std::string ResultPages::termOf(const httplib::Request &request, const char *parameter)
{
    return GermanText::queryTerm(request.get_param_value(parameter), kMaxQuery);
}

void ResultPages::addRoutes(httplib::Server &server)
{
    server.Get("/serp/", [](const httplib::Request &, httplib::Response &response) { send(response, overview()); });
    server.Get("/serp/suchfix/",
        [](const httplib::Request &, httplib::Response &response) { send(response, page(Engine::Suchfix, "", 1)); });
    server.Get("/serp/findling/",
        [](const httplib::Request &, httplib::Response &response) { send(response, page(Engine::Findling, "", 1)); });
    server.Get("/serp/spuernase/",
        [](const httplib::Request &, httplib::Response &response) { send(response, page(Engine::Spuernase, "", 1)); });
    server.Get("/serp/suchfix/suche", [](const httplib::Request &request, httplib::Response &response) {
        send(response,
            page(Engine::Suchfix, termOf(request, "q"),
                pageFromFirst(request.get_param_value("start"), 0, 0, resultsPerPage(Engine::Suchfix))));
    });
    server.Get("/serp/findling/ergebnisse", [](const httplib::Request &request, httplib::Response &response) {
        send(response,
            page(Engine::Findling, termOf(request, "was"), pageFromFirst(request.get_param_value("seite"), 1, 1, 1)));
    });
    server.Get("/serp/spuernase/finden", [](const httplib::Request &request, httplib::Response &response) {
        send(response,
            page(Engine::Spuernase, termOf(request, "wort"),
                pageFromFirst(request.get_param_value("ab"), 1, 1, resultsPerPage(Engine::Spuernase))));
    });
}

} // namespace vantor::demo
