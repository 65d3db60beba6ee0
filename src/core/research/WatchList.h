#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vantor {

class ProfileFile;

// The watch list of the current project: terms the user keeps from keyword
// research, in the order the window shows them (row 0 at the top). The
// window and the command line both work on this model; the project file is
// its only lasting state.
class WatchList
{
public:
    // Where an entry came from; each kind has its own section of the file.
    enum Kind { Kept = 0, EngineInput = 1, Variant = 2 };
    struct Entry {
        std::string text; // cp1252, at most kMaxText characters
        int kind = Kept;
        bool operator==(const Entry &) const = default;
    };
    enum class Sorting { None, Ascending, Descending };

    static constexpr std::size_t kMaxText = 149;
    static constexpr int kMaxLoadedPerSection = 2000;
    static constexpr int kMaxSaved = 6000;

    static const char *sectionOf(int kind);

    const std::vector<Entry> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }

    // Replaces the whole list with the entries of the project's file. True
    // when the file held none at all (the window then plays its "no entries"
    // effect). A missing file or section reads as empty.
    bool load(const std::string &projectName);
    // Writes every row into the project's file, each section numbered from 1
    // and closed by an empty key. False when the file could not be written,
    // or is there but could not be read. What another program added to or
    // removed from the list since this one was loaded stays so in the file
    // (the entries shown here stay as they are).
    bool save(const std::string &projectName);
    // Loads the list, lets change work on it and saves it, holding the
    // project file's lock from the load to the save: an entry another
    // program adds or removes meanwhile is neither lost nor brought back.
    // change returns false to leave the file as it is. False when the file
    // stayed busy or could not be written.
    bool update(const std::string &projectName, const std::function<bool(WatchList &)> &change);

    // Adds at the top, or at the sorted place while a sorting is on. False
    // when a row with the same text (of any kind) is there already.
    bool add(const std::string &text, int kind);
    bool contains(const std::string &text) const;
    // Removes the rows at these indexes (into entries()); out of range ones
    // are ignored.
    void remove(std::vector<std::size_t> rows);

    // A new sorting takes effect with the next load, as the window reloads
    // from the file whenever its sorting changes.
    void setSorting(Sorting sorting) { m_sorting = sorting; }
    Sorting sorting() const { return m_sorting; }

private:
    // save() without taking the lock, for a caller that holds it.
    bool saveLocked(const std::string &projectName);
    // The entries in the file, in the order they are read.
    static std::vector<Entry> readEntries(const ProfileFile &profile);
    // The rows to write: ours, with what another program changed in the file
    // since our load or save (current) put on top of them.
    std::vector<Entry> mergedWith(const std::string &projectName, const std::vector<Entry> &current) const;
    std::size_t insertPosition(const std::string &text) const;
    void insert(Entry entry);

    std::vector<Entry> m_entries;
    Sorting m_sorting = Sorting::None;
    // The texts this list held at its last load or save, and the project:
    // what is in the file but not here, and not in these, another program
    // added.
    std::vector<std::string> m_known;
    std::string m_knownProject;
};

} // namespace vantor
