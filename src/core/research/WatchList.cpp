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

bool WatchList::load(const std::string &projectName)
{
    m_entries.clear();
    if (!isPlainProjectName(projectName))
        return true;
    bool none = true;
    try {
        ProfileFile profile;
        profile.load(projectFilePath(projectName));
        for (int kind : kLoadOrder) {
            const auto values = profile.values(sectionOf(kind), numberKeys());
            for (const auto &value : values) {
                if (!value || value->empty())
                    break;
                none = false;
                m_entries.push_back({value->substr(0, kMaxText), kind});
            }
        }
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
    }
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

bool WatchList::save(const std::string &projectName) const
{
    if (!isPlainProjectName(projectName))
        return false;
    // The file is read again for the save: what another program wrote into
    // the project's other sections stays.
    const FileLock lock(files::osPath(projectFilePath(projectName)));
    return lock.locked() && write(projectName);
}

bool WatchList::update(const std::string &projectName, const std::function<bool(WatchList &)> &change)
{
    if (!isPlainProjectName(projectName))
        return false;
    const FileLock lock(files::osPath(projectFilePath(projectName)));
    if (!lock.locked())
        return false;
    load(projectName);
    return !change(*this) || write(projectName);
}

bool WatchList::write(const std::string &projectName) const
{
    try {
        ProfileFile profile;
        profile.load(projectFilePath(projectName));
        profile.setPath(projectFilePath(projectName));
        // Cleared first: the project loader reads the kept section key by
        // key, and numbers beyond the closing empty key must not come back.
        for (int kind : kLoadOrder)
            profile.clearSection(sectionOf(kind));
        int next[3] = {1, 1, 1};
        const std::size_t rows = std::min<std::size_t>(m_entries.size(), kMaxSaved);
        for (std::size_t i = 0; i < rows; ++i) {
            const Entry &entry = m_entries[i];
            const int kind = entry.kind >= 0 && entry.kind <= 2 ? entry.kind : Kept;
            profile.write(sectionOf(kind), std::to_string(next[kind]++), entry.text);
        }
        for (int kind : {EngineInput, Variant, Kept})
            profile.write(sectionOf(kind), std::to_string(next[kind]), "");
        return profile.save();
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
