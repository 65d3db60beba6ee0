#include "Thesaurus.h"

#include "GermanText.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <tuple>

namespace vantor::demo {

namespace {

// A line of the index or the data has far fewer; a file that is no
// thesaurus cannot make us hold a huge line.
constexpr std::size_t kMaxLine = 64 * 1024;

bool readLine(std::istream &in, std::string &line)
{
    line.clear();
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        if (c == '\n')
            return true;
        if (line.size() == kMaxLine)
            return false;
        line += static_cast<char>(c);
    }
    return !line.empty();
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t bar = line.find('|', at);
        parts.push_back(line.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at));
        if (bar == std::string_view::npos)
            return parts;
        at = bar + 1;
    }
}

} // namespace

Thesaurus::Thesaurus(std::filesystem::path prefix)
    : m_prefix(std::move(prefix))
{
}

bool Thesaurus::available()
{
    std::call_once(m_loaded, [this] { load(); });
    return m_available;
}

void Thesaurus::load()
{
    const std::filesystem::path index = m_prefix.string() + ".idx";
    const std::filesystem::path data = m_prefix.string() + ".dat";
    std::ifstream in(index, std::ios::binary);
    std::string line;
    // The entries are read as they stand, so only a thesaurus in UTF-8 will
    // do.
    const bool utf8 = readLine(in, line) && GermanText::lower(line).starts_with("utf-8");
    const bool withData = std::ifstream(data, std::ios::binary).good();
    while (utf8 && withData && readLine(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t bar = line.rfind('|');
        // The line after the encoding holds only the number of headwords.
        if (bar == std::string::npos || bar == 0)
            continue;
        std::uint64_t offset = 0;
        const char *end = line.data() + line.size();
        if (std::from_chars(line.data() + bar + 1, end, offset).ptr != end)
            continue;
        m_index.push_back({ static_cast<std::uint32_t>(m_words.size()), static_cast<std::uint32_t>(bar), offset });
        m_words.append(line, 0, bar);
    }
    if (m_index.empty()) {
        std::cerr << "vantor-demo-server: Thesaurus " << m_prefix.string()
                  << ".idx/.dat fehlt oder ist nicht lesbar (Paket mythes-de), die Synonym-Dienste finden nichts "
                     "/ thesaurus missing"
                  << std::endl;
        return;
    }
    m_words.shrink_to_fit();
    m_index.shrink_to_fit();
    const auto byWord = [this](const Headword &a, const Headword &b) { return headword(a) < headword(b); };
    if (!std::is_sorted(m_index.begin(), m_index.end(), byWord))
        std::stable_sort(m_index.begin(), m_index.end(), byWord);
    m_available = true;
}

std::string Thesaurus::withoutNotes(std::string_view text)
{
    std::string plain;
    int depth = 0;
    for (const char c : text) {
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
        else if (depth == 0)
            plain += c;
    }
    std::string out;
    for (const char c : plain) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::vector<Thesaurus::Meaning> Thesaurus::lookup(std::string_view word)
{
    std::vector<Meaning> meanings;
    if (!available())
        return meanings;
    const std::string key = GermanText::lower(word);
    const auto found = std::lower_bound(m_index.begin(), m_index.end(), key,
        [this](const Headword &entry, const std::string &wanted) { return headword(entry) < wanted; });
    if (found == m_index.end() || headword(*found) != key)
        return meanings;

    std::ifstream in(m_prefix.string() + ".dat", std::ios::binary);
    in.seekg(static_cast<std::streamoff>(found->offset));
    std::string line;
    if (!in || !readLine(in, line))
        return meanings;
    // The entry has to be the one the index names, or the two files do not
    // belong together.
    const std::vector<std::string_view> head = fields(line);
    std::size_t count = 0;
    if (head.size() != 2 || GermanText::lower(head[0]) != key
        || std::from_chars(head[1].data(), head[1].data() + head[1].size(), count).ec != std::errc())
        return meanings;
    count = std::min(count, kMaxMeanings);
    for (std::size_t i = 0; i < count && readLine(in, line); ++i) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string_view> parts = fields(line);
        Meaning meaning;
        // The first field is the word class.
        for (std::size_t p = 1; p < parts.size(); ++p) {
            std::string text = withoutNotes(parts[p]);
            if (text.empty())
                continue;
            if (parts[p].find("(Oberbegriff)") != std::string_view::npos)
                meaning.broader.push_back(std::move(text));
            else
                meaning.synonyms.push_back(std::move(text));
        }
        meanings.push_back(std::move(meaning));
    }
    return meanings;
}

std::vector<std::string> Thesaurus::headwordsContaining(std::string_view text, std::size_t limit)
{
    std::vector<std::string_view> found;
    if (!available() || text.empty())
        return {};
    for (const Headword &entry : m_index) {
        const std::string_view word = headword(entry);
        if (word.size() > text.size() && word.find(text) != std::string_view::npos)
            found.push_back(word);
    }
    const auto shorter = [](std::string_view a, std::string_view b) {
        return std::make_tuple(GermanText::length(a), a) < std::make_tuple(GermanText::length(b), b);
    };
    if (found.size() > limit) {
        std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(limit), found.end(), shorter);
        found.resize(limit);
    } else {
        std::sort(found.begin(), found.end(), shorter);
    }
    return { found.begin(), found.end() };
}

} // namespace vantor::demo
