#pragma once

#include "Thesaurus.h"
#include "WordList.h"

#include <httplib.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vantor::demo {

// The services the keyword research asks, answering with real German words
// instead of made-up ones, so that the research can be tried without the
// internet and shows what it would show out there. research_d.txt names
// them and the markers that cut their pages into terms.
//
//   /research/keywords?q=TERM       suggestions that begin with the term first
//   /research/keywords2?q=TERM      the same in rows, and more of them
//   /research/thesaurus?q=TERM      synonyms and broader terms
//   /research/thesaurus2/N?q=TERM   N=1 synonyms, 2 related terms, 3 the
//                                   word's family; fetched on one connection
//
// The term comes percent-encoded, as UTF-8 or, from an older client, as
// cp1252; the pages are UTF-8. A term with nothing to show gets a page
// carrying the service's "nothing found" text, and so does every question
// while the word list or the thesaurus is not installed.
class ResearchServices
{
public:
    struct Settings {
        // Debian's wngerman.
        std::filesystem::path wordList = "/usr/share/dict/ngerman";
        // Debian's mythes-de, without ".idx" and ".dat".
        std::filesystem::path thesaurus = "/usr/share/mythes/th_de_DE_v2";
    };

    // Terms on one thesaurus page at most; the program shows them all in
    // one list.
    static constexpr std::size_t kMaxTerms = 40;
    // The program sends at most 30 characters; anything much longer is no
    // term of it.
    static constexpr std::size_t kMaxQuery = 200;

    explicit ResearchServices(const Settings &settings);
    ResearchServices(const ResearchServices &) = delete;
    ResearchServices &operator=(const ResearchServices &) = delete;

    void addRoutes(httplib::Server &server);

    // The term a request asks for: decoded, a '+' taken for the blank it
    // stands for, runs of blanks as one, in lower case. Empty when there is
    // none or it is too long.
    static std::string termOf(const httplib::Request &request);

private:
    // What the second thesaurus shows on its three pages.
    struct WordNet {
        std::vector<std::string> synonyms;
        std::vector<std::string> related; // synonyms of the synonyms
        std::vector<std::string> broader;
        std::vector<std::string> family; // headwords holding the term
        std::vector<std::string> familySynonyms;
    };

    std::string keywordPage(const std::string &term);
    std::string relatedSearchesPage(const std::string &term);
    std::string thesaurusPage(const std::string &term);
    std::string wordNetPage(int number, const std::string &term);
    // What the thesaurus pages look up for a term: the term, or the words
    // of a phrase it has no entry for. Empty for no term.
    std::vector<std::string> askedWords(const std::string &term);
    std::vector<Thesaurus::Meaning> meaningsOf(const std::vector<std::string> &words);
    // Only what the page of that number shows is looked up.
    WordNet wordNet(const std::string &term, int number);

    WordList m_words;
    Thesaurus m_thesaurus;
};

} // namespace vantor::demo
