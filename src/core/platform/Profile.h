#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
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
// CR LF; files with bare LF read as well, and a saved file has CR LF
// throughout. Sections, keys and values are C strings to the profile
// functions: a written one ends at a NUL byte, and a line break in it
// becomes a blank.
//
// The file is held as its text alone, so a file takes about its own size in
// memory however many lines it has. Writes are collected and go into the
// text in one pass at the next read, delete or save: loading once, changing
// several hundred keys and saving once stays a single pass over the file,
// and saving goes through a temporary file so a project file is never left
// half-written.
//
// Reading a file, and any change or read after it, may throw std::bad_alloc;
// callers that must survive a file too large for memory catch it.
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
    // value() for each of keys, in one pass over the section; for reading a
    // known set of keys from a large file without holding all its keys.
    std::vector<std::optional<std::string>> values(const std::string &section,
                                                   const std::vector<std::string> &keys) const;

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

    // The text as save() writes it.
    std::string text() const;
    // The text as it is now, with the collected writes in and the line ends
    // as loaded, for readers of their own; valid until the next change.
    std::string_view currentText() const;
    void setText(std::string text);

private:
    // Writes not yet in the text, grouped by section in the order of their
    // first write.
    struct Writes {
        struct Section {
            std::string name;
            // The lines to write, in the order of the first write of each key.
            std::vector<std::string> lines;
            // ASCII lower-case key -> index into lines.
            std::unordered_map<std::string, std::size_t> keys;
        };
        std::vector<Section> sections;
        // ASCII lower-case section name -> index into sections.
        std::unordered_map<std::string, std::size_t> index;

        void add(const std::string &section, const std::string &key, std::string line);
        bool empty() const { return sections.empty(); }
    };

    // The text with every line end as CR LF and the writes put in, made in
    // one pass.
    static std::string render(std::string_view text, const Writes *writes);

    void putLine(const std::string &section, const std::string &key, std::string line);
    // Puts the collected writes into the text.
    void applyWrites() const;
    // Brings every line end of the text to CR LF, as a save writes it.
    void normalize() const;

    std::string m_path;
    // The text as loaded, or as the last change left it; the collected writes
    // are not in it yet. Both change on reads too: the writes go in first.
    mutable std::string m_text;
    mutable Writes m_writes;
    // True when every line of m_text ends in CR LF.
    mutable bool m_normalized = true;
};

// The single-call profile functions, each a load, change and save of the
// whole file. The changing ones hold the file's FileLock throughout, so that
// another program's change in between is not lost; they fail when it stays
// busy, and must not be called while the caller holds that lock itself.
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
