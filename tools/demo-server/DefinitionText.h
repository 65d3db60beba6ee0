#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor::demo {

// The engine definitions of the demo server lie in the repository as plain
// UTF-8 text that people read and edit; the program reads them only as data
// files. This turns the one into the text of the other and refuses what the
// program would silently misread, so that a typo breaks the build instead of
// an engine.
class DefinitionText
{
public:
    struct Problem {
        std::size_t line = 0; // 1-based line of the readable text
        std::string what;     // UTF-8, for the developer's terminal
    };

    // Lines starting with '#' and blank lines go; every other line has to be
    // "<SECTION>.<KEY>=<value>" and ends with CR LF; UTF-8 becomes cp1252.
    // Refused: a character cp1252 has no byte for, a line the lookup could
    // not read whole, and an entry the lookup would never reach because an
    // earlier line already holds its "<SECTION>.<KEY>=" (a repeated key, or
    // "A.KEY=" after "XA.KEY=").
    static bool toDataText(std::string_view utf8, std::string &text, Problem &problem);
};

} // namespace vantor::demo
