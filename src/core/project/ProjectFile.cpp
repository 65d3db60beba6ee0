#include "project/ProjectFile.h"

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/Ui.h"

#include <new>
#include <unordered_map>

namespace vantor {

namespace {

// Research entries come back through the profile reader with its 150-byte
// buffer, i.e. at most 149 characters.
constexpr std::size_t kResearchReadLength = 149;

bool isBreak(char c) { return c == '\r' || c == '\n'; }

std::string sectionHeader(std::string_view section)
{
    std::string header;
    header.reserve(section.size() + 2);
    header += '[';
    header += section;
    header += ']';
    return header;
}

// One pass over a project file's text that answers the same questions as
// readSectionValue, but for a whole section at once: a file of many
// megabytes must not be scanned once per key.
class SectionIndex
{
public:
    explicit SectionIndex(std::string_view text)
    {
        std::size_t pos = 0;
        while (pos < text.size()) {
            while (pos < text.size() && isBreak(text[pos]))
                ++pos;
            std::size_t end = pos;
            while (end < text.size() && !isBreak(text[end]))
                ++end;
            if (end > pos)
                m_lines.push_back(text.substr(pos, end - pos));
            pos = end;
        }
    }

    bool find(std::string_view section, std::string_view key, std::string &value)
    {
        auto it = m_sections.find(std::string(section));
        if (it == m_sections.end())
            it = m_sections.emplace(std::string(section), build(section)).first;
        const auto found = it->second.find(std::string(key));
        if (found == it->second.end())
            return false;
        value = found->second;
        return true;
    }

private:
    using Keys = std::unordered_map<std::string, std::string>;

    Keys build(std::string_view section) const
    {
        Keys keys;
        const std::string header = sectionHeader(section);
        std::size_t i = 0;
        while (i < m_lines.size() && m_lines[i].substr(0, header.size()) != header)
            ++i;
        for (++i; i < m_lines.size() && m_lines[i].front() != '['; ++i) {
            const std::string_view line = m_lines[i];
            const auto keyEnd = line.find_first_of("= \t");
            const std::string_view key = line.substr(0, keyEnd);
            if (keys.count(std::string(key)))
                continue;
            keys.emplace(std::string(key), valueAfterKey(line, key.size()));
        }
        return keys;
    }

    std::vector<std::string_view> m_lines;
    std::unordered_map<std::string, Keys> m_sections;

public:
    static std::string valueAfterKey(std::string_view line, std::size_t keyLength)
    {
        std::size_t v = keyLength;
        while (v < line.size() && (line[v] == '=' || line[v] == ' ' || line[v] == '\t'))
            ++v;
        std::string_view value = line.substr(v);
        if (value.size() > 1 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
};

template<typename Field>
void readField(SectionIndex &index, const char *section, const std::string &key, Field &field)
{
    field.clear();
    std::string value;
    if (index.find(section, key, value))
        field.set(value);
}

int readNumber(SectionIndex &index, const char *section, const char *key)
{
    std::string value;
    return index.find(section, key, value) ? toInt(value) : 0;
}

std::string number(int n) { return std::to_string(n); }

// Keys of the list sections: homepage terms 4000.., copy k's terms
// 4100 + 15 (k - 1) .., copy titles 5300.., reserved texts 5400..,
// descriptions 5500.., doorway terms 1..
std::string homepageKey(int i) { return number(4000 + i); }
std::string copyTermKey(int copy, int i) { return number(4100 + ProjectRecord::kTermsPerCopy * copy + i); }

std::string formatName(const std::string &text, const std::string &name)
{
    std::string out = text;
    const auto pos = out.find("%s");
    if (pos != std::string::npos)
        out.replace(pos, 2, name);
    return out;
}

} // namespace

std::string projectDirectory() { return programSettings().programDirectory + "/projects"; }

std::string projectFilePath(const std::string &name) { return projectDirectory() + "/" + name + ".qx!"; }

bool projectFileExists(const std::string &name) { return files::isFile(projectFilePath(name)); }

bool readSectionValue(std::string_view text, std::string_view section, std::string_view key, std::string &value)
{
    return SectionIndex(text).find(section, key, value);
}

bool LoadProjectData(const std::string &name)
{
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    std::string content;
    try {
        if (!files::read(path, content))
            return false;
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
    // The reader works on the text as a C string: it ends at a NUL byte.
    std::string_view text(content);
    text = text.substr(0, text.find('\0'));

    ProjectRecord &r = projectRecord();
    try {
        SectionIndex index(text);
        readField(index, "homepage", "path", r.path);
        readField(index, "homepage", "title1", r.title1);
        readField(index, "homepage", "title2", r.title2);
        readField(index, "homepage", "title3", r.title3);
        readField(index, "homepage", "author", r.author);
        readField(index, "homepage", "description", r.description);
        readField(index, "homepage", "startpage", r.startpage);
        r.makedirs = readNumber(index, "homepage", "makedirs");
        r.deleteold = readNumber(index, "homepage", "deleteold");
        r.doorlikehp = readNumber(index, "homepage", "doorlikehp");
        r.scope = readNumber(index, "homepage", "scope");
        for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
            readField(index, "keywords", homepageKey(i), r.homepageKeywords[i]);
        for (int c = 0; c < ProjectRecord::kCopies; ++c)
            for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
                readField(index, "keywords", copyTermKey(c, i), r.copyKeywords[c][i]);
        for (int c = 0; c < ProjectRecord::kCopies; ++c)
            readField(index, "copy", number(5500 + c), r.copyDescriptions[c]);
        for (int c = 0; c < ProjectRecord::kCopies; ++c)
            readField(index, "copy", number(5300 + c), r.copyTitles[c]);
        for (int c = 0; c < ProjectRecord::kCopies; ++c)
            readField(index, "copy", number(5400 + c), r.copyReserved[c]);
        for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
            readField(index, "doorways", number(i + 1), r.doorwayKeywords[i]);
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
    content.clear();
    content.shrink_to_fit();

    ProfileFile profile;
    profile.load(path);
    const auto research = profile.sectionValues("research");
    for (int i = 0; i < ProjectRecord::kResearchEntries; ++i) {
        const auto it = research.find(number(i + 1));
        const std::string value = it == research.end() ? std::string() : it->second;
        r.researchList[i].set(std::string_view(value).substr(0, kResearchReadLength));
    }
    return true;
}

bool LoadProjectOptions(const std::string &name)
{
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    ProfileFile profile;
    profile.load(path);
    const auto config = profile.sectionValues("config");
    ProjectOptions &o = projectOptions();
    bool failed = false;
    for (const auto &code : ProjectOptions::codes()) {
        if (failed) {
            o.*code.field = 0;
            continue;
        }
        const auto it = config.find(code.name);
        std::string value = it == config.end() ? std::string("0") : it->second;
        if (value.size() > 259)
            value.resize(259);
        if (value.empty()) {
            // An empty value reads as a failed read: this code and every
            // later one are cleared.
            failed = true;
            o.*code.field = 0;
            continue;
        }
        o.*code.field = toInt(value);
    }
    return !failed;
}

namespace {

// Loads the project file for changing it. A file that exists but cannot be
// read must not be replaced by one holding only what we write now.
bool openForSave(ProfileFile &profile, const std::string &path)
{
    if (profile.load(path))
        return true;
    profile.setPath(path);
    return !files::exists(path);
}

} // namespace

bool SaveProjectData(const std::string &name)
{
    if (!isPlainProjectName(name))
        return false;
    const std::string path = projectFilePath(name);
    ProfileFile profile;
    if (!openForSave(profile, path))
        return false;
    const ProjectRecord &r = projectRecord();
    profile.write("homepage", "path", r.path.str());
    profile.write("homepage", "title1", r.title1.str());
    profile.write("homepage", "title2", r.title2.str());
    profile.write("homepage", "title3", r.title3.str());
    profile.write("homepage", "author", r.author.str());
    profile.write("homepage", "description", r.description.str());
    profile.write("homepage", "startpage", r.startpage.str());
    profile.write("homepage", "makedirs", number(r.makedirs));
    profile.write("homepage", "doorlikehp", number(r.doorlikehp));
    profile.write("homepage", "deleteold", number(r.deleteold));
    profile.write("homepage", "scope", number(r.scope));
    for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
        profile.write("keywords", homepageKey(i), r.homepageKeywords[i].str());
    for (int c = 0; c < ProjectRecord::kCopies; ++c)
        for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
            profile.write("keywords", copyTermKey(c, i), r.copyKeywords[c][i].str());
    for (int c = 0; c < ProjectRecord::kCopies; ++c)
        profile.write("copy", number(5500 + c), r.copyDescriptions[c].str());
    for (int c = 0; c < ProjectRecord::kCopies; ++c)
        profile.write("copy", number(5300 + c), r.copyTitles[c].str());
    for (int c = 0; c < ProjectRecord::kCopies; ++c)
        profile.write("copy", number(5400 + c), r.copyReserved[c].str());
    for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
        profile.write("doorways", number(i + 1), r.doorwayKeywords[i].str());
    if (!profile.save())
        return false;

    SettingsStore &store = settingsStore();
    if (!store.hasSubkey(name))
        store.createSubkey(name);
    return store.hasSubkey(name);
}

bool SaveProjectOptions(const std::string &name)
{
    if (!isPlainProjectName(name))
        return false;
    const std::string path = projectFilePath(name);
    ProfileFile profile;
    if (!openForSave(profile, path))
        return false;
    const ProjectOptions &o = projectOptions();
    for (const auto &code : ProjectOptions::codes())
        profile.write("config", code.name, number(o.*code.field));
    return profile.save();
}

bool SaveHomepagePath(const std::string &name)
{
    if (!isPlainProjectName(name))
        return false;
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    ProfileFile profile;
    if (!profile.load(path))
        return false;
    profile.write("homepage", "path", projectRecord().path.str());
    return profile.save();
}

void ResetProjectRecord()
{
    ProjectRecord &r = projectRecord();
    const int scope = r.scope;
    // Copied from an empty one in static storage: the record is too large
    // for a temporary on the stack.
    static const ProjectRecord empty;
    r = empty;
    r.scope = scope;
    r.makedirs = 1;
    r.deleteold = 1;
    r.doorlikehp = 1;
    ProjectOptions &o = projectOptions();
    o.tico = 0;
    o.deco = 0;
    o.sonz = 0;
}

void RestoreStandardOptions()
{
    ProjectOptions &o = projectOptions();
    for (const auto &code : ProjectOptions::codes())
        o.*code.field = code.standard;
    o.hiddenForm = 2;
    projectRecord().scope = 1;
}

void ClearForNewProject(bool standardOptions, bool keepHomepageTexts, bool keepHomepageKeywords, bool keepCopyTexts,
                        bool keepCopyKeywords, bool keepDoorways)
{
    ProjectRecord &r = projectRecord();
    r.path.clear();
    r.homepageDirectory.clear();
    r.homepageFileName.clear();
    r.homepageExtension.clear();
    if (standardOptions) {
        const int sonz = projectOptions().sonz;
        RestoreStandardOptions();
        projectOptions().sonz = sonz;
    }
    if (!keepHomepageTexts) {
        r.title1.clear();
        r.title2.clear();
        r.title3.clear();
        r.author.clear();
        r.description.clear();
        r.makedirs = 1;
        r.deleteold = 1;
    }
    if (!keepHomepageKeywords)
        for (auto &t : r.homepageKeywords)
            t.clear();
    if (!keepCopyKeywords)
        for (auto &group : r.copyKeywords)
            for (auto &t : group)
                t.clear();
    if (!keepCopyTexts) {
        for (int c = 0; c < ProjectRecord::kCopies; ++c) {
            r.copyTitles[c].clear();
            r.copyReserved[c].clear();
            r.copyDescriptions[c].clear();
        }
        r.startpage.clear();
    }
    if (!keepDoorways)
        for (auto &t : r.doorwayKeywords)
            t.clear();
    for (auto &t : r.researchList)
        t.clear();
    r.doorlikehp = 1;
}

std::string displayNameMain(const std::string &name)
{
    return name.find("default") != std::string::npos ? std::string("Standardprojekt") : name;
}

std::string displayNameWizard(const std::string &name)
{
    return std::string_view("default").find(name) != std::string_view::npos ? std::string("Standardprojekt") : name;
}

bool isPlainProjectName(const std::string &name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || c == '/' || c == '\\')
            return false;
    }
    return true;
}

void showProjectFailure(Ui &ui, ProjectFailure failure, const std::string &name)
{
    static constexpr const char *kCannotRead = " gelesen werden. Möglicherweise existiert diese Datei nicht oder wurde "
                                               "manipuliert.";
    static constexpr const char *kCannotWrite = " geschrieben werden. Möglicherweise existiert diese Datei nicht oder "
                                                "wird gerade von einem anderen Programm benutzt.";
    // Title and text; %s stands for the project name.
    const auto message = [&]() -> std::pair<std::string, std::string> {
        switch (failure) {
        case ProjectFailure::LoadAtStart:
            return {"Fehler beim Lesen der Projektdaten",
                    std::string("Die Daten konnten nicht aus der Projektdatei \"%s.qx!\"") + kCannotRead
                        + "\n\nEs werden die Daten für das Standardprojekt geladen."};
        case ProjectFailure::LoadDefaultAtStart:
            return {"Fehler beim Lesen der Standard-Projektdaten",
                    std::string("Die Daten konnten nicht aus der Standard-Projektdatei \"default.qx!\"") + kCannotRead
                        + "\n\nVantor!! kann ohne diesen Daten nicht ausgeführt werden. Überprüfen Sie den Zugriff "
                          "und den Inhalt des Unterverzeichnisses \\projects und führen Sie notfalls die Installation "
                          "erneut durch."};
        case ProjectFailure::LoadData:
            return {"Fehler beim Lesen der Daten",
                    std::string("Die Daten konnten nicht aus der Projektdatei \"%s.qx!\"") + kCannotRead};
        case ProjectFailure::LoadOptions:
            return {"Fehler beim Lesen der Daten",
                    std::string("Die Daten konnten nicht aus der Konfigurationsdatei \"%s.qx!\"") + kCannotRead};
        case ProjectFailure::SaveData:
            return {"Fehler beim Schreiben der Daten",
                    std::string("Die Daten konnten nicht in die Projektdatei \"%s.qx!\"") + kCannotWrite};
        case ProjectFailure::SaveOptions:
            return {"Fehler beim Schreiben der Daten",
                    std::string("Die Daten konnten nicht in die Konfigurationsdatei \"%s.qx!\"") + kCannotWrite};
        }
        return {};
    }();
    ui.message(de(message.first), formatName(de(message.second), name));
}

} // namespace vantor
