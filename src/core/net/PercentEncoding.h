#pragma once

#include <string>
#include <string_view>

namespace vantor {

// One value of a URL query, so that a blank, '&', '#' or an umlaut in what the
// user typed can neither break the request nor add keys of its own. Letters,
// digits, "-._~" and "@:/" stay as they are; every other byte (the cp1252
// bytes of umlauts included) becomes %XX.
std::string percentEncode(std::string_view value);

// The same with a set of marks of the caller's choosing left as they are
// (besides letters and digits), for addresses that are no query values.
std::string percentEncodeKeeping(std::string_view bytes, std::string_view plainMarks);

// A search term as forms send it: letters, digits and "-._~" stay, a blank
// becomes '+', every other byte %XX.
std::string formEncode(std::string_view bytes);

} // namespace vantor
