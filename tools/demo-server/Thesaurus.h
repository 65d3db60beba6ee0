#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::demo {

// OpenThesaurus in the MyThes form Debian ships (mythes-de): PREFIX.idx
// names the encoding on its first line and then maps every headword, in
// lower case, to the offset of its entry in PREFIX.dat ("word|offset"); an
// entry is "word|count" and count lines "(class)|synonym|synonym…", one per
// meaning. Only the index is kept in memory, read at the first question;
// the 28 MB of entries stay on the disk and are read per lookup.
class Thesaurus
{
public:
    struct Meaning {
        // UTF-8 as the thesaurus spells them, without its notes such as
        // "(ugs.)"; the word looked up may be among them.
        std::vector<std::string> synonyms;
        // The more general terms it marks "(Oberbegriff)".
        std::vector<std::string> broader;
    };

    // Far more than any headword has; a damaged entry cannot make us read on.
    static constexpr std::size_t kMaxMeanings = 200;

    explicit Thesaurus(std::filesystem::path prefix);
    Thesaurus(const Thesaurus &) = delete;
    Thesaurus &operator=(const Thesaurus &) = delete;

    // Reads the index unless done; false when it could not be read (which
    // is said once on stderr). Safe from any thread.
    bool available();

    // The meanings of a word or phrase (UTF-8), whatever its case; empty
    // when the thesaurus does not know it.
    std::vector<Meaning> lookup(std::string_view word);

    // The headwords (lower case) that hold the text without being it,
    // shortest first, at most limit of them.
    std::vector<std::string> headwordsContaining(std::string_view text, std::size_t limit);

    // "Typ (ugs.) (Oberbegriff)" → "Typ", "(sich) erholen" → "erholen".
    static std::string withoutNotes(std::string_view text);

private:
    struct Headword {
        std::uint32_t at; // in m_words
        std::uint32_t length;
        std::uint64_t offset; // in the .dat
    };

    void load();
    std::string_view headword(const Headword &entry) const
    {
        return std::string_view(m_words).substr(entry.at, entry.length);
    }

    std::filesystem::path m_prefix;
    std::once_flag m_loaded;
    bool m_available = false;
    std::string m_words;
    // Sorted by headword.
    std::vector<Headword> m_index;
};

} // namespace vantor::demo
