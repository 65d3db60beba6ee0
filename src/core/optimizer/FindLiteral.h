#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vantor {

// The one forward search of the text operations. The anchors we look for
// mostly start with '<' or a blank, the commonest bytes of any page, and
// std::string::find stops at every one of them; glibc's memmem skips ahead
// instead. memmem pays for that with a table it builds on every call, which
// costs more than the whole search when the match is near or the first byte
// is rare, as with the dense term markers of a template. So a few first-byte
// candidates are tried directly, and only a first byte that keeps turning up
// without a match hands the rest to memmem.
//
// Kept inline so the fuzzer, which compiles the operations on their own,
// needs no source of its own for it.
//
// Returns the first position at or after from where needle starts, npos when
// there is none. An empty needle is never found.
inline std::size_t findLiteral(std::string_view haystack, std::string_view needle, std::size_t from = 0)
{
    constexpr int kDirectTries = 8;
    const std::size_t n = needle.size();
    if (n == 0 || from >= haystack.size() || n > haystack.size() - from)
        return std::string::npos;
    const char *const begin = haystack.data();
    const char *const last = begin + (haystack.size() - n); // the last place a match can start
    const char *pos = begin + from;
    if (n == 1) {
        const void *hit = std::memchr(pos, needle.front(), haystack.size() - from);
        return hit == nullptr ? std::string::npos : static_cast<std::size_t>(static_cast<const char *>(hit) - begin);
    }
    for (int tries = 0; tries < kDirectTries; ++tries) {
        const void *first = std::memchr(pos, needle.front(), static_cast<std::size_t>(last - pos) + 1);
        if (first == nullptr)
            return std::string::npos;
        pos = static_cast<const char *>(first);
        if (std::memcmp(pos + 1, needle.data() + 1, n - 1) == 0)
            return static_cast<std::size_t>(pos - begin);
        if (pos == last)
            return std::string::npos;
        ++pos;
    }
    const void *hit = ::memmem(pos, static_cast<std::size_t>(last - pos) + n, needle.data(), n);
    if (hit == nullptr)
        return std::string::npos;
    return static_cast<std::size_t>(static_cast<const char *>(hit) - begin);
}

// A single byte is the same search, and memchr's alone.
inline std::size_t findLiteral(std::string_view haystack, char needle, std::size_t from = 0)
{
    return findLiteral(haystack, std::string_view(&needle, 1), from);
}

inline bool containsLiteral(std::string_view haystack, std::string_view needle)
{
    return findLiteral(haystack, needle) != std::string::npos;
}

// Whether a page has frames: "<frame" also finds "<frameset", and only the
// two spellings of old page editors count.
inline bool hasFrameTag(std::string_view page)
{
    return containsLiteral(page, "<frame") || containsLiteral(page, "<FRAME");
}

} // namespace vantor
