#include "position/TextSearch.h"

#include <cstring>

namespace vantor {

TextSearch::TextSearch(std::string_view pattern)
    : m_pattern(pattern)
{
    const std::size_t length = pattern.size();
    // Patterns are markers and domains, far below 4 GB.
    m_skip.fill(static_cast<std::uint32_t>(length + 1));
    for (std::size_t i = 0; i < length; ++i)
        m_skip[static_cast<unsigned char>(pattern[i])] = static_cast<std::uint32_t>(length - i);
}

std::size_t TextSearch::findIn(std::string_view text, std::size_t from) const
{
    const std::size_t n = text.size();
    const std::size_t m = m_pattern.size();
    std::size_t i = from == 0 ? 0 : from + 1; // 0-based index of the window
    if (m == 0)
        return i <= n ? i + 1 : n + 1;
    const char *const data = text.data();
    const char *const pattern = m_pattern.data();
    const char first = pattern[0];
    const char last = pattern[m - 1];
    if (m < kShortPattern) {
        // A short marker ("</li>", "<dt>") lets the table shift by a few
        // bytes at most, and markup is full of its characters; the
        // library's memchr finds the candidates many bytes at a time.
        while (i + m <= n) {
            const void *at = std::memchr(data + i, first, n - (i + m - 1));
            if (at == nullptr)
                break;
            i = static_cast<std::size_t>(static_cast<const char *>(at) - data);
            if (std::memcmp(data + i + 1, pattern + 1, m - 1) == 0)
                return i + 1;
            ++i;
        }
        return n + 1;
    }
    while (i + m <= n) {
        // The window's ends first: most windows fail there, and the whole
        // comparison is only made for the few that do not.
        if (data[i + m - 1] == last && data[i] == first && std::memcmp(data + i + 1, pattern + 1, m - 1) == 0)
            return i + 1;
        if (i + m >= n)
            break;
        i += m_skip[static_cast<unsigned char>(data[i + m])];
    }
    return n + 1;
}

std::size_t findText(std::string_view text, std::string_view pattern, std::size_t from)
{
    return TextSearch(pattern).findIn(text, from);
}

} // namespace vantor
