#pragma once

#include <string>
#include <vector>

namespace vantor {

// How a service's answer page is cut into terms: plain substrings, compared
// case-sensitively.
struct ResultMarkers {
    std::string resultsStart; // the line that opens the result area
    std::string resultsEnd;   // the line that closes it (still evaluated)
    std::string resultStart;  // right before a term
    std::string resultEnd;    // right after the last term of a run
    std::string delimiter;    // between two terms of a run; may be empty
    std::string abort;        // the service's own "nothing found": stop at once
};

// One research service as the maker's research file describes it.
struct ResearchSourceDef {
    std::string section;
    std::string keyword; // the placeholder in the URL templates
    bool convert = false;
    // The term goes out as UTF-8 and the answers are read as UTF-8; else
    // both are cp1252, the services' old way.
    bool utf8 = false;
    // http1, http2, http3 as far as the source has them; an empty one is a
    // page that does not exist.
    std::vector<std::string> templates;
    ResultMarkers markers;
};

// Reading the research file. Every lookup that fails is a read error of the
// whole file for the caller.
namespace researchsource {

// Each request URL has to fit in this once the term is in.
constexpr std::size_t kMaxUrl = 511;

// The flags test for a character anywhere in the value, so "10" is both.
bool holds(const std::string &value, char c);

// One value of the file; false when its line is missing.
bool readValue(const std::string &text, const std::string &section, const std::string &key, std::string &value);

// keyword, convert, the URL templates (http1 up to http<pages>) and the six
// markers; charset is optional. False on a failed lookup.
bool read(const std::string &text, const std::string &section, int pages, ResearchSourceDef &def);

// The term as it goes into the URL: transliterated when the source says
// so, then percent-encoded in the source's encoding. Letters, digits,
// "-._~" and the '+' that joins the words of a phrase stay as they are.
std::string urlTerm(const ResearchSourceDef &def, const std::string &term);

// The template with its placeholder replaced by urlTerm; without the
// placeholder the template as it is.
std::string requestUrl(const ResearchSourceDef &def, const std::string &urlTemplate, const std::string &term);

} // namespace researchsource
} // namespace vantor
