#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor {

// Writes keys into the sections that LoadProjectData reads, finding sections
// and keys by the reader's own rules (SectionText), so that whatever is
// written reads back: also in files edited by hand, with the section name in
// another case, blanks before a key, CR alone as line end, or a byte order
// mark before the first section.
//
// A key is replaced where the reader finds it; a new key goes after the last
// line of its section, a new section at the end of what the reader sees (so
// before a NUL byte, if the text has one). Every other byte of the text
// stays as it was, the rest after a NUL included; lines we add end in CR LF.
// Writes are collected and go in together, in one pass over the text.
class SectionWriter
{
public:
    // Collects key=value for section, the value on one line: a line break in
    // it becomes a blank, and it ends at a NUL byte. False, and nothing
    // collected, for a section or key the reader could not find again
    // (a bracket in the section name, a key with '=', blanks or tabs in it).
    bool write(std::string_view section, std::string_view key, std::string_view value);

    // The text with every collected write in it.
    std::string apply(std::string_view text) const;

    // What goes after "key=" for the reader to give back value: values that
    // would lose their first characters or their quotes are quoted.
    static std::string encode(std::string_view value);

private:
    struct Section {
        std::string name;
        // "key=value" lines, in the order of the first write of each key.
        std::vector<std::string> lines;
        std::unordered_map<std::string, std::size_t> keys;
    };

    std::vector<Section> m_sections;
};

} // namespace vantor
