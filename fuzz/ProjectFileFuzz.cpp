// Feeds arbitrary files and sequences of changes to the profile functions
// and to the project file. Beyond the sanitizers it checks what they
// promise:
// - ProfileFile gives the text that writing one key after the other into a
//   plain list of lines gives (the way it always worked), however its writes
//   are collected, and a saved profile reads back what was written;
// - SectionWriter gives the text of a plain write-one-at-a-time by the same
//   rules, the section reader finds every written value, no other value the
//   reader sees changes, and whatever follows a NUL byte stays as it was;
// - SaveProjectData, SaveHomepagePath and SaveProjectOptions read back
//   through LoadProjectData and LoadProjectOptions, on any file.

#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "project/SectionText.h"
#include "project/SectionWriter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using namespace vantor;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// ---------------------------------------------------------------------------
// The profile as a plain list of lines, each change applied at once.

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

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

std::string_view keyOf(std::string_view line) { return trim(line.substr(0, line.find('='))); }

std::string oneLine(const std::string &text)
{
    std::string out = text.substr(0, text.find('\0'));
    for (char &c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

class LineProfile
{
public:
    void setText(const std::string &text)
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

    std::string text() const
    {
        std::string out;
        for (const auto &line : m_lines)
            out += line + "\r\n";
        return out;
    }

    std::optional<std::string> value(const std::string &section, const std::string &key) const
    {
        const auto s = findSection(section);
        if (s == npos)
            return std::nullopt;
        const auto k = findKey(s, key);
        if (k == npos)
            return std::nullopt;
        const auto eq = m_lines[k].find('=');
        return eq == std::string::npos ? std::string() : std::string(trim(std::string_view(m_lines[k]).substr(eq + 1)));
    }

    std::vector<std::string> keys(const std::string &section) const
    {
        std::vector<std::string> result;
        const auto s = findSection(section);
        if (s == npos)
            return result;
        for (std::size_t i = s + 1; i < sectionEnd(s); ++i)
            if (isKeyLine(m_lines[i]))
                result.emplace_back(keyOf(m_lines[i]));
        return result;
    }

    bool hasSection(const std::string &section) const { return findSection(section) != npos; }

    void write(const std::string &section, const std::string &key, const std::string &value)
    {
        const std::string k = oneLine(key);
        putLine(oneLine(section), k, k + "=" + oneLine(value));
    }
    void writeKeyOnly(const std::string &section, const std::string &key)
    {
        const std::string k = oneLine(key);
        putLine(oneLine(section), k, k);
    }
    void deleteKey(const std::string &section, const std::string &key)
    {
        const auto s = findSection(section);
        if (s == npos)
            return;
        const auto k = findKey(s, key);
        if (k != npos)
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(k));
    }
    void clearSection(const std::string &section)
    {
        const auto s = findSection(section);
        if (s != npos)
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(s + 1),
                          m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd(s)));
    }
    void deleteSection(const std::string &section)
    {
        const auto s = findSection(section);
        if (s != npos)
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(s),
                          m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd(s)));
    }

private:
    static constexpr std::size_t npos = std::string::npos;

    static bool isKeyLine(std::string_view line) { return !trim(line).empty() && trim(line).front() != ';'; }

    std::size_t findSection(const std::string &section) const
    {
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const auto name = sectionName(m_lines[i]);
            if (name && equalsIgnoreAsciiCase(*name, section))
                return i;
        }
        return npos;
    }
    std::size_t sectionEnd(std::size_t s) const
    {
        std::size_t i = s + 1;
        while (i < m_lines.size() && !sectionName(m_lines[i]))
            ++i;
        return i;
    }
    std::size_t findKey(std::size_t s, const std::string &key) const
    {
        for (std::size_t i = s + 1; i < sectionEnd(s); ++i)
            if (isKeyLine(m_lines[i]) && equalsIgnoreAsciiCase(keyOf(m_lines[i]), key))
                return i;
        return npos;
    }
    void putLine(const std::string &section, const std::string &key, const std::string &line)
    {
        const auto s = findSection(section);
        if (s != npos) {
            const auto k = findKey(s, key);
            if (k != npos) {
                m_lines[k] = line;
                return;
            }
            std::size_t end = sectionEnd(s);
            while (end > s + 1 && trim(m_lines[end - 1]).empty())
                --end;
            m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(end), line);
            return;
        }
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(line);
    }

    std::vector<std::string> m_lines;
};

// ---------------------------------------------------------------------------
// The project sections written one key at a time, straight from the rules.

bool isBreak(char c) { return c == '\r' || c == '\n'; }

std::string writeOneSectionKey(std::string text, const std::string &section, const std::string &key,
                               const std::string &value)
{
    const std::size_t visibleEnd = std::min(text.find('\0'), text.size());
    const std::string line = key + "=" + SectionWriter::encode(value);
    std::vector<std::pair<std::size_t, std::size_t>> lines; // begin, end
    for (std::size_t pos = 0; pos < visibleEnd;) {
        while (pos < visibleEnd && isBreak(text[pos]))
            ++pos;
        const std::size_t begin = pos;
        while (pos < visibleEnd && !isBreak(text[pos]))
            ++pos;
        if (pos > begin)
            lines.emplace_back(begin, pos);
    }
    const auto content = [&](std::size_t i) { return text.substr(lines[i].first, lines[i].second - lines[i].first); };
    const std::string header = "[" + section + "]";
    std::size_t h = 0;
    while (h < lines.size() && content(h).compare(0, header.size(), header) != 0)
        ++h;
    if (h == lines.size()) {
        std::string block = "[" + section + "]\r\n" + line + "\r\n";
        if (visibleEnd > 0 && !isBreak(text[visibleEnd - 1]))
            block = "\r\n" + block;
        text.insert(visibleEnd, block);
        return text;
    }
    std::size_t insertAt = lines[h].second;
    bool fixed = false;
    for (std::size_t i = h + 1; i < lines.size() && content(i).front() != '['; ++i) {
        const std::string c = content(i);
        const std::size_t keyEnd = std::min(c.find_first_of("= \t"), c.size());
        if (c.substr(0, keyEnd) == key) {
            text.replace(lines[i].first, c.size(), line);
            return text;
        }
        const auto first = c.find_first_not_of(" \t");
        fixed = fixed || (first != std::string::npos && c[first] == '[');
        if (!fixed && first != std::string::npos)
            insertAt = lines[i].second;
    }
    text.insert(insertAt, "\r\n" + line);
    return text;
}

std::optional<std::string> sectionValue(const std::string &text, const std::string &section, const std::string &key)
{
    std::string value;
    if (!readSectionValue(text, section, key, value))
        return std::nullopt;
    return value;
}

// ---------------------------------------------------------------------------

std::string pickName(FuzzedDataProvider &input)
{
    static const char *const names[] = {"a", "A", "b", "homepage", "Homepage", "keywords", "config", "research",
                                        " a", "a ", "a]", "[a", "a=b", ";a", "", "x\ny", "path", "4000", "1"};
    const auto pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(names));
    if (pick == std::size(names))
        return input.ConsumeRandomLengthString(6);
    return names[pick];
}

std::string pickKey(FuzzedDataProvider &input)
{
    static const char *const keys[] = {"path", "title1", "Path", "4000", "4001", "1", "2", "5500", "x", "[x", "a b"};
    const auto pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(keys));
    if (pick == std::size(keys))
        return input.ConsumeRandomLengthString(5);
    return keys[pick];
}

// A section the text has (most of the time), one of ours, or any name.
std::string pickSection(FuzzedDataProvider &input, const std::vector<std::string> &inText)
{
    static const char *const sections[] = {"homepage", "keywords", "copy", "doorways", "Homepage", "a]b", "x"};
    if (!inText.empty() && input.ConsumeBool())
        return inText[input.ConsumeIntegralInRange<std::size_t>(0, inText.size() - 1)];
    const auto pick = input.ConsumeIntegralInRange<std::size_t>(0, std::size(sections));
    if (pick == std::size(sections))
        return input.ConsumeRandomLengthString(5);
    return sections[pick];
}

std::vector<std::string> sectionsIn(const std::string &start)
{
    std::vector<std::string> names;
    const SectionText text(start);
    SectionText::Line line;
    for (std::size_t pos = 0; text.nextLine(pos, line);) {
        const std::string_view content = text.text(line);
        const auto close = content.find(']');
        if (SectionText::startsSection(content) && close != std::string_view::npos)
            names.emplace_back(content.substr(1, close - 1));
    }
    return names;
}

const std::string &scratchDirectory()
{
    // Never destroyed, so the exit handler that removes it can still use it.
    static const std::string *path = [] {
        const auto *name = new std::string(
            (std::filesystem::temp_directory_path() / ("vantor-fuzz-project-" + std::to_string(::getpid()))).string());
        std::filesystem::create_directories(*name + "/projects");
        std::atexit([] { std::filesystem::remove_all(scratchDirectory()); });
        programSettings().programDirectory = *name;
        setSettingsStorePath(*name + "/registry.ini");
        return name;
    }();
    return *path;
}

// True when the profile functions and the section reader split the text
// into the same lines and no section of one lies inside a section of the
// other, so that a change to one kind of section cannot show in the other.
// (A line that both take for a key of theirs must change for both.)
bool plainFile(const std::string &text)
{
    if (text.find('\0') != std::string::npos)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = std::string_view(text).substr(start, end - start);
        const auto first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && first > 0 && line[first] == '[')
            return false;
        start = end + 1;
    }
    return true;
}

template<typename List>
bool sameTexts(const List &a, const List &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto &x, const auto &y) { return x.view() == y.view(); });
}

void fuzzProfile(FuzzedDataProvider &input, const std::string &start)
{
    ProfileFile profile;
    LineProfile lines;
    profile.setText(start);
    lines.setText(start);
    // Written since the last change that could hide them: section, key, value.
    std::map<std::pair<std::string, std::string>, std::string> written;
    const std::string file = scratchDirectory() + "/profile.ini";

    const int steps = input.ConsumeIntegralInRange(0, 40);
    for (int step = 0; step < steps && input.remaining_bytes() > 0; ++step) {
        const std::string section = pickName(input);
        const std::string key = pickName(input);
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1:
        case 2: {
            const std::string value = input.ConsumeRandomLengthString(12);
            profile.write(section, key, value);
            lines.write(section, key, value);
            const std::string s = oneLine(section), k = oneLine(key);
            const std::string headerLine = "[" + s + "]";
            const auto header = sectionName(headerLine);
            const std::string line = k + "=" + oneLine(value);
            const bool findable = header && equalsIgnoreAsciiCase(*header, s) && !sectionName(line)
                && !trim(line).empty() && trim(line).front() != ';' && equalsIgnoreAsciiCase(keyOf(line), k);
            if (!findable) {
                written.clear();
                break;
            }
            std::string ls = s, lk = k;
            for (char &c : ls)
                c = lowerAscii(c);
            for (char &c : lk)
                c = lowerAscii(c);
            written[{ls, lk}] = std::string(trim(oneLine(value)));
            check(lines.value(s, k) == written[{ls, lk}]);
            break;
        }
        case 3:
            profile.writeKeyOnly(section, key);
            lines.writeKeyOnly(section, key);
            written.clear();
            break;
        case 4:
            profile.deleteKey(section, key);
            lines.deleteKey(section, key);
            written.clear();
            break;
        case 5:
            profile.clearSection(section);
            lines.clearSection(section);
            written.clear();
            break;
        case 6:
            profile.deleteSection(section);
            lines.deleteSection(section);
            written.clear();
            break;
        case 7:
            check(profile.value(section, key) == lines.value(section, key));
            check(profile.keys(section) == lines.keys(section));
            check(profile.hasSection(section) == lines.hasSection(section));
            check(profile.values(section, {key, section}) == std::vector{lines.value(section, key),
                                                                           lines.value(section, section)});
            break;
        case 8: {
            check(profile.saveAs(file));
            ProfileFile loaded;
            check(loaded.load(file));
            check(loaded.text() == lines.text());
            for (const auto &[where, value] : written)
                check(loaded.value(where.first, where.second) == value);
            break;
        }
        case 9: {
            const std::string text = input.ConsumeRandomLengthString(64);
            profile.setText(text);
            lines.setText(text);
            written.clear();
            break;
        }
        }
    }
    check(profile.text() == lines.text());
    for (const auto &[where, value] : written)
        check(profile.value(where.first, where.second) == value);
}

void fuzzSections(FuzzedDataProvider &input, const std::string &start)
{
    SectionWriter writer;
    std::string oneByOne = start;
    std::map<std::pair<std::string, std::string>, std::string> written;
    const std::vector<std::string> inText = sectionsIn(start);
    const int writes = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < writes && input.remaining_bytes() > 0; ++i) {
        const std::string section = pickSection(input, inText);
        const std::string key = pickKey(input);
        const std::string value = input.ConsumeRandomLengthString(10);
        const bool writable = section.find_first_of(std::string("]\r\n\0", 4)) == std::string::npos && !key.empty()
            && key.front() != '[' && key.find_first_of(std::string("= \t\r\n\0", 6)) == std::string::npos;
        check(writer.write(section, key, value) == writable);
        if (!writable)
            continue;
        oneByOne = writeOneSectionKey(oneByOne, section, key, value);
        std::string expected = value.substr(0, value.find('\0'));
        std::replace(expected.begin(), expected.end(), '\r', ' ');
        std::replace(expected.begin(), expected.end(), '\n', ' ');
        written[{section, key}] = expected;
    }
    const std::string out = writer.apply(start);
    check(out == oneByOne);
    const auto nul = start.find('\0');
    if (nul != std::string::npos)
        check(out.substr(out.find('\0')) == start.substr(nul));
    for (const auto &[where, value] : written)
        check(sectionValue(out, where.first, where.second) == value);

    // Every other key the reader could see before reads as it did.
    std::vector<std::string> keys;
    SectionText text(start);
    SectionText::Line line;
    for (std::size_t pos = 0; text.nextLine(pos, line) && keys.size() < 40;)
        keys.emplace_back(SectionText::keyOf(text.text(line)));
    for (const auto &[where, value] : written)
        for (const auto &key : keys)
            if (!written.count({where.first, key}))
                check(sectionValue(out, where.first, key) == sectionValue(start, where.first, key));
}

std::string cleaned(std::string value, std::size_t capacity)
{
    value = value.substr(0, value.find('\0'));
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return value.substr(0, capacity);
}

void fuzzProject(FuzzedDataProvider &input, const std::string &start)
{
    scratchDirectory();
    const std::string name = "fuzz";
    {
        // Bytes for bytes: the file names of the engine are cp1252.
        std::FILE *f = std::fopen((scratchDirectory() + "/projects/fuzz.qx!").c_str(), "wb");
        check(f != nullptr);
        check(std::fwrite(start.data(), 1, start.size(), f) == start.size());
        std::fclose(f);
    }
    ProjectRecord &r = projectRecord();
    ResetProjectRecord();
    const bool loaded = LoadProjectData(name);
    check(loaded);
    LoadProjectOptions(name);
    const auto research = r.researchList;
    const ProjectOptions options = projectOptions();

    // The path alone.
    const std::string path = input.ConsumeRandomLengthString(40);
    r.path = path;
    check(SaveHomepagePath(name));
    check(LoadProjectData(name));
    check(r.path.str() == cleaned(path, decltype(r.path)::capacity));
    if (plainFile(start))
        check(sameTexts(r.researchList, research));

    // Everything.
    const std::string title = input.ConsumeRandomLengthString(20);
    const std::string term = input.ConsumeRandomLengthString(20);
    const std::string door = input.ConsumeRandomLengthString(20);
    const int scope = input.ConsumeIntegral<int>();
    r.title1 = title;
    r.copyKeywords[8][14] = term;
    r.doorwayKeywords[149] = door;
    r.copyTitles[0] = title;
    r.scope = scope;
    check(SaveProjectData(name));
    ResetProjectRecord();
    check(LoadProjectData(name));
    check(r.path.str() == cleaned(path, decltype(r.path)::capacity));
    check(r.title1.str() == cleaned(title, decltype(r.title1)::capacity));
    check(r.copyTitles[0].str() == cleaned(title, decltype(r.title1)::capacity));
    check(r.copyKeywords[8][14].str() == cleaned(term, ProjectRecord::Term::capacity));
    check(r.doorwayKeywords[149].str() == cleaned(door, ProjectRecord::Term::capacity));
    check(r.homepageKeywords[0].empty());
    check(r.scope == scope);
    if (plainFile(start)) {
        check(sameTexts(r.researchList, research));
        LoadProjectOptions(name);
        for (const auto &code : ProjectOptions::codes())
            check(projectOptions().*code.field == options.*code.field);
    }

    // The options, which must leave the record as it was.
    const auto before = std::make_tuple(r.path.str(), r.title1.str(), r.doorwayKeywords[149].str(), r.scope);
    int n = input.ConsumeIntegralInRange(-1000000, 1000000);
    for (const auto &code : ProjectOptions::codes())
        projectOptions().*code.field = n++;
    check(SaveProjectOptions(name));
    RestoreStandardOptions();
    check(LoadProjectOptions(name));
    n -= ProjectOptions::kCodeCount;
    for (const auto &code : ProjectOptions::codes())
        check(projectOptions().*code.field == n++);
    ResetProjectRecord();
    check(LoadProjectData(name));
    if (plainFile(start))
        check(std::make_tuple(r.path.str(), r.title1.str(), r.doorwayKeywords[149].str(), r.scope) == before);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int part = input.ConsumeIntegralInRange(0, 2);
    const std::string start = input.ConsumeRandomLengthString(400);
    if (part == 0)
        fuzzProfile(input, start);
    else if (part == 1)
        fuzzSections(input, start);
    else
        fuzzProject(input, start);
    return 0;
}
