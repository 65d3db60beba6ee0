#pragma once

#include <httplib.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor::demo {

// Result pages of three made-up search engines for the position check, so
// that it can be tried without the internet and shows the sample site at
// places we know. position_d.txt describes them with their markers; each
// marks up its results differently, the way engines out there did:
//
//   /serp/suchfix/suche?q=TERM&start=0|10|20       10 results a page, entries
//                                                  close with "</li>", an ad
//                                                  on top of the list
//   /serp/findling/ergebnisse?was=TERM&seite=1|2   20 a page, entries close
//                                                  with "</div> " (a blank!),
//                                                  ads above the list and an
//                                                  image box that does not count
//   /serp/spuernase/finden?wort=TERM&ab=1|11|21    10 a page, no end marker (the
//                                                  program reads to the end), an
//                                                  ad in the middle of the list
//   /serp/                                         the engines and the table
//
// The term comes percent-encoded as cp1252 (as the program sends it) or
// UTF-8, a blank as '+'; the pages are UTF-8. For the sample project's terms
// the sample site stands where placement() says; any other term gets a
// place, or none, from a hash of it, the same on every run.
class ResultPages
{
public:
    enum class Engine { Suchfix, Findling, Spuernase };

    // The sample site as the result entries show it; whatever the user types
    // for the domain is looked for as a part of the page's text, so
    // "gaertnerei-sonnenblume.example" is found as well.
    static constexpr const char *kSampleDomain = "www.gaertnerei-sonnenblume.example";
    // Placement of a term whose pages all show the sample site, but only in
    // an ad, never in a result entry.
    static constexpr int kOutside = -1;
    // The program sends at most 30 characters; anything much longer is no
    // term of it.
    static constexpr std::size_t kMaxQuery = 200;

    static int resultsPerPage(Engine engine);
    static int pageCount(Engine engine);
    static const char *name(Engine engine);

    // Where the sample site stands for a term (UTF-8, lower case, single
    // blanks): its position over all pages from 1, 0 when it is on none of
    // them, or kOutside.
    static int placement(Engine engine, std::string_view term);
    // Page number (from 1) of an engine for a term, as it sends it. A number
    // beyond the engine's pages gives a page without results.
    static std::string page(Engine engine, std::string_view term, int number);
    // The overview under /serp/.
    static std::string overview();

    static void addRoutes(httplib::Server &server);

    // The term a request carries in that parameter: decoded, as UTF-8, in
    // lower case, blanks tidied. Empty when there is none or it is too long.
    static std::string termOf(const httplib::Request &request, const char *parameter);

private:
    static std::uint32_t hash(std::string_view text, std::uint32_t seed);
};

} // namespace vantor::demo
