#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantor {

// Sunday's quick search, as the result pages are scanned with it. Positions
// are 1-based. There is no end bound: the caller appends every pattern it
// will look for to the text, so a search always ends, and a position past
// the text's own length means the pattern is not in it.
class TextSearch
{
public:
    // Below this length the table's shifts are too short to pay; such
    // patterns are looked for by their first character.
    static constexpr std::size_t kShortPattern = 24;

    explicit TextSearch(std::string_view pattern);

    // The first match that begins at from + 2 or later (at 1 or later for
    // from 0). Without the appended pattern, text.size() + 1 when none.
    std::size_t findIn(std::string_view text, std::size_t from) const;

private:
    std::string_view m_pattern;
    std::array<std::uint32_t, 256> m_skip {};
};

// The same in one call.
std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from);

} // namespace vantor
