#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantor {

// A file's size and modification time (nanoseconds since the epoch) as we
// last saw it; unknown for a file that is not there.
struct FileStamp {
    bool known = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;

    static FileStamp of(const std::string &path); // cp1252 path
    bool operator==(const FileStamp &) const = default;
};

// What the IndexNow engines have taken of a project: for each URL the stamp
// of its file at the last accepted submission, so a later run sends only
// what changed since. It lives beside the project file as readable text, one
// URL a line; a file that does not read as ours counts as empty, and then
// everything goes out again.
class IndexNowState
{
public:
    struct Entry {
        std::string url; // absolute, as sent
        FileStamp stamp;
    };

    // "<project file without its extension>.indexnow".
    static std::string pathFor(const std::string &projectFile);

    // False when the file is missing or damaged; both leave the state
    // empty. damaged() tells the two apart.
    bool load(const std::string &path);
    bool damaged() const { return m_damaged; }
    std::size_t size() const { return m_stamps.size(); }

    // New URLs, files whose size or time differs from the remembered one,
    // and files we cannot stamp.
    bool changed(const std::string &url, const FileStamp &stamp) const;

    // Merges the entries into the file at path under its lock, on top of
    // what another run may have written meanwhile, and writes it atomically;
    // a damaged file is replaced. Safe to call from worker threads.
    static bool remember(const std::string &path, const std::vector<Entry> &entries);

private:
    std::string text() const;

    std::unordered_map<std::string, FileStamp> m_stamps;
    bool m_damaged = false;
};

} // namespace vantor
