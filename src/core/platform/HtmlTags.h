#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor::html {

// A start tag as a browser reads it. The sitemap and the optimiser both
// look for elements by what they mean (a canonical link however it is
// spelt), so they share the one reading.
struct StartTag {
    std::size_t begin = 0; // the '<'
    std::size_t nameEnd = 0;
    std::size_t end = 0; // after the '>'
    std::vector<std::pair<std::string, std::string_view>> attributes; // names in lower case

    std::optional<std::string_view> attribute(std::string_view name) const;
};

// The blanks of HTML.
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
inline bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string lowerAsciiText(std::string_view text);
std::string_view trimmed(std::string_view text);
std::size_t findIgnoringCase(std::string_view text, std::string_view what, std::size_t from);

// The attributes of the tag whose name ends at i, into tag: quoted with " or
// ', or bare up to a blank or '>'; the first of two equal names counts. The
// position after the '>', npos when the tag never closes (an open quote
// then takes the rest of the page as its value).
std::size_t readAttributes(std::string_view page, std::size_t i, StartTag &tag);

// True when one of the words of a list (split at blanks and commas) is the
// word, in any case: rel="canonical", content="noindex, nofollow".
bool hasWord(std::string_view list, std::string_view word);

} // namespace vantor::html
