#include "project/ProjectFile.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "project/SectionText.h"
#include "project/SectionWriter.h"
#include "ui/Ui.h"

#include <array>
#include <new>
#include <optional>
#include <vector>

namespace vantor {

namespace {

// Research entries come back through the profile reader with its 150-byte
// buffer, i.e. at most 149 characters.
constexpr std::size_t kResearchReadLength = 149;

std::string number(int n) { return std::to_string(n); }

// The keys of each section, in the order in which they are written.
enum HomepageKey { kPath, kTitle1, kTitle2, kTitle3, kAuthor, kDescription, kStartpage, kMakedirs, kDoorlikehp,
                   kDeleteold, kScope };
const std::vector<std::string> &homepageKeys()
{
    static const std::vector<std::string> keys{"path",      "title1",   "title2",     "title3",
                                               "author",    "description", "startpage", "makedirs",
                                               "doorlikehp", "deleteold", "scope"};
    return keys;
}

// The homepage terms 4000.., then copy k's terms 4100 + 15 (k - 1) ..
const std::vector<std::string> &keywordKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
            k.push_back(number(4000 + i));
        for (int c = 0; c < ProjectRecord::kCopies; ++c)
            for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
                k.push_back(number(4100 + ProjectRecord::kTermsPerCopy * c + i));
        return k;
    }();
    return keys;
}

// The copies' descriptions 5500.., titles 5300.. and reserved texts 5400..
const std::vector<std::string> &copyKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (const int base : {5500, 5300, 5400})
            for (int c = 0; c < ProjectRecord::kCopies; ++c)
                k.push_back(number(base + c));
        return k;
    }();
    return keys;
}

// Keys 1, 2, ... count of them.
std::vector<std::string> countingKeys(int count)
{
    std::vector<std::string> k;
    k.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i)
        k.push_back(number(i));
    return k;
}

const std::vector<std::string> &doorwayKeys()
{
    static const std::vector<std::string> keys = countingKeys(ProjectRecord::kDoorwayTerms);
    return keys;
}

const std::vector<std::string> &researchKeys()
{
    static const std::vector<std::string> keys = countingKeys(ProjectRecord::kResearchEntries);
    return keys;
}

std::string_view valueOrEmpty(const std::optional<std::string_view> &value)
{
    return value.value_or(std::string_view());
}

int numberOf(const std::optional<std::string_view> &value) { return value ? toInt(std::string(*value)) : 0; }

// Reads the project file, puts the writes in and saves it. A file that
// exists but cannot be read must not be replaced by one holding only what we
// write now. Under the file's lock: what another program wrote into the
// other sections meanwhile stays.
bool rewriteSections(const std::string &path, const SectionWriter &writer)
{
    const FileLock lock(files::osPath(path));
    if (!lock.locked())
        return false;
    std::string content;
    if (!files::read(path, content) && files::exists(path))
        return false;
    content = writer.apply(content);
    return files::writeAtomic(path, content);
}

// Loads the project file for changing it, with the same care.
bool openForSave(ProfileFile &profile, const std::string &path)
{
    if (profile.load(path))
        return true;
    profile.setPath(path);
    return !files::exists(path);
}

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
    const auto found = SectionText(text).values(section, {std::string(key)}).front();
    if (!found)
        return false;
    value = *found;
    return true;
}

// A project file of any size may be too large for memory; that ends the load
// or save with "Fehler Code 2007", not the program.
bool LoadProjectData(const std::string &name)
{
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    try {
        // One read: our sections by their own rules, the research list by the
        // profile functions'.
        ProfileFile profile;
        if (!profile.load(path))
            return false;
        const SectionText text(profile.currentText());
        const auto homepage = text.values("homepage", homepageKeys());
        const auto keywords = text.values("keywords", keywordKeys());
        const auto copy = text.values("copy", copyKeys());
        const auto doorways = text.values("doorways", doorwayKeys());
        const auto research = profile.values("research", researchKeys());
        const int makedirs = numberOf(homepage[kMakedirs]);
        const int deleteold = numberOf(homepage[kDeleteold]);
        const int doorlikehp = numberOf(homepage[kDoorlikehp]);
        const int scope = numberOf(homepage[kScope]);

        // Nothing below allocates, so the record changes whole or not at all.
        ProjectRecord &r = projectRecord();
        r.path.set(valueOrEmpty(homepage[kPath]));
        r.title1.set(valueOrEmpty(homepage[kTitle1]));
        r.title2.set(valueOrEmpty(homepage[kTitle2]));
        r.title3.set(valueOrEmpty(homepage[kTitle3]));
        r.author.set(valueOrEmpty(homepage[kAuthor]));
        r.description.set(valueOrEmpty(homepage[kDescription]));
        r.startpage.set(valueOrEmpty(homepage[kStartpage]));
        r.makedirs = makedirs;
        r.deleteold = deleteold;
        r.doorlikehp = doorlikehp;
        r.scope = scope;
        std::size_t k = 0;
        for (auto &term : r.homepageKeywords)
            term.set(valueOrEmpty(keywords[k++]));
        for (auto &terms : r.copyKeywords)
            for (auto &term : terms)
                term.set(valueOrEmpty(keywords[k++]));
        k = 0;
        for (auto &description : r.copyDescriptions)
            description.set(valueOrEmpty(copy[k++]));
        for (auto &title : r.copyTitles)
            title.set(valueOrEmpty(copy[k++]));
        for (auto &reserved : r.copyReserved)
            reserved.set(valueOrEmpty(copy[k++]));
        for (std::size_t i = 0; i < r.doorwayKeywords.size(); ++i)
            r.doorwayKeywords[i].set(valueOrEmpty(doorways[i]));
        for (std::size_t i = 0; i < r.researchList.size(); ++i) {
            const std::string_view entry = research[i] ? std::string_view(*research[i]) : std::string_view();
            r.researchList[i].set(entry.substr(0, kResearchReadLength));
        }
        return true;
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
}

bool LoadProjectOptions(const std::string &name)
{
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    const auto &codes = ProjectOptions::codes();
    const auto &modern = ProjectOptions::modernCodes();
    std::array<int, ProjectOptions::kCodeCount> read{};
    std::array<int, ProjectOptions::kModernCodeCount> readModern{};
    bool failed = false;
    try {
        ProfileFile profile;
        profile.load(path);
        std::vector<std::string> names;
        for (const auto &code : codes)
            names.emplace_back(code.name);
        for (const auto &code : modern)
            names.emplace_back(code.name);
        const auto config = profile.values("config", names);
        for (std::size_t i = 0; i < codes.size() && !failed; ++i) {
            std::string value = config[i].value_or("0");
            if (value.size() > 259)
                value.resize(259);
            // An empty value reads as a failed read: this code and every
            // later one are cleared.
            failed = value.empty();
            read[i] = failed ? 0 : toInt(value);
        }
        // The later keys stand on their own: missing or empty is off, and
        // neither makes the read fail.
        for (std::size_t i = 0; i < modern.size(); ++i) {
            std::string value = config[codes.size() + i].value_or("0");
            if (value.size() > 259)
                value.resize(259);
            readModern[i] = value.empty() ? 0 : toInt(value);
        }
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
    ProjectOptions &o = projectOptions();
    for (std::size_t i = 0; i < codes.size(); ++i)
        o.*codes[i].field = read[i];
    for (std::size_t i = 0; i < modern.size(); ++i)
        o.*modern[i].field = readModern[i];
    return !failed;
}

bool SaveProjectData(const std::string &name)
{
    if (!isPlainProjectName(name))
        return false;
    const std::string path = projectFilePath(name);
    const ProjectRecord &r = projectRecord();
    try {
        SectionWriter writer;
        const auto &h = homepageKeys();
        writer.write("homepage", h[kPath], r.path.view());
        writer.write("homepage", h[kTitle1], r.title1.view());
        writer.write("homepage", h[kTitle2], r.title2.view());
        writer.write("homepage", h[kTitle3], r.title3.view());
        writer.write("homepage", h[kAuthor], r.author.view());
        writer.write("homepage", h[kDescription], r.description.view());
        writer.write("homepage", h[kStartpage], r.startpage.view());
        writer.write("homepage", h[kMakedirs], number(r.makedirs));
        writer.write("homepage", h[kDoorlikehp], number(r.doorlikehp));
        writer.write("homepage", h[kDeleteold], number(r.deleteold));
        writer.write("homepage", h[kScope], number(r.scope));
        std::size_t k = 0;
        for (const auto &term : r.homepageKeywords)
            writer.write("keywords", keywordKeys()[k++], term.view());
        for (const auto &terms : r.copyKeywords)
            for (const auto &term : terms)
                writer.write("keywords", keywordKeys()[k++], term.view());
        k = 0;
        for (const auto &description : r.copyDescriptions)
            writer.write("copy", copyKeys()[k++], description.view());
        for (const auto &title : r.copyTitles)
            writer.write("copy", copyKeys()[k++], title.view());
        for (const auto &reserved : r.copyReserved)
            writer.write("copy", copyKeys()[k++], reserved.view());
        for (std::size_t i = 0; i < r.doorwayKeywords.size(); ++i)
            writer.write("doorways", doorwayKeys()[i], r.doorwayKeywords[i].view());
        if (!rewriteSections(path, writer))
            return false;
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }

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
    try {
        const FileLock lock(files::osPath(path));
        ProfileFile profile;
        if (!lock.locked() || !openForSave(profile, path))
            return false;
        const ProjectOptions &o = projectOptions();
        for (const auto &code : ProjectOptions::codes())
            profile.write("config", code.name, number(o.*code.field));
        // Only once in use, so that a file of the older form keeps its bytes.
        for (const auto &code : ProjectOptions::modernCodes())
            if (o.*code.field != 0 || profile.value("config", code.name))
                profile.write("config", code.name, number(o.*code.field));
        return profile.save();
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
}

namespace {

// One value of the homepage section, the rest of the file as it is; fails
// without writing when the project file does not exist.
bool saveHomepageValue(const std::string &name, std::size_t key, const std::string &value)
{
    if (!isPlainProjectName(name))
        return false;
    const std::string path = projectFilePath(name);
    if (!files::isFile(path))
        return false;
    try {
        SectionWriter writer;
        writer.write("homepage", homepageKeys()[key], value);
        return rewriteSections(path, writer);
    } catch (const std::bad_alloc &) {
        reportOutOfMemory();
        return false;
    }
}

} // namespace

bool SaveMakeDirs(const std::string &name) { return saveHomepageValue(name, kMakedirs, number(projectRecord().makedirs)); }

bool SaveHomepagePath(const std::string &name) { return saveHomepageValue(name, kPath, projectRecord().path.str()); }

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
    for (const auto &code : ProjectOptions::modernCodes())
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
    // Waiting longer would not have helped the user either; trying again
    // in a moment will.
    const bool saving = failure == ProjectFailure::SaveData || failure == ProjectFailure::SaveOptions;
    if (saving && FileLock::lastBusy()) {
        ui.message(de(message.first), FileLock::busyText(name + ".qx!"));
        return;
    }
    ui.message(de(message.first), formatName(de(message.second), name));
}

} // namespace vantor
