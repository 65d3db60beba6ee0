#include "platform/Profile.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

// Empty lines and comments are no keys, not even the empty key.
bool isKeyLine(std::string_view line)
{
    const auto t = trim(line);
    return !t.empty() && t.front() != ';';
}

std::string valueOfLine(std::string_view line)
{
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::string();
    // Quotes are part of the value: project files written by hand with
    // quoted option values have always read that way.
    return std::string(trim(line.substr(eq + 1)));
}

// Lower-cases into a buffer that is used again, so that looking up the key of
// every line of a large file does not allocate once per line.
const std::string &lowered(std::string_view text, std::string &buffer)
{
    buffer.assign(text);
    for (char &c : buffer)
        c = lowerAscii(c);
    return buffer;
}

std::string lowerCase(std::string_view text)
{
    std::string buffer;
    lowered(text, buffer);
    return buffer;
}

// A section, key or value as the profile functions take it: a C string, and
// on one line.
std::string oneLine(const std::string &text)
{
    std::string out = text.substr(0, text.find('\0'));
    for (char &c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

// One line of the text: it ends at LF, and a CR before the LF is no part of
// it. begin and next are offsets into the text, next being where the
// following line starts.
struct Line {
    std::size_t begin = 0;
    std::size_t next = 0;
    std::string_view text;
};

class Lines
{
public:
    explicit Lines(std::string_view text, std::size_t from = 0) : m_text(text), m_pos(from) {}

    bool next(Line &line)
    {
        if (m_pos >= m_text.size())
            return false;
        const char *start = m_text.data() + m_pos;
        const auto *lf = static_cast<const char *>(std::memchr(start, '\n', m_text.size() - m_pos));
        std::size_t end = lf ? static_cast<std::size_t>(lf - m_text.data()) : m_text.size();
        line.begin = m_pos;
        line.next = lf ? end + 1 : end;
        if (end > m_pos && m_text[end - 1] == '\r')
            --end;
        line.text = m_text.substr(m_pos, end - m_pos);
        m_pos = line.next;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos;
};

// The line of the first section of that name.
std::optional<Line> findSection(std::string_view text, std::string_view section)
{
    Lines lines(text);
    Line line;
    while (lines.next(line)) {
        const auto name = sectionName(line.text);
        if (name && equalsIgnoreAsciiCase(*name, section))
            return line;
    }
    return std::nullopt;
}

// Where the section's lines end: the start of the next section line, or the
// end of the text.
std::size_t sectionEnd(std::string_view text, const Line &header)
{
    Lines lines(text, header.next);
    Line line;
    while (lines.next(line))
        if (sectionName(line.text))
            return line.begin;
    return text.size();
}

// Calls visit for each line of the section after its header, until visit
// returns false.
template<typename Visit>
void forEachSectionLine(std::string_view text, const Line &header, Visit visit)
{
    Lines lines(text, header.next);
    Line line;
    while (lines.next(line) && !sectionName(line.text))
        if (!visit(line))
            return;
}

std::optional<Line> findKey(std::string_view text, const Line &header, std::string_view key)
{
    std::optional<Line> found;
    forEachSectionLine(text, header, [&](const Line &line) {
        if (isKeyLine(line.text) && equalsIgnoreAsciiCase(keyOf(line.text), key))
            found = line;
        return !found;
    });
    return found;
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
    setText(std::string());
    std::string content;
    if (!files::read(path, content))
        return false;
    setText(std::move(content));
    return true;
}

void ProfileFile::setText(std::string text)
{
    m_text = std::move(text);
    m_writes = Writes();
    m_normalized = false;
}

std::string ProfileFile::text() const
{
    applyWrites();
    return m_normalized ? m_text : render(m_text, nullptr);
}

std::string_view ProfileFile::currentText() const
{
    applyWrites();
    return m_text;
}

bool ProfileFile::save() const { return saveAs(m_path); }

bool ProfileFile::saveAs(const std::string &path) const
{
    applyWrites();
    normalize();
    return files::writeAtomic(path, m_text);
}

void ProfileFile::Writes::add(const std::string &section, const std::string &key, std::string line)
{
    auto s = index.find(lowerCase(section));
    if (s == index.end()) {
        s = index.emplace(lowerCase(section), sections.size()).first;
        sections.push_back(Section{section, {}, {}});
    }
    Section &target = sections[s->second];
    const auto [k, added] = target.keys.try_emplace(lowerCase(key), target.lines.size());
    if (added)
        target.lines.push_back(std::move(line));
    else
        target.lines[k->second] = std::move(line);
}

std::string ProfileFile::render(std::string_view text, const Writes *writes)
{
    // Room for a CR before every LF and a line end after the last line, and
    // for everything written: the text is built once, without moving.
    std::size_t size = text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 2;
    if (writes)
        for (const auto &section : writes->sections) {
            size += section.name.size() + 4;
            for (const auto &line : section.lines)
                size += line.size() + 2;
        }
    std::string out;
    out.reserve(size);
    const auto emit = [&out](std::string_view line) {
        out += line;
        out += "\r\n";
    };

    const std::size_t sectionCount = writes ? writes->sections.size() : 0;
    std::vector<bool> seen(sectionCount);
    std::vector<std::vector<bool>> placed(sectionCount);
    for (std::size_t s = 0; s < sectionCount; ++s)
        placed[s].resize(writes->sections[s].lines.size());
    // The section being written to, and where the run of empty lines at its
    // end began: new keys go before that run, so the blank lines that part
    // sections stay between them.
    const Writes::Section *current = nullptr;
    std::vector<bool> *currentPlaced = nullptr;
    std::size_t held = std::string_view::npos;
    const auto release = [&](std::size_t upTo) {
        if (held == std::string_view::npos)
            return;
        Lines again(text, held);
        Line line;
        while (again.next(line) && line.begin < upTo)
            emit(line.text);
        held = std::string_view::npos;
    };
    const auto finishSection = [&](std::size_t upTo) {
        if (!current)
            return;
        for (std::size_t i = 0; i < current->lines.size(); ++i)
            if (!(*currentPlaced)[i])
                emit(current->lines[i]);
        release(upTo);
        current = nullptr;
    };

    std::string buffer;
    Lines lines(text);
    Line line;
    while (lines.next(line)) {
        if (const auto name = sectionName(line.text)) {
            finishSection(line.begin);
            if (writes) {
                const auto s = writes->index.find(lowered(*name, buffer));
                if (s != writes->index.end() && !seen[s->second]) {
                    seen[s->second] = true;
                    current = &writes->sections[s->second];
                    currentPlaced = &placed[s->second];
                }
            }
            emit(line.text);
            continue;
        }
        if (!current) {
            emit(line.text);
            continue;
        }
        if (trim(line.text).empty()) {
            if (held == std::string_view::npos)
                held = line.begin;
            continue;
        }
        release(line.begin);
        if (isKeyLine(line.text)) {
            const auto k = current->keys.find(lowered(keyOf(line.text), buffer));
            if (k != current->keys.end() && !(*currentPlaced)[k->second]) {
                (*currentPlaced)[k->second] = true;
                emit(current->lines[k->second]);
                continue;
            }
        }
        emit(line.text);
    }
    finishSection(text.size());

    for (std::size_t s = 0; s < sectionCount; ++s) {
        if (seen[s])
            continue;
        out += '[';
        out += writes->sections[s].name;
        emit("]");
        for (const auto &written : writes->sections[s].lines)
            emit(written);
    }
    return out;
}

void ProfileFile::applyWrites() const
{
    if (m_writes.empty())
        return;
    std::string updated = render(m_text, &m_writes);
    m_text = std::move(updated);
    m_writes = Writes();
    m_normalized = true;
}

void ProfileFile::normalize() const
{
    if (m_normalized)
        return;
    std::string updated = render(m_text, nullptr);
    m_text = std::move(updated);
    m_normalized = true;
}

std::optional<std::string> ProfileFile::value(const std::string &section, const std::string &key) const
{
    applyWrites();
    const auto s = findSection(m_text, section);
    if (!s)
        return std::nullopt;
    const auto k = findKey(m_text, *s, key);
    if (!k)
        return std::nullopt;
    return valueOfLine(k->text);
}

std::vector<std::optional<std::string>> ProfileFile::values(const std::string &section,
                                                            const std::vector<std::string> &keys) const
{
    applyWrites();
    std::vector<std::optional<std::string>> result(keys.size());
    const auto s = findSection(m_text, section);
    if (!s)
        return result;
    // Lower-case key -> every place it was asked for.
    std::unordered_map<std::string, std::vector<std::size_t>> wanted;
    for (std::size_t i = 0; i < keys.size(); ++i)
        wanted[lowerCase(keys[i])].push_back(i);
    std::size_t missing = wanted.size();
    std::string buffer;
    forEachSectionLine(m_text, *s, [&](const Line &line) {
        if (!isKeyLine(line.text))
            return true;
        const auto w = wanted.find(lowered(keyOf(line.text), buffer));
        if (w == wanted.end() || result[w->second.front()])
            return true;
        const std::string v = valueOfLine(line.text);
        for (const std::size_t i : w->second)
            result[i] = v;
        return --missing > 0;
    });
    return result;
}

std::unordered_map<std::string, std::string> ProfileFile::sectionValues(const std::string &section) const
{
    applyWrites();
    std::unordered_map<std::string, std::string> result;
    const auto s = findSection(m_text, section);
    if (!s)
        return result;
    forEachSectionLine(m_text, *s, [&](const Line &line) {
        if (isKeyLine(line.text))
            result.try_emplace(lowerCase(keyOf(line.text)), valueOfLine(line.text));
        return true;
    });
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

void ProfileFile::write(const std::string &section, const std::string &key, const std::string &value)
{
    // A line break inside a value would end the line early and could start a
    // bogus section; the rest of the file would be misread from there on.
    const std::string k = oneLine(key);
    putLine(oneLine(section), k, k + "=" + oneLine(value));
}

void ProfileFile::writeKeyOnly(const std::string &section, const std::string &key)
{
    const std::string k = oneLine(key);
    putLine(oneLine(section), k, k);
}

void ProfileFile::putLine(const std::string &section, const std::string &key, std::string line)
{
    // Collected writes go in together, which gives the same text as writing
    // them one after the other only while no written line can be taken for
    // another key or for a section, and each new section line finds its own
    // section again. Anything else (keys with blanks around them or an
    // equals sign in them, section names with a bracket, ...) goes in at once.
    const std::string header = "[" + section + "]";
    const auto headerName = sectionName(header);
    const bool collectable = headerName && equalsIgnoreAsciiCase(*headerName, section) && !sectionName(line)
        && isKeyLine(line) && equalsIgnoreAsciiCase(keyOf(line), key);
    if (collectable) {
        m_writes.add(section, key, std::move(line));
        return;
    }
    applyWrites();
    Writes single;
    single.add(section, key, std::move(line));
    std::string updated = render(m_text, &single);
    m_text = std::move(updated);
    m_normalized = true;
}

void ProfileFile::deleteKey(const std::string &section, const std::string &key)
{
    applyWrites();
    const auto s = findSection(m_text, section);
    if (!s)
        return;
    const auto k = findKey(m_text, *s, key);
    if (k)
        m_text.erase(k->begin, k->next - k->begin);
}

void ProfileFile::clearSection(const std::string &section)
{
    applyWrites();
    const auto s = findSection(m_text, section);
    if (!s)
        return;
    m_text.erase(s->next, sectionEnd(m_text, *s) - s->next);
}

void ProfileFile::deleteSection(const std::string &section)
{
    applyWrites();
    const auto s = findSection(m_text, section);
    if (!s)
        return;
    m_text.erase(s->begin, sectionEnd(m_text, *s) - s->begin);
}

bool ProfileFile::hasSection(const std::string &section) const
{
    applyWrites();
    return findSection(m_text, section).has_value();
}

std::vector<std::string> ProfileFile::keys(const std::string &section) const
{
    applyWrites();
    std::vector<std::string> result;
    const auto s = findSection(m_text, section);
    if (!s)
        return result;
    forEachSectionLine(m_text, *s, [&](const Line &line) {
        if (isKeyLine(line.text))
            result.emplace_back(keyOf(line.text));
        return true;
    });
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
    const FileLock lock(files::osPath(file));
    ProfileFile f;
    if (!lock.locked() || !loadForChange(f, file))
        return false;
    f.write(section, key, value);
    return f.save();
}

bool writeKeyOnly(const std::string &file, const std::string &section, const std::string &key)
{
    const FileLock lock(files::osPath(file));
    ProfileFile f;
    if (!lock.locked() || !loadForChange(f, file))
        return false;
    f.writeKeyOnly(section, key);
    return f.save();
}

bool deleteKey(const std::string &file, const std::string &section, const std::string &key)
{
    const FileLock lock(files::osPath(file));
    ProfileFile f;
    if (!lock.locked() || !f.load(file))
        return false;
    f.deleteKey(section, key);
    return f.save();
}

bool clearSection(const std::string &file, const std::string &section)
{
    const FileLock lock(files::osPath(file));
    ProfileFile f;
    if (!lock.locked() || !f.load(file))
        return false;
    f.clearSection(section);
    return f.save();
}

} // namespace profile
} // namespace vantor
