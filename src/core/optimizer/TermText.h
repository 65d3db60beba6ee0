#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Conversions of search terms and short texts, all on cp1252 bytes. A term
// may carry a template number as "#<n>"; the forms that go into names and
// HTML drop it.

// For file and directory names and %SuchbegriffConverted%: cut at '#', no
// blanks, umlauts spelled out, accents dropped. Callers lower-case it.
std::string fileNameForm(std::string_view term);

// The name every file and directory the run makes from a term gets:
// fileNameForm in lower case, less whatever the file system would read as
// path syntax (separators, ':', NUL, control bytes) and less leading dots,
// so that no term can reach outside the homepage directory or make a hidden
// file. Empty when nothing usable is left.
std::string safeNameForm(std::string_view term);

// The address under which a browser reaches the file of this relative path
// (cp1252, '/' between directories), for every href and src we write. The
// name is written as it stands on the disk, in UTF-8, and every byte a URL
// would read otherwise is percent-encoded: '#' would start a fragment, '?'
// a query, '%' an escape, a blank or a quote would end the attribute.
std::string linkForm(std::string_view path);

// For terms written into HTML: German letters as named entities, cut at '#'.
std::string entityForm(std::string_view term);

// For downloaded pages: the few entities and two-byte UTF-8 letters that
// keyword services send back, decoded to cp1252 in place. Anything else
// (including other '&') stays as it is.
void decodeEntities(std::string &text);

std::string cutAtHash(std::string_view text);
std::string removeLineBreaks(std::string_view text); // every CR and LF
std::string removeSpaces(std::string_view text);     // blanks only, not tabs
std::string spacesToPlus(std::string_view text);
std::string plusToSpaces(std::string_view text);
std::string backslashToSlash(std::string_view text);
std::string colonToComma(std::string_view text); // ':' and '>' both become ','
std::string cutAtNewline(std::string_view text); // at the first LF; a CR before it stays
std::string escapeHash(std::string_view text);   // '#' -> "%23"
// Keeps blank, A-Z, a-z and Ä Ö Ü ß ä è é ê ö ü.
std::string lettersOnly(std::string_view text);

} // namespace vantor
