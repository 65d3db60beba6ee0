#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::demo {

// A German word list, one word a line in UTF-8 (Debian's wngerman), as the
// stock of a keyword service: what people search for is taken to be the
// real words and phrases that hold the term. The list is read at the first
// question, once, and kept as one block of lower-case words (a few
// megabytes); without the file every question finds nothing.
class WordList
{
public:
    explicit WordList(std::filesystem::path file);
    WordList(const WordList &) = delete;
    WordList &operator=(const WordList &) = delete;

    // Reads the list unless done; false when it could not be read (which is
    // said once on stderr). Safe from any thread.
    bool available();

    // Lower-case words and phrases that hold the whole term (lower case,
    // UTF-8, words separated by one blank), each shorter than three times
    // the term and made only of letters the program keeps; not the term
    // itself, no inflected form of a word that is there already, shorter
    // ones first within each group. A phrase is only completed when every
    // word of it is in the list. Those that begin with the term come first
    // (urlaubsreise before sommerurlaub); at most limit of them.
    std::vector<std::string> suggestions(std::string_view term, std::size_t limit);

private:
    // How a word is spelt in the list: capitalised (a noun), in lower case,
    // or both.
    enum Kind : std::uint8_t { kNoun = 1, kOther = 2 };
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    void load();
    std::size_t count() const { return m_starts.size(); }
    std::string_view word(std::size_t index) const;
    std::size_t find(std::string_view word) const;
    bool has(std::string_view word, std::uint8_t kind) const;
    // True for a form of a shorter word of the list (urlaubsreisen beside
    // urlaubsreise, beurlaubt beside beurlauben); a service lists the word
    // and not every form of it.
    bool inflected(std::size_t index) const;
    // The indices of all words holding the text.
    std::vector<std::size_t> containing(std::string_view text) const;

    std::filesystem::path m_file;
    std::once_flag m_loaded;
    bool m_available = false;
    // The words sorted, each followed by '\n', so that one search of the
    // block finds every word that holds a text.
    std::string m_text;
    std::vector<std::uint32_t> m_starts;
    std::vector<std::uint8_t> m_kinds;
};

} // namespace vantor::demo
