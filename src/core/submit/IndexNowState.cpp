#include "submit/IndexNowState.h"

#include "platform/FileLock.h"
#include "platform/Files.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <string_view>

namespace vantor {

namespace {

constexpr std::string_view kHeader = "Vantor!! IndexNow 1";

template <typename Number> bool parseNumber(std::string_view text, Number &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

} // namespace

FileStamp FileStamp::of(const std::string &path)
{
    struct stat info {};
    FileStamp stamp;
    if (::stat(files::osPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.known = true;
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

std::string IndexNowState::pathFor(const std::string &projectFile)
{
    const std::string name = files::fileNameOf(projectFile);
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    return files::join(files::directoryOf(projectFile), stem + ".indexnow");
}

bool IndexNowState::load(const std::string &path)
{
    m_stamps.clear();
    m_damaged = false;
    std::string content;
    if (!files::read(path, content))
        return false;
    // "<size> TAB <time> TAB <url>" under the header line; a line of
    // anything else and we trust none of it.
    std::string_view rest(content);
    bool first = true;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            m_damaged = true; // cut off in the middle of a line
            break;
        }
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (first) {
            first = false;
            if (line != kHeader) {
                m_damaged = true;
                break;
            }
            continue;
        }
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        FileStamp stamp;
        stamp.known = true;
        if (tab2 == std::string_view::npos || tab2 + 1 >= line.size() || !parseNumber(line.substr(0, tab1), stamp.size)
            || !parseNumber(line.substr(tab1 + 1, tab2 - tab1 - 1), stamp.modified)) {
            m_damaged = true;
            break;
        }
        m_stamps[std::string(line.substr(tab2 + 1))] = stamp;
    }
    if (first)
        m_damaged = true; // not even the header
    if (m_damaged)
        m_stamps.clear();
    return !m_damaged;
}

bool IndexNowState::changed(const std::string &url, const FileStamp &stamp) const
{
    if (!stamp.known)
        return true;
    const auto found = m_stamps.find(url);
    return found == m_stamps.end() || !(found->second == stamp);
}

std::string IndexNowState::text() const
{
    // Sorted, so that the file compares well from one run to the next.
    std::vector<const std::pair<const std::string, FileStamp> *> sorted;
    sorted.reserve(m_stamps.size());
    for (const auto &entry : m_stamps)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(), [](const auto *a, const auto *b) { return a->first < b->first; });
    std::string out(kHeader);
    out += '\n';
    for (const auto *entry : sorted) {
        out += std::to_string(entry->second.size);
        out += '\t';
        out += std::to_string(entry->second.modified);
        out += '\t';
        out += entry->first;
        out += '\n';
    }
    return out;
}

bool IndexNowState::remember(const std::string &path, const std::vector<Entry> &entries)
{
    // The lock keeps other programs out; threads of ours wait here first, so
    // none of them waits out the lock's time limit behind another.
    static std::mutex threads;
    const std::lock_guard<std::mutex> guard(threads);
    const FileLock lock(files::osPath(path));
    if (!lock.locked())
        return false;
    IndexNowState state;
    state.load(path);
    for (const Entry &entry : entries) {
        // A URL and its file line by line: a line break would end the entry.
        if (entry.stamp.known && entry.url.find_first_of("\r\n") == std::string::npos && !entry.url.empty())
            state.m_stamps[entry.url] = entry.stamp;
    }
    return files::writeAtomic(path, state.text());
}

} // namespace vantor
