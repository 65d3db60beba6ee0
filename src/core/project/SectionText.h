#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// A project file's text as LoadProjectData reads the sections homepage,
// keywords, copy and doorways. These rules are stricter than the profile
// functions', and SectionWriter writes those sections by exactly them:
// - the text ends at its first NUL byte;
// - lines end at CR or LF, and a run of them is one line end, so no line is
//   empty;
// - a section begins after the first line that starts with "[name]"
//   (compared case-sensitively; the rest of that line does not count) and
//   ends before the next line that starts with '[';
// - a line's key is what comes before its first '=', blank or tab, compared
//   case-sensitively; the value follows the run of '=', blanks and tabs after
//   it, and a value of two or more characters in double quotes loses them;
// - of two lines with the same key the first counts.
class SectionText
{
public:
    // Where a line's characters are in the text, its line end not included.
    struct Line {
        std::size_t begin = 0;
        std::size_t end = 0;
    };

    explicit SectionText(std::string_view text);

    // The part of the text the rules see: everything before the first NUL.
    std::string_view visible() const { return m_text; }
    std::string_view text(const Line &line) const { return m_text.substr(line.begin, line.end - line.begin); }

    // The first line that starts at or after pos; pos moves past it. False
    // when no line is left.
    bool nextLine(std::size_t &pos, Line &line) const;

    static bool startsSection(std::string_view line) { return !line.empty() && line.front() == '['; }
    static bool isHeaderOf(std::string_view line, std::string_view section);
    static std::string_view keyOf(std::string_view line);
    // The value of a line whose key is keyLength characters long.
    static std::string_view valueOf(std::string_view line, std::size_t keyLength);

    // The value of each of keys in section, nullopt where a key is missing;
    // one pass over the text. The values point into the text.
    std::vector<std::optional<std::string_view>> values(std::string_view section,
                                                        const std::vector<std::string> &keys) const;

private:
    std::string_view m_text;
};

} // namespace vantor
