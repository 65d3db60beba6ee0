#include "platform/Profile.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <cstdlib>
#include <limits>

namespace vantor {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

std::string_view keyOf(std::string_view line)
{
    const auto eq = line.find('=');
    return trim(line.substr(0, eq));
}

} // namespace

int toInt(const std::string &text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max())
            value = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

bool ProfileFile::load(const std::string &path)
{
    m_path = path;
    m_lines.clear();
    std::string content;
    if (!files::read(path, content))
        return false;
    setText(content);
    return true;
}

void ProfileFile::setText(const std::string &text)
{
    m_lines.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

std::string ProfileFile::text() const
{
    std::string out;
    for (const auto &line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool ProfileFile::save() const { return saveAs(m_path); }

bool ProfileFile::saveAs(const std::string &path) const { return files::writeAtomic(path, text()); }

std::size_t ProfileFile::findSection(const std::string &section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (name && equalsIgnoreAsciiCase(*name, section))
            return i;
    }
    return std::string::npos;
}

std::size_t ProfileFile::sectionEnd(std::size_t sectionLine) const
{
    std::size_t i = sectionLine + 1;
    while (i < m_lines.size() && !sectionName(m_lines[i]))
        ++i;
    return i;
}

std::size_t ProfileFile::findKey(std::size_t sectionLine, const std::string &key) const
{
    const std::size_t end = sectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const std::string_view line = m_lines[i];
        if (trim(line).empty() || trim(line).front() == ';')
            continue;
        if (equalsIgnoreAsciiCase(keyOf(line), key))
            return i;
    }
    return std::string::npos;
}

namespace {
std::string valueOfLine(std::string_view line)
{
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::string();
    // Quotes are part of the value: project files written by hand with
    // quoted option values have always read that way.
    return std::string(trim(line.substr(eq + 1)));
}
} // namespace

std::optional<std::string> ProfileFile::value(const std::string &section, const std::string &key) const
{
    const auto s = findSection(section);
    if (s == std::string::npos)
        return std::nullopt;
    const auto k = findKey(s, key);
    if (k == std::string::npos)
        return std::nullopt;
    return valueOfLine(m_lines[k]);
}

std::unordered_map<std::string, std::string> ProfileFile::sectionValues(const std::string &section) const
{
    std::unordered_map<std::string, std::string> result;
    const auto s = findSection(section);
    if (s == std::string::npos)
        return result;
    const auto end = sectionEnd(s);
    for (std::size_t i = s + 1; i < end; ++i) {
        const std::string_view line = m_lines[i];
        const auto t = trim(line);
        if (t.empty() || t.front() == ';')
            continue;
        std::string key(keyOf(line));
        for (char &c : key)
            c = lowerAscii(c);
        result.try_emplace(std::move(key), valueOfLine(line));
    }
    return result;
}

std::string ProfileFile::read(const std::string &section, const std::string &key, const std::string &fallback,
                              std::size_t capacity) const
{
    std::string v = value(section, key).value_or(fallback);
    if (capacity > 0 && v.size() > capacity)
        v.resize(capacity);
    return v;
}

void ProfileFile::insertIntoSection(const std::string &section, const std::string &line)
{
    const auto s = findSection(section);
    if (s == std::string::npos) {
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(line);
        return;
    }
    // After the last non-empty line of the section, so blank separators stay
    // between sections.
    std::size_t end = sectionEnd(s);
    while (end > s + 1 && trim(m_lines[end - 1]).empty())
        --end;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(end), line);
}

void ProfileFile::write(const std::string &section, const std::string &key, const std::string &value)
{
    // A line break inside a value would end the line early and could start a
    // bogus section; the rest of the file would be misread from there on.
    std::string line = key + "=" + value;
    for (char &c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    putLine(section, key, line);
}

void ProfileFile::writeKeyOnly(const std::string &section, const std::string &key) { putLine(section, key, key); }

void ProfileFile::putLine(const std::string &section, const std::string &key, const std::string &line)
{
    const auto s = findSection(section);
    if (s != std::string::npos) {
        const auto k = findKey(s, key);
        if (k != std::string::npos) {
            m_lines[k] = line;
            return;
        }
    }
    insertIntoSection(section, line);
}

void ProfileFile::deleteKey(const std::string &section, const std::string &key)
{
    const auto s = findSection(section);
    if (s == std::string::npos)
        return;
    const auto k = findKey(s, key);
    if (k != std::string::npos)
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(k));
}

void ProfileFile::clearSection(const std::string &section)
{
    const auto s = findSection(section);
    if (s == std::string::npos)
        return;
    const auto end = sectionEnd(s);
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(s + 1),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(end));
}

void ProfileFile::deleteSection(const std::string &section)
{
    const auto s = findSection(section);
    if (s == std::string::npos)
        return;
    const auto end = sectionEnd(s);
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(s), m_lines.begin() + static_cast<std::ptrdiff_t>(end));
}

bool ProfileFile::hasSection(const std::string &section) const { return findSection(section) != std::string::npos; }

std::vector<std::string> ProfileFile::keys(const std::string &section) const
{
    std::vector<std::string> result;
    const auto s = findSection(section);
    if (s == std::string::npos)
        return result;
    const auto end = sectionEnd(s);
    for (std::size_t i = s + 1; i < end; ++i) {
        const auto t = trim(m_lines[i]);
        if (!t.empty() && t.front() != ';')
            result.emplace_back(keyOf(m_lines[i]));
    }
    return result;
}

namespace profile {

namespace {
// A file that exists but cannot be read must not be overwritten with only
// the one key: that would throw away everything else in it.
bool loadForChange(ProfileFile &file, const std::string &path)
{
    if (file.load(path))
        return true;
    return !files::exists(path);
}
} // namespace

std::string readString(const std::string &file, const std::string &section, const std::string &key,
                       const std::string &fallback, std::size_t capacity)
{
    ProfileFile f;
    f.load(file);
    return f.read(section, key, fallback, capacity);
}

int readInt(const std::string &file, const std::string &section, const std::string &key, int fallback)
{
    ProfileFile f;
    f.load(file);
    const auto v = f.value(section, key);
    return v ? toInt(*v) : fallback;
}

bool writeString(const std::string &file, const std::string &section, const std::string &key,
                 const std::string &value)
{
    ProfileFile f;
    if (!loadForChange(f, file))
        return false;
    f.write(section, key, value);
    return f.save();
}

bool writeKeyOnly(const std::string &file, const std::string &section, const std::string &key)
{
    ProfileFile f;
    if (!loadForChange(f, file))
        return false;
    f.writeKeyOnly(section, key);
    return f.save();
}

bool deleteKey(const std::string &file, const std::string &section, const std::string &key)
{
    ProfileFile f;
    if (!f.load(file))
        return false;
    f.deleteKey(section, key);
    return f.save();
}

bool clearSection(const std::string &file, const std::string &section)
{
    ProfileFile f;
    if (!f.load(file))
        return false;
    f.clearSection(section);
    return f.save();
}

} // namespace profile
} // namespace vantor
