#include "project/SectionText.h"

#include <unordered_map>

namespace vantor {

namespace {

bool isBreak(char c) { return c == '\r' || c == '\n'; }

bool isKeyEnd(char c) { return c == '=' || c == ' ' || c == '\t'; }

} // namespace

SectionText::SectionText(std::string_view text) : m_text(text.substr(0, text.find('\0'))) {}

bool SectionText::nextLine(std::size_t &pos, Line &line) const
{
    while (pos < m_text.size() && isBreak(m_text[pos]))
        ++pos;
    if (pos >= m_text.size())
        return false;
    line.begin = pos;
    while (pos < m_text.size() && !isBreak(m_text[pos]))
        ++pos;
    line.end = pos;
    return true;
}

bool SectionText::isHeaderOf(std::string_view line, std::string_view section)
{
    return line.size() >= section.size() + 2 && line.front() == '[' && line.substr(1, section.size()) == section
        && line[section.size() + 1] == ']';
}

std::string_view SectionText::keyOf(std::string_view line)
{
    std::size_t end = 0;
    while (end < line.size() && !isKeyEnd(line[end]))
        ++end;
    return line.substr(0, end);
}

std::string_view SectionText::valueOf(std::string_view line, std::size_t keyLength)
{
    std::size_t v = keyLength;
    while (v < line.size() && isKeyEnd(line[v]))
        ++v;
    std::string_view value = line.substr(v);
    if (value.size() > 1 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

std::vector<std::optional<std::string_view>> SectionText::values(std::string_view section,
                                                                 const std::vector<std::string> &keys) const
{
    std::vector<std::optional<std::string_view>> result(keys.size());
    // Key -> every place it was asked for.
    std::unordered_map<std::string_view, std::vector<std::size_t>> wanted;
    for (std::size_t i = 0; i < keys.size(); ++i)
        wanted[keys[i]].push_back(i);

    std::size_t pos = 0;
    Line line;
    while (nextLine(pos, line) && !isHeaderOf(text(line), section)) {
    }
    std::size_t missing = wanted.size();
    while (missing > 0 && nextLine(pos, line)) {
        const std::string_view current = text(line);
        if (startsSection(current))
            break;
        const std::string_view key = keyOf(current);
        const auto w = wanted.find(key);
        if (w == wanted.end() || result[w->second.front()])
            continue;
        for (const std::size_t i : w->second)
            result[i] = valueOf(current, key.size());
        --missing;
    }
    return result;
}

} // namespace vantor
