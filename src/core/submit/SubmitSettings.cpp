#include "submit/SubmitSettings.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace vantor::submitsettings {

namespace {

std::vector<std::string> readNumbered(const std::string &projectFile, const std::string &section, std::size_t most,
                                      std::size_t capacity, bool stopAtEmpty)
{
    std::vector<std::string> values;
    ProfileFile file;
    if (!file.load(projectFile))
        return values;
    const auto keys = file.sectionValues(section);
    for (std::size_t n = 1; n <= most; ++n) {
        const auto found = keys.find(std::to_string(n));
        if (found == keys.end() || (stopAtEmpty && found->second.empty()))
            break;
        values.push_back(found->second.substr(0, capacity));
    }
    return values;
}

// The whole section written anew under the file's lock: hundreds of keys
// in one load and one save, and nobody else's change lost in between.
bool writeNumbered(const std::string &projectFile, const std::string &section, const std::vector<std::string> &values)
{
    const FileLock lock(files::osPath(projectFile));
    ProfileFile file;
    if (!lock.locked() || !file.load(projectFile))
        return false;
    file.clearSection(section);
    for (std::size_t i = 0; i < values.size(); ++i)
        file.write(section, std::to_string(i + 1), values[i]);
    return file.save();
}

} // namespace

Entries readEntries(const std::string &projectFile)
{
    Entries entries;
    entries.url = profile::readString(projectFile, "project", "submiturl", "");
    entries.email = profile::readString(projectFile, "project", "submitemail", "");
    entries.mode = submitdocs::modeFromNumber(profile::readString(projectFile, "project", "submittype", ""));
    return entries;
}

bool saveEntries(const std::string &projectFile, const Entries &entries)
{
    bool ok = profile::writeString(projectFile, "project", "submitemail", entries.email);
    ok = profile::writeString(projectFile, "project", "submiturl", entries.url) && ok;
    ok = profile::writeString(projectFile, "project", "submittype", std::to_string(static_cast<int>(entries.mode))) &&
         ok;
    return ok;
}

std::vector<std::string> readFileList(const std::string &projectFile)
{
    return readNumbered(projectFile, "submitfilelist", submitdocs::kMaxDocuments, kMaxStoredDocumentLength, false);
}

bool saveFileList(const std::string &projectFile, const std::vector<std::string> &documents)
{
    return writeNumbered(projectFile, "submitfilelist", documents);
}

std::vector<std::string> readExtensions(const std::string &projectFile)
{
    return readNumbered(projectFile, "Extensions", submitdocs::kMaxExtensions, kMaxStoredExtensionLength, true);
}

bool saveExtensions(const std::string &projectFile, const std::vector<std::string> &extensions)
{
    return writeNumbered(projectFile, "Extensions", extensions);
}

std::string readSiteScheme(const std::string &projectFile)
{
    return profile::readString(projectFile, "project", "sitescheme", "") == "http" ? "http" : "https";
}

bool saveSiteScheme(const std::string &projectFile, const std::string &scheme)
{
    return profile::writeString(projectFile, "project", "sitescheme", scheme == "http" ? "http" : "https");
}

} // namespace vantor::submitsettings
