#include "WordList.h"

#include "GermanText.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <tuple>
#include <utility>

namespace vantor::demo {

namespace {

// The endings that make the forms of a word; a word of the list that is a
// shorter word of the same kind plus one of these is taken for a form of it.
// "er" is no ending of nouns here: Urlauber is a word of its own.
constexpr std::array<std::string_view, 11> kNounEndings
    = { "e", "n", "en", "s", "es", "ns", "ens", "nen", "se", "ses", "ern" };
constexpr std::array<std::string_view, 21> kOtherEndings = { "e", "em", "en", "er", "es", "n", "s", "st", "t", "et",
    "te", "tem", "ten", "ter", "tes", "ste", "stem", "sten", "ster", "stes", "nd" };
// Forms of a verb, made from the stem of its infinitive (beurlaub-en).
constexpr std::array<std::string_view, 17> kVerbEndings = { "e", "st", "t", "et", "te", "test", "ten", "tet", "tem",
    "ter", "tes", "end", "ende", "endem", "enden", "ender", "endes" };

bool capitalised(std::string_view word)
{
    char32_t cp = 0;
    GermanText::next(word, 0, cp);
    return (cp >= 'A' && cp <= 'Z') || cp == U'Ä' || cp == U'Ö' || cp == U'Ü';
}

} // namespace

WordList::WordList(std::filesystem::path file)
    : m_file(std::move(file))
{
}

bool WordList::available()
{
    std::call_once(m_loaded, [this] { load(); });
    return m_available;
}

void WordList::load()
{
    std::ifstream in(m_file, std::ios::binary);
    std::vector<std::pair<std::string, std::uint8_t>> words;
    std::string line;
    while (in && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // One word a line; what the program would not take whole is no
        // suggestion.
        if (line.find(' ') != std::string::npos || !GermanText::validUtf8(line) || !GermanText::keptWhole(line))
            continue;
        words.emplace_back(GermanText::lower(line), capitalised(line) ? kNoun : kOther);
    }
    if (words.empty()) {
        std::cerr << "vantor-demo-server: Wortliste " << m_file.string()
                  << " fehlt oder ist leer (Paket wngerman), die Suchbegriff-Dienste finden nichts / word list missing"
                  << std::endl;
        return;
    }
    std::sort(words.begin(), words.end());
    m_text.reserve(words.size() * 12);
    for (const auto &[text, kind] : words) {
        if (!m_starts.empty() && word(count() - 1) == text) {
            m_kinds.back() |= kind;
            continue;
        }
        m_starts.push_back(static_cast<std::uint32_t>(m_text.size()));
        m_kinds.push_back(kind);
        m_text += text;
        m_text += '\n';
    }
    m_text.shrink_to_fit();
    m_available = true;
}

std::string_view WordList::word(std::size_t index) const
{
    const std::size_t end = index + 1 < count() ? m_starts[index + 1] : m_text.size();
    return std::string_view(m_text).substr(m_starts[index], end - m_starts[index] - 1);
}

std::size_t WordList::find(std::string_view wanted) const
{
    std::size_t low = 0;
    std::size_t high = count();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (word(middle) < wanted)
            low = middle + 1;
        else
            high = middle;
    }
    return low < count() && word(low) == wanted ? low : kNotFound;
}

bool WordList::has(std::string_view wanted, std::uint8_t kind) const
{
    const std::size_t index = find(wanted);
    return index != kNotFound && (m_kinds[index] & kind) != 0;
}

bool WordList::inflected(std::size_t index) const
{
    const std::string_view text = word(index);
    const auto formOf = [&](const auto &endings, std::uint8_t kind) {
        return std::any_of(endings.begin(), endings.end(), [&](std::string_view ending) {
            return text.size() >= ending.size() + 2 && text.ends_with(ending)
                && has(text.substr(0, text.size() - ending.size()), kind);
        });
    };
    if ((m_kinds[index] & kNoun) && formOf(kNounEndings, kNoun))
        return true;
    // The genitive of a verb used as a noun (des Beurlaubens).
    if ((m_kinds[index] & kNoun) && text.size() > 3 && text.ends_with('s')
        && has(text.substr(0, text.size() - 1), kOther))
        return true;
    if (!(m_kinds[index] & kOther))
        return false;
    if (formOf(kOtherEndings, kOther))
        return true;
    for (const std::string_view ending : kVerbEndings) {
        if (text.size() < ending.size() + 2 || !text.ends_with(ending))
            continue;
        const std::string stem(text.substr(0, text.size() - ending.size()));
        for (const char *infinitive : { "en", "n" }) {
            const std::string verb = stem + infinitive;
            if (verb != text && has(verb, kOther))
                return true;
        }
    }
    return false;
}

std::vector<std::size_t> WordList::containing(std::string_view text) const
{
    std::vector<std::size_t> found;
    if (text.empty() || text.find('\n') != std::string_view::npos)
        return found;
    for (std::size_t at = m_text.find(text); at != std::string::npos;) {
        const std::size_t index
            = static_cast<std::size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), at) - m_starts.begin()) - 1;
        found.push_back(index);
        // Once per word, however often it holds the text.
        at = index + 1 < count() ? m_text.find(text, m_starts[index + 1]) : std::string::npos;
    }
    return found;
}

std::vector<std::string> WordList::suggestions(std::string_view term, std::size_t limit)
{
    if (!available() || term.empty())
        return {};
    const std::size_t longest = 3 * GermanText::length(term);
    std::vector<std::string> found;
    const auto offer = [&](std::string candidate) {
        if (candidate != term && GermanText::length(candidate) < longest)
            found.push_back(std::move(candidate));
    };

    const std::size_t firstBlank = term.find(' ');
    if (firstBlank == std::string_view::npos) {
        for (const std::size_t index : containing(term))
            if (!inflected(index))
                offer(std::string(word(index)));
    } else {
        // A phrase stays whole: its first word may grow at the front
        // (sommerurlaub italien), its last one at the end (ferienhaus
        // nordseebad), each into a word of the same kind.
        for (std::size_t at = 0; at <= term.size();) {
            const std::size_t end = std::min(term.find(' ', at), term.size());
            if (find(term.substr(at, end - at)) == kNotFound)
                return {};
            at = end + 1;
        }
        const std::size_t lastBlank = term.rfind(' ');
        const std::string_view first = term.substr(0, firstBlank);
        const std::string_view last = term.substr(lastBlank + 1);
        const std::uint8_t firstKind = m_kinds[find(first)];
        const std::uint8_t lastKind = m_kinds[find(last)];
        for (const std::size_t index : containing(first)) {
            const std::string_view candidate = word(index);
            if (candidate.size() > first.size() && candidate.ends_with(first) && (m_kinds[index] & firstKind)
                && !inflected(index))
                offer(std::string(candidate) + std::string(term.substr(firstBlank)));
        }
        for (const std::size_t index : containing(last)) {
            const std::string_view candidate = word(index);
            if (candidate.size() > last.size() && candidate.starts_with(last) && (m_kinds[index] & lastKind)
                && !inflected(index))
                offer(std::string(term.substr(0, lastBlank + 1)) + std::string(candidate));
        }
    }

    const auto rank = [&](const std::string &candidate) {
        return std::make_tuple(candidate.starts_with(term) ? 0 : 1, GermanText::length(candidate),
                               std::string_view(candidate));
    };
    std::sort(
        found.begin(), found.end(), [&](const std::string &a, const std::string &b) { return rank(a) < rank(b); });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

} // namespace vantor::demo
