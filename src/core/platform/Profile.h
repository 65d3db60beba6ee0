#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantor {

// An INI file held in memory, with the behaviour of the Windows profile
// functions that our project files were always written with: sections and
// keys match without regard to ASCII case, blanks around keys and values are
// trimmed, quotes stay part of the value, a written key
// replaces the old line in place or is appended at the end of its section,
// and a missing section is appended at the end of the file. Lines end in
// CR LF; files with bare LF read as well.
//
// Loading once, changing many keys and saving once keeps a save of several
// hundred keys to one write, and saving goes through a temporary file so a
// project file is never left half-written.
class ProfileFile
{
public:
    ProfileFile() = default;

    // Loads the file; a missing file gives an empty profile and false.
    bool load(const std::string &path);
    // Writes the profile atomically to the path it was loaded from (or path).
    bool save() const;
    bool saveAs(const std::string &path) const;

    const std::string &path() const { return m_path; }
    void setPath(const std::string &path) { m_path = path; }

    // The value of key in section, or nullopt when the section or the key is
    // missing. The value is trimmed; it is not cut.
    std::optional<std::string> value(const std::string &section, const std::string &key) const;
    // As the profile reader with a buffer: the value or the default, cut to
    // capacity characters (capacity 0 means no limit).
    std::string read(const std::string &section, const std::string &key, const std::string &fallback,
                     std::size_t capacity = 0) const;

    void write(const std::string &section, const std::string &key, const std::string &value);
    // A line with the key alone, no equals sign.
    void writeKeyOnly(const std::string &section, const std::string &key);
    void deleteKey(const std::string &section, const std::string &key);
    // Removes every key of the section, keeping the section line.
    void clearSection(const std::string &section);
    void deleteSection(const std::string &section);

    // Every key of the section with its value as value() reads it; keys in
    // ASCII lower case, the first of two equal keys wins. One pass, for
    // reading many keys of one section from a large file.
    std::unordered_map<std::string, std::string> sectionValues(const std::string &section) const;

    bool hasSection(const std::string &section) const;
    std::vector<std::string> keys(const std::string &section) const;

    std::string text() const;
    void setText(const std::string &text);

private:
    // Index of the section line, or npos.
    std::size_t findSection(const std::string &section) const;
    // End of the section's lines (index of the next section line or size).
    std::size_t sectionEnd(std::size_t sectionLine) const;
    std::size_t findKey(std::size_t sectionLine, const std::string &key) const;
    void insertIntoSection(const std::string &section, const std::string &line);
    // Replaces the key's line in place, or adds the line to the section.
    void putLine(const std::string &section, const std::string &key, const std::string &line);

    std::string m_path;
    std::vector<std::string> m_lines;
};

// The single-call profile functions, each a load, change and save of the
// whole file.
namespace profile {

std::string readString(const std::string &file, const std::string &section, const std::string &key,
                       const std::string &fallback, std::size_t capacity = 0);
int readInt(const std::string &file, const std::string &section, const std::string &key, int fallback);
// Creates file and section when missing.
bool writeString(const std::string &file, const std::string &section, const std::string &key,
                 const std::string &value);
bool writeKeyOnly(const std::string &file, const std::string &section, const std::string &key);
bool deleteKey(const std::string &file, const std::string &section, const std::string &key);
bool clearSection(const std::string &file, const std::string &section);

} // namespace profile

// The decimal conversion of the C library: leading blanks, a sign and the
// digits that follow; anything else gives 0.
int toInt(const std::string &text);

} // namespace vantor
