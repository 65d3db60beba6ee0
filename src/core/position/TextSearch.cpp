#include "position/TextSearch.h"

#include <cstring>

namespace vantor {

TextSearch::TextSearch(std::string_view pattern)
    : m_pattern(pattern)
{
    const std::size_t length = pattern.size();
    m_skip.fill(length + 1);
    for (std::size_t i = 0; i < length; ++i)
        m_skip[static_cast<unsigned char>(pattern[i])] = length - i;
}

std::size_t TextSearch::findIn(std::string_view text, std::size_t from) const
{
    const std::size_t n = text.size();
    const std::size_t m = m_pattern.size();
    std::size_t i = from == 0 ? 0 : from + 1; // 0-based index of the window
    if (m == 0)
        return i <= n ? i + 1 : n + 1;
    while (i + m <= n) {
        if (std::memcmp(text.data() + i, m_pattern.data(), m) == 0)
            return i + 1;
        if (i + m >= n)
            break;
        i += m_skip[static_cast<unsigned char>(text[i + m])];
    }
    return n + 1;
}

std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from)
{
    return TextSearch(pattern).findIn(text, from);
}

} // namespace vantor
