#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// What the optimisation runs of one project made in its site: every file
// with its size and a hash of what was written, and every doorway
// directory. Removing the results of older runs deletes what is recorded
// here and nothing else, so a user's own "-preisliste.pdf" or "#entwurf.htm"
// survives although its name starts like ours.
//
// The file (projects/<name>.manifest) is appended to line by line while a
// run writes, so a run that is killed still leaves the record of what it
// made; loading replays the lines and compact() writes the outcome anew.
class OutputManifest
{
public:
    struct Entry {
        bool directory = false;
        std::uint64_t size = 0;
        std::string hash;
    };

    OutputManifest() = default;
    explicit OutputManifest(std::string filePath) : m_filePath(std::move(filePath)) {}

    static std::string pathFor(const std::string &project);
    // The hash we record of a file's content (64-bit FNV-1a, hex).
    static std::string contentHash(std::string_view content);

    // Replays the file; a missing file is an empty record. False only when
    // the file is there and cannot be read.
    bool load();
    // Writes the record as it stands, replacing the replayed lines.
    bool compact();

    bool contains(const std::string &path) const { return m_entries.count(path) != 0; }
    const Entry *find(const std::string &path) const;
    // Recorded entries directly inside a directory.
    std::vector<std::string> entriesIn(const std::string &directory) const;

    bool addFile(const std::string &path, std::string_view content);
    bool addDirectory(const std::string &path);
    bool forget(const std::string &path);

    std::size_t size() const { return m_entries.size(); }

private:
    bool append(const std::string &line);

    std::string m_filePath;
    std::map<std::string, Entry> m_entries; // cp1252 paths as the run uses them
};

// Journal lines carry paths that might hold a tab or a line break; these
// keep one entry on one line.
std::string escapeJournalField(std::string_view text);
std::string unescapeJournalField(std::string_view text);
// Splits a journal line at its tabs.
std::vector<std::string> splitJournalLine(std::string_view line);

} // namespace vantor
