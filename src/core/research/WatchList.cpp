#include "research/WatchList.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "ui/Ui.h"

#include <algorithm>
#include <new>

namespace vantor {

namespace {

// The order in which the sections are read. Each entry goes to the top, so
// the window shows the last section first.
constexpr int kLoadOrder[] = {WatchList::Kept, WatchList::Variant, WatchList::EngineInput};

const std::vector<std::string> &numberKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int i = 1; i <= WatchList::kMaxLoadedPerSection; ++i)
            k.push_back(std::to_string(i));
        return k;
    }();
    return keys;
}

} // namespace

const char *WatchList::sectionOf(int kind)
{
    switch (kind) {
    case EngineInput:
        return "researchs";
    case Variant:
        return "researchv";
    default:
        return "research";
    }
}

std::vector<WatchList::Entry> WatchList::readEntries(const ProfileFile &profile)
{
    std::vector<Entry> entries;
    for (int kind : kLoadOrder) {
        const auto values = profile.values(sectionOf(kind), numberKeys());
        for (const auto &value : values) {
            if (!value || value->empty())
                break;
            entries.push_back({value->substr(0, kMaxText), kind});
        }
    }
    return entries;
}

bool WatchList::load(const std::string &projectName)
{
    m_entries.clear();
    m_known.clear();
    m_knownProject = projectName;
    if (!isPlainProjectName(projectName))
        return true;
    try {
        ProfileFile profile;
        profile.load(projectFilePath(projectName));
        m_entries = readEntries(profile);
        for (const auto &entry : m_entries)
            m_known.push_back(entry.text);
        std::sort(m_known.begin(), m_known.end());
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
    }
    const bool none = m_entries.empty();
    // Every entry went to the top: the last one read is row 0.
    std::reverse(m_entries.begin(), m_entries.end());
    if (m_sorting != Sorting::None) {
        const bool ascending = m_sorting == Sorting::Ascending;
        std::vector<std::pair<std::string, Entry>> keyed;
        keyed.reserve(m_entries.size());
        for (auto &entry : m_entries)
            keyed.emplace_back(lowerCp1252(entry.text), std::move(entry));
        std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
            return ascending ? a.first < b.first : b.first < a.first;
        });
        m_entries.clear();
        for (auto &k : keyed)
            m_entries.push_back(std::move(k.second));
    }
    return none;
}

bool WatchList::save(const std::string &projectName)
{
    if (!isPlainProjectName(projectName))
        return false;
    // The window keeps its list for as long as it is open, which no lock
    // can: the file is read again under the lock, and our changes go onto
    // it as it is now.
    const FileLock lock(files::osPath(projectFilePath(projectName)));
    return lock.locked() && saveLocked(projectName);
}

bool WatchList::update(const std::string &projectName, const std::function<bool(WatchList &)> &change)
{
    if (!isPlainProjectName(projectName))
        return false;
    const FileLock lock(files::osPath(projectFilePath(projectName)));
    if (!lock.locked())
        return false;
    load(projectName);
    return !change(*this) || saveLocked(projectName);
}

std::vector<WatchList::Entry> WatchList::mergedWith(const std::string &projectName,
                                                    const std::vector<Entry> &current) const
{
    // A list never loaded from this project knows nothing of the file: all
    // of it counts as added by others.
    const bool sameProject = m_knownProject == projectName;
    const auto known = [&](const std::string &text) {
        return sameProject && std::binary_search(m_known.begin(), m_known.end(), text);
    };
    const auto sortedTexts = [](const std::vector<Entry> &entries) {
        std::vector<std::string> texts;
        for (const auto &entry : entries)
            texts.push_back(entry.text);
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    const std::vector<std::string> inFile = sortedTexts(current);
    std::vector<std::string> taken = sortedTexts(m_entries);

    std::vector<Entry> merged;
    for (const auto &entry : current) {
        const auto at = std::lower_bound(taken.begin(), taken.end(), entry.text);
        if (known(entry.text) || (at != taken.end() && *at == entry.text))
            continue;
        taken.insert(at, entry.text);
        merged.push_back(entry);
    }
    // Read order puts the top row last.
    std::reverse(merged.begin(), merged.end());
    for (const auto &entry : m_entries)
        if (!known(entry.text) || std::binary_search(inFile.begin(), inFile.end(), entry.text))
            merged.push_back(entry);
    return merged;
}

bool WatchList::saveLocked(const std::string &projectName)
{
    const std::string path = projectFilePath(projectName);
    try {
        ProfileFile profile;
        // A file that is there but cannot be read would lose every other
        // section of the project.
        if (!profile.load(path) && files::exists(path))
            return false;
        profile.setPath(path);
        const std::vector<Entry> rowsToWrite = mergedWith(projectName, readEntries(profile));
        // Cleared first: the project loader reads the kept section key by
        // key, and numbers beyond the closing empty key must not come back.
        for (int kind : kLoadOrder)
            profile.clearSection(sectionOf(kind));
        int next[3] = {1, 1, 1};
        const std::size_t rows = std::min<std::size_t>(rowsToWrite.size(), kMaxSaved);
        for (std::size_t i = 0; i < rows; ++i) {
            const Entry &entry = rowsToWrite[i];
            const int kind = entry.kind >= 0 && entry.kind <= 2 ? entry.kind : Kept;
            profile.write(sectionOf(kind), std::to_string(next[kind]++), entry.text);
        }
        for (int kind : {EngineInput, Variant, Kept})
            profile.write(sectionOf(kind), std::to_string(next[kind]), "");
        if (!profile.save())
            return false;
        // What the file held of others that this list does not show stays
        // theirs at the next save too.
        m_known.clear();
        for (const auto &entry : m_entries)
            m_known.push_back(entry.text);
        std::sort(m_known.begin(), m_known.end());
        m_knownProject = projectName;
        return true;
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
}

bool WatchList::contains(const std::string &text) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry &e) { return e.text == text; });
}

bool WatchList::add(const std::string &text, int kind)
{
    const std::string cut = text.substr(0, kMaxText);
    if (cut.empty() || contains(cut))
        return false;
    insert({cut, kind});
    return true;
}

void WatchList::remove(std::vector<std::size_t> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it < m_entries.size())
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(*it));
}

std::size_t WatchList::insertPosition(const std::string &text) const
{
    if (m_sorting == Sorting::None)
        return 0;
    // Sorted as the list shows it: without regard to case.
    const std::string key = lowerCp1252(text);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string other = lowerCp1252(m_entries[i].text);
        if (m_sorting == Sorting::Ascending ? key <= other : key >= other)
            return i;
    }
    return m_entries.size();
}

void WatchList::insert(Entry entry)
{
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(insertPosition(entry.text)), std::move(entry));
}

} // namespace vantor
