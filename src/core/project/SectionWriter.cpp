#include "project/SectionWriter.h"

#include "project/SectionText.h"

#include <algorithm>

namespace vantor {

namespace {

bool isBreak(char c) { return c == '\r' || c == '\n'; }

// A line that the profile functions take for a section line while the reader
// does not: new keys must not go below it, or the profile functions would
// see them in another section.
bool startsProfileSection(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '[';
}

// One change of the text: erase characters at pos and put text there.
struct Edit {
    std::size_t pos;
    std::size_t erase;
    std::string text;
};

} // namespace

std::string SectionWriter::encode(std::string_view value)
{
    std::string out(value.substr(0, value.find('\0')));
    for (char &c : out)
        if (isBreak(c))
            c = ' ';
    const bool losesStart = !out.empty() && (out.front() == '=' || out.front() == ' ' || out.front() == '\t');
    const bool losesQuotes = out.size() > 1 && out.front() == '"' && out.back() == '"';
    if (losesStart || losesQuotes)
        out = '"' + out + '"';
    return out;
}

bool SectionWriter::write(std::string_view section, std::string_view key, std::string_view value)
{
    if (section.find_first_of(std::string_view("]\r\n\0", 4)) != std::string_view::npos)
        return false;
    if (key.empty() || key.front() == '[' || SectionText::keyOf(key) != key
        || key.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return false;
    auto s = std::find_if(m_sections.begin(), m_sections.end(), [&](const Section &x) { return x.name == section; });
    if (s == m_sections.end()) {
        m_sections.push_back(Section{std::string(section), {}, {}});
        s = m_sections.end() - 1;
    }
    std::string line = std::string(key) + "=" + encode(value);
    const auto [k, added] = s->keys.try_emplace(std::string(key), s->lines.size());
    if (added)
        s->lines.push_back(std::move(line));
    else
        s->lines[k->second] = std::move(line);
    return true;
}

std::string SectionWriter::apply(std::string_view original) const
{
    const SectionText text(original);
    const std::string_view visible = text.visible();
    std::vector<Edit> edits;
    std::vector<bool> found(m_sections.size());
    std::vector<std::vector<bool>> placed(m_sections.size());
    for (std::size_t s = 0; s < m_sections.size(); ++s)
        placed[s].resize(m_sections[s].lines.size());

    // The section whose lines we are in, and where its new keys go.
    std::size_t current = m_sections.size();
    std::size_t insertAt = 0;
    bool insertFixed = false;
    const auto finishSection = [&] {
        if (current == m_sections.size())
            return;
        std::string block;
        for (std::size_t i = 0; i < m_sections[current].lines.size(); ++i)
            if (!placed[current][i]) {
                block += "\r\n";
                block += m_sections[current].lines[i];
            }
        if (!block.empty())
            edits.push_back(Edit{insertAt, 0, std::move(block)});
        current = m_sections.size();
    };

    std::string key;
    std::size_t pos = 0;
    SectionText::Line line;
    while (text.nextLine(pos, line)) {
        const std::string_view content = text.text(line);
        if (SectionText::startsSection(content)) {
            finishSection();
            for (std::size_t s = 0; s < m_sections.size(); ++s)
                if (!found[s] && SectionText::isHeaderOf(content, m_sections[s].name)) {
                    found[s] = true;
                    current = s;
                    insertAt = line.end;
                    insertFixed = false;
                    break;
                }
            continue;
        }
        if (current == m_sections.size())
            continue;
        insertFixed = insertFixed || startsProfileSection(content);
        key.assign(SectionText::keyOf(content));
        const auto k = m_sections[current].keys.find(key);
        if (k != m_sections[current].keys.end() && !placed[current][k->second]) {
            placed[current][k->second] = true;
            edits.push_back(Edit{line.begin, line.end - line.begin, m_sections[current].lines[k->second]});
        }
        // After the last line with something in it, as the profile functions
        // do, so that lines of blanks that part sections stay between them.
        if (!insertFixed && content.find_first_not_of(" \t") != std::string_view::npos)
            insertAt = line.end;
    }
    finishSection();

    std::string block;
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        if (found[s] || m_sections[s].lines.empty())
            continue;
        block += '[';
        block += m_sections[s].name;
        block += "]\r\n";
        for (const auto &written : m_sections[s].lines) {
            block += written;
            block += "\r\n";
        }
    }
    if (!block.empty()) {
        // The section line must start a line of its own.
        if (!visible.empty() && !isBreak(visible.back()))
            block.insert(0, "\r\n");
        edits.push_back(Edit{visible.size(), 0, std::move(block)});
    }

    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.pos < b.pos; });
    std::size_t size = original.size();
    for (const auto &edit : edits)
        size += edit.text.size();
    std::string out;
    out.reserve(size);
    std::size_t copied = 0;
    for (const auto &edit : edits) {
        out.append(original.substr(copied, edit.pos - copied));
        out += edit.text;
        copied = edit.pos + edit.erase;
    }
    out.append(original.substr(copied));
    return out;
}

} // namespace vantor
