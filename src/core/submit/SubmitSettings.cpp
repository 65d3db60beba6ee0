#include "submit/SubmitSettings.h"

#include "platform/Profile.h"
#include "project/NumberedSection.h"

namespace vantor::submitsettings {

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
    return numberedsection::read(projectFile, "submitfilelist", submitdocs::kMaxDocuments, kMaxStoredDocumentLength,
                                 false);
}

bool saveFileList(const std::string &projectFile, const std::vector<std::string> &documents)
{
    return numberedsection::write(projectFile, "submitfilelist", documents);
}

std::vector<std::string> readExtensions(const std::string &projectFile)
{
    return numberedsection::read(projectFile, "Extensions", submitdocs::kMaxExtensions, kMaxStoredExtensionLength, true);
}

bool saveExtensions(const std::string &projectFile, const std::vector<std::string> &extensions)
{
    return numberedsection::write(projectFile, "Extensions", extensions);
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
