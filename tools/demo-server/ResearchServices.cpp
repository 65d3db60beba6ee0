#include "ResearchServices.h"

#include "GermanText.h"
#include "HtmlText.h"

#include "net/PercentEncoding.h"
#include "platform/Text.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

namespace vantor::demo {

namespace {

// Suggestions of the first keyword service; more would crowd the program's
// list. The second one, in rows, goes on where the first stops: the program
// reads both at once, a line of each in turn, so that its list shows their
// words in one order, those beginning with the term first.
constexpr std::size_t kMaxKeywords = 30;
constexpr std::size_t kMaxRelated = 60;
// Suggestions per row of the second keyword service, and the bytes a row
// may take: the program reads a page in pieces of about a kilobyte, and a
// marker cut in two by such a piece would be lost.
constexpr std::size_t kPerRow = 5;
constexpr std::size_t kMaxRowBytes = 900;
// Words of a thesaurus entry's family that page 3 shows, and how many of
// their index entries it looks at to find them.
constexpr std::size_t kMaxFamily = 20;
constexpr std::size_t kFamilyCandidates = 60;

const char *const kWordListSource
    = "<p class=\"quelle\">Die Wörter stammen aus der deutschen Wortliste igerman98 von Björn Jacke "
      "(<a href=\"https://www.j3e.de/ispell/igerman98/\">www.j3e.de/ispell/igerman98</a>, GNU GPL).</p>\n";
// The thesaurus is free under the LGPL as long as it names itself; so
// every page of it does, below the results, where the markers never look.
const char *const kThesaurusSource
    = "<p class=\"quelle\"><a href=\"https://www.openthesaurus.de\">Synonyme aus OpenThesaurus "
      "(www.openthesaurus.de), Lizenz LGPL</a> – © Daniel Naber und die Mitwirkenden von OpenThesaurus, "
      "GNU Lesser General Public License.</p>\n";

// The terms of one list on a page: each once whatever its case, only what
// the program takes over whole, never the word asked for.
class Gathered
{
public:
    Gathered(const std::string &term, std::size_t limit)
        : m_term(term)
        , m_limit(limit)
    {
    }

    // Terms shown elsewhere on the page, not to be repeated.
    void exclude(const std::vector<std::string> &terms)
    {
        for (const std::string &term : terms)
            m_seen.insert(GermanText::lower(term));
    }

    void add(const std::string &text)
    {
        if (full() || !GermanText::keptWhole(text))
            return;
        std::string key = GermanText::lower(text);
        if (key != m_term && m_seen.insert(std::move(key)).second)
            m_terms.push_back(text);
    }

    bool full() const { return m_terms.size() >= m_limit; }
    std::vector<std::string> take() { return std::move(m_terms); }

private:
    std::string m_term;
    std::size_t m_limit;
    std::set<std::string> m_seen;
    std::vector<std::string> m_terms;
};

// For the links from one result to the next question.
std::string queryValue(const std::string &term)
{
    return formEncode(term);
}

std::string quoted(const std::string &term)
{
    return "„" + htmlEscape(term) + "“";
}

std::string page(const std::string &title, const std::string &body)
{
    return "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title
        + "</title>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

std::string searchForm(const std::string &action, const std::string &term, const std::string &button)
{
    return "<form action=\"" + action + "\" method=\"get\"><input type=\"text\" name=\"q\" value=\"" + htmlEscape(term)
        + "\"> <input type=\"submit\" value=\"" + button + "\"></form>\n";
}

void send(httplib::Response &response, const std::string &html)
{
    response.set_content(html, "text/html; charset=utf-8");
}

} // namespace

ResearchServices::ResearchServices(const Settings &settings)
    : m_words(settings.wordList)
    , m_thesaurus(settings.thesaurus)
{
}

std::string ResearchServices::termOf(const httplib::Request &request)
{
    return GermanText::queryTerm(request.get_param_value("q"), kMaxQuery);
}

void ResearchServices::addRoutes(httplib::Server &server)
{
    server.Get("/research/keywords", [this](const httplib::Request &request, httplib::Response &response) {
        send(response, keywordPage(termOf(request)));
    });
    server.Get("/research/keywords2", [this](const httplib::Request &request, httplib::Response &response) {
        send(response, relatedSearchesPage(termOf(request)));
    });
    server.Get("/research/thesaurus", [this](const httplib::Request &request, httplib::Response &response) {
        send(response, thesaurusPage(termOf(request)));
    });
    server.Get(R"(/research/thesaurus2/([123]))", [this](const httplib::Request &request, httplib::Response &response) {
        send(response, wordNetPage(std::stoi(request.matches[1]), termOf(request)));
    });
}

std::string ResearchServices::keywordPage(const std::string &term)
{
    const std::vector<std::string> found = m_words.suggestions(term, kMaxKeywords);
    std::string body
        = "<h1>Wortfinder – Suchbegriffe rund um Ihr Wort</h1>\n" + searchForm("/research/keywords", term, "Finden");
    if (found.empty()) {
        body += "<p class=\"keine-treffer\">Keine Suchbegriffe gefunden für " + quoted(term) + ".</p>\n";
    } else {
        body += "<p>" + std::to_string(found.size()) + " Suchbegriffe mit " + quoted(term) + ":</p>\n";
        body += "<ol class=\"vorschlaege\">\n";
        for (const std::string &suggestion : found)
            body += "<li class=\"vorschlag\">" + htmlEscape(suggestion) + "</li>\n";
        body += "</ol>\n";
    }
    return page("Wortfinder: " + htmlEscape(term), body + kWordListSource);
}

std::string ResearchServices::relatedSearchesPage(const std::string &term)
{
    const std::vector<std::string> found = m_words.suggestions(term, kMaxRelated);
    std::string body = "<h1>Suchwolke</h1>\n" + searchForm("/research/keywords2", term, "Los");
    if (found.empty()) {
        body += "<p>Leider keine verwandten Suchanfragen zu " + quoted(term) + ".</p>\n";
    } else {
        body += "<div class=\"suchvorschlaege\">\n<h2>Andere suchten auch</h2>\n";
        std::string row;
        std::size_t inRow = 0;
        for (const std::string &suggestion : found) {
            const std::string cell = "<span class=\"s\"><a href=\"/research/keywords2?q=" + queryValue(suggestion)
                + "\">" + htmlEscape(suggestion) + "</a></span>";
            if (inRow == kPerRow || (inRow > 0 && row.size() + cell.size() > kMaxRowBytes)) {
                body += "<p class=\"reihe\">" + row + "</p>\n";
                row.clear();
                inRow = 0;
            }
            row += cell;
            ++inRow;
        }
        body += "<p class=\"reihe\">" + row + "</p>\n</div>\n";
    }
    return page("Suchwolke: " + htmlEscape(term), body + kWordListSource);
}

std::string ResearchServices::thesaurusPage(const std::string &term)
{
    const std::vector<std::string> asked = askedWords(term);
    const std::vector<Thesaurus::Meaning> meanings = meaningsOf(asked);
    // Synonyms per meaning, then the broader terms of all of them.
    std::string list;
    std::vector<std::string> shown;
    std::size_t number = 0;
    for (const Thesaurus::Meaning &meaning : meanings) {
        Gathered synonyms(term, kMaxTerms - shown.size());
        synonyms.exclude(asked);
        synonyms.exclude(shown);
        for (const std::string &synonym : meaning.synonyms)
            synonyms.add(synonym);
        const std::vector<std::string> taken = synonyms.take();
        if (taken.empty())
            continue;
        list += "<li class=\"bedeutung\">Bedeutung " + std::to_string(++number) + ":</li>\n";
        for (const std::string &synonym : taken)
            list += "<li class=\"syn\">" + htmlEscape(synonym) + "</li>\n";
        shown.insert(shown.end(), taken.begin(), taken.end());
    }
    Gathered broader(term, kMaxTerms - shown.size());
    broader.exclude(asked);
    broader.exclude(shown);
    for (const Thesaurus::Meaning &meaning : meanings)
        for (const std::string &general : meaning.broader)
            broader.add(general);
    const std::vector<std::string> general = broader.take();
    if (!general.empty()) {
        list += "<li class=\"bedeutung\">Oberbegriffe:</li>\n";
        for (const std::string &word : general)
            list += "<li class=\"syn\">" + htmlEscape(word) + "</li>\n";
    }

    std::string body = "<h1>Thesaurus</h1>\n" + searchForm("/research/thesaurus", term, "Synonyme suchen");
    if (list.empty())
        body += "<p class=\"hinweis\">Kein Eintrag im Thesaurus für " + quoted(term) + ".</p>\n";
    else
        body += "<h2>Synonyme für " + quoted(term) + "</h2>\n<ul class=\"synonyme\">\n" + list + "</ul>\n";
    return page("Thesaurus: " + htmlEscape(term), body + kThesaurusSource);
}

std::vector<std::string> ResearchServices::askedWords(const std::string &term)
{
    if (term.empty())
        return {};
    const std::size_t blank = term.find(' ');
    if (blank == std::string::npos || !m_thesaurus.lookup(term).empty())
        return { term };
    // A phrase the thesaurus does not know is looked up word by word, as a
    // person would in a book; "ferienhaus nordsee" gets both words' synonyms.
    std::vector<std::string> words;
    for (std::size_t at = 0; at <= term.size();) {
        const std::size_t end = std::min(term.find(' ', at), term.size());
        std::string word = term.substr(at, end - at);
        if (GermanText::length(word) >= 3 && std::find(words.begin(), words.end(), word) == words.end())
            words.push_back(std::move(word));
        at = end + 1;
    }
    return words;
}

std::vector<Thesaurus::Meaning> ResearchServices::meaningsOf(const std::vector<std::string> &words)
{
    std::vector<Thesaurus::Meaning> meanings;
    for (const std::string &word : words) {
        std::vector<Thesaurus::Meaning> own = m_thesaurus.lookup(word);
        meanings.insert(meanings.end(), std::make_move_iterator(own.begin()), std::make_move_iterator(own.end()));
    }
    return meanings;
}

ResearchServices::WordNet ResearchServices::wordNet(const std::string &term, int number)
{
    WordNet net;
    const std::vector<std::string> asked = askedWords(term);
    const std::vector<Thesaurus::Meaning> meanings = meaningsOf(asked);
    if (meanings.empty())
        return net;
    Gathered synonyms(term, kMaxTerms);
    synonyms.exclude(asked);
    for (const Thesaurus::Meaning &meaning : meanings)
        for (const std::string &synonym : meaning.synonyms)
            synonyms.add(synonym);
    net.synonyms = synonyms.take();

    if (number == 2) {
        // Of a synonym's meanings only those that share another word with
        // the term's, or Wagen would bring in wagen (to dare) for Auto.
        std::set<std::string> near(asked.begin(), asked.end());
        for (const std::string &synonym : net.synonyms)
            near.insert(GermanText::lower(synonym));
        Gathered related(term, kMaxTerms);
        related.exclude(asked);
        related.exclude(net.synonyms);
        for (const std::string &synonym : net.synonyms) {
            const std::string own = GermanText::lower(synonym);
            for (const Thesaurus::Meaning &meaning : m_thesaurus.lookup(synonym)) {
                const bool shares
                    = std::any_of(meaning.synonyms.begin(), meaning.synonyms.end(), [&](const auto &word) {
                          const std::string key = GermanText::lower(word);
                          return key != own && near.count(key);
                      });
                if (shares)
                    for (const std::string &word : meaning.synonyms)
                        related.add(word);
            }
            if (related.full())
                break;
        }
        net.related = related.take();
        Gathered broader(term, kMaxTerms - net.related.size());
        broader.exclude(asked);
        broader.exclude(net.synonyms);
        broader.exclude(net.related);
        for (const Thesaurus::Meaning &meaning : meanings)
            for (const std::string &general : meaning.broader)
                broader.add(general);
        net.broader = broader.take();
    } else if (number == 3) {
        // The headwords that hold the term, spelt as their own entry spells
        // them (Urlaubsgast, not urlaubsgast), and what those mean.
        Gathered family(term, kMaxFamily);
        family.exclude(asked);
        std::vector<std::string> theirSynonyms;
        std::vector<std::string> headwords;
        for (const std::string &word : asked) {
            const std::vector<std::string> holding
                = m_thesaurus.headwordsContaining(word, kFamilyCandidates / asked.size());
            headwords.insert(headwords.end(), holding.begin(), holding.end());
        }
        for (const std::string &headword : headwords) {
            if (family.full())
                break;
            const std::vector<Thesaurus::Meaning> entry = m_thesaurus.lookup(headword);
            std::string spelt = headword;
            for (const Thesaurus::Meaning &meaning : entry) {
                for (const std::string &synonym : meaning.synonyms) {
                    if (GermanText::lower(synonym) == headword)
                        spelt = synonym;
                    else
                        theirSynonyms.push_back(synonym);
                }
            }
            family.add(spelt);
        }
        net.family = family.take();
        Gathered others(term, kMaxTerms - net.family.size());
        others.exclude(asked);
        others.exclude(net.family);
        for (const std::string &synonym : theirSynonyms)
            others.add(synonym);
        net.familySynonyms = others.take();
    }
    return net;
}

std::string ResearchServices::wordNetPage(int number, const std::string &term)
{
    static const char *const kPages[] = { "Synonyme", "Verwandte Begriffe", "Wortfamilie" };
    const WordNet net = wordNet(term, number);
    std::vector<std::pair<const std::vector<std::string> *, const char *>> lists;
    if (number == 1)
        lists = { { &net.synonyms, "Synonym" } };
    else if (number == 2)
        lists = { { &net.related, "verwandt" }, { &net.broader, "Oberbegriff" } };
    else
        lists = { { &net.family, "Wortfamilie" }, { &net.familySynonyms, "verwandt" } };

    std::string rows;
    for (const auto &[words, kind] : lists)
        for (const std::string &word : *words)
            rows += "<tr><td class=\"wort\">" + htmlEscape(word) + "</td><td class=\"art\">" + kind + "</td></tr>\n";

    std::string body = "<h1>Wortnetz: " + quoted(term) + "</h1>\n<p class=\"seiten\">";
    for (int other = 1; other <= 3; ++other) {
        const std::string name = "Seite " + std::to_string(other) + ": " + kPages[other - 1];
        body += other > 1 ? " | " : "";
        body += other == number ? "<b>" + name + "</b>"
                                : "<a href=\"/research/thesaurus2/" + std::to_string(other) + "?q=" + queryValue(term)
                + "\">" + name + "</a>";
    }
    body += "</p>\n";
    if (rows.empty())
        body += "<p class=\"hinweis\">Nichts gefunden zu " + quoted(term) + " auf dieser Seite.</p>\n";
    else
        body += "<table class=\"woerter\">\n<tr><th>Wort</th><th>Art</th></tr>\n" + rows + "</table>\n";
    return page("Wortnetz: " + htmlEscape(term) + " – " + kPages[number - 1], body + kThesaurusSource);
}

} // namespace vantor::demo
