#include "optimizer/OutputManifest.h"

#include "platform/Files.h"
#include "project/ProjectFile.h"

#include <cstdio>
#include <cstdlib>


namespace vantor {

std::string OutputManifest::pathFor(const std::string &project)
{
    return files::join(projectDirectory(), project + ".manifest");
}

std::string OutputManifest::contentHash(std::string_view content)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : content) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string escapeJournalField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\t': out += "%09"; break;
        case '\n': out += "%0A"; break;
        case '\r': out += "%0D"; break;
        default: out += c;
        }
    }
    return out;
}

std::string unescapeJournalField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::string hex(text.substr(i + 1, 2));
            char *end = nullptr;
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += static_cast<char>(value);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> splitJournalLine(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(unescapeJournalField(line.substr(start, tab == std::string_view::npos ? tab : tab - start)));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return fields;
}

const OutputManifest::Entry *OutputManifest::find(const std::string &path) const
{
    const auto it = m_entries.find(path);
    return it == m_entries.end() ? nullptr : &it->second;
}

std::vector<std::string> OutputManifest::entriesIn(const std::string &directory) const
{
    std::vector<std::string> result;
    const std::string prefix = directory + files::kSeparator;
    for (auto it = m_entries.lower_bound(prefix); it != m_entries.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0)
            break;
        if (it->first.find(files::kSeparator, prefix.size()) == std::string::npos)
            result.push_back(it->first);
    }
    return result;
}

bool OutputManifest::load()
{
    m_entries.clear();
    if (!files::entryExists(m_filePath))
        return true;
    std::string text;
    if (!files::read(m_filePath, text))
        return false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size(); // the last line of a killed run may be cut: it still names its path
        const auto fields = splitJournalLine(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (fields.size() < 2 || fields[1].empty())
            continue;
        if (fields[0] == "F" && fields.size() >= 4) {
            Entry entry;
            entry.size = std::strtoull(fields[2].c_str(), nullptr, 10);
            entry.hash = fields[3];
            m_entries[fields[1]] = entry;
        } else if (fields[0] == "D") {
            Entry entry;
            entry.directory = true;
            m_entries[fields[1]] = entry;
        } else if (fields[0] == "-") {
            m_entries.erase(fields[1]);
        }
    }
    return true;
}

bool OutputManifest::compact()
{
    std::string text;
    for (const auto &[path, entry] : m_entries) {
        if (entry.directory)
            text += "D\t" + escapeJournalField(path) + "\n";
        else
            text += "F\t" + escapeJournalField(path) + "\t" + std::to_string(entry.size) + "\t" + entry.hash + "\n";
    }
    if (m_entries.empty() && !files::entryExists(m_filePath))
        return true;
    return files::writeAtomic(m_filePath, text);
}

bool OutputManifest::append(const std::string &line)
{
    return m_filePath.empty() || files::append(m_filePath, line + "\n");
}

bool OutputManifest::addFile(const std::string &path, std::string_view content)
{
    Entry entry;
    entry.size = content.size();
    entry.hash = contentHash(content);
    m_entries[path] = entry;
    return append("F\t" + escapeJournalField(path) + "\t" + std::to_string(entry.size) + "\t" + entry.hash);
}

bool OutputManifest::addDirectory(const std::string &path)
{
    Entry entry;
    entry.directory = true;
    m_entries[path] = entry;
    return append("D\t" + escapeJournalField(path));
}

bool OutputManifest::forget(const std::string &path)
{
    if (m_entries.erase(path) == 0)
        return true;
    return append("-\t" + escapeJournalField(path));
}

} // namespace vantor
