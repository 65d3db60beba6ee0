#pragma once

#include "submit/SubmitDocuments.h"

#include <string>
#include <vector>

namespace vantor {

// What the submission keeps in the current project's file: the entries of
// the dialog, the saved document list and the extensions of "Komplett".
namespace submitsettings {

constexpr std::size_t kMaxStoredDocumentLength = 259;
constexpr std::size_t kMaxStoredExtensionLength = 48;

struct Entries {
    std::string url;
    std::string email;
    submitdocs::Mode mode = submitdocs::Mode::Optimal;
};

Entries readEntries(const std::string &projectFile);
bool saveEntries(const std::string &projectFile, const Entries &entries);

// Keys 1, 2, ... up to the first missing one (at most 1,000).
std::vector<std::string> readFileList(const std::string &projectFile);
// Empties the section and writes the list anew, in one pass over the file.
bool saveFileList(const std::string &projectFile, const std::vector<std::string> &documents);

// Keys 1 to 49 up to the first missing or empty one; none at all is an
// empty list (the caller takes the defaults).
std::vector<std::string> readExtensions(const std::string &projectFile);
bool saveExtensions(const std::string &projectFile, const std::vector<std::string> &extensions);

// The scheme the site is reached by ("sitescheme": "https" unless it says
// "http"), for the sitemap and IndexNow; the submission URL carries none.
std::string readSiteScheme(const std::string &projectFile);
bool saveSiteScheme(const std::string &projectFile, const std::string &scheme);

} // namespace submitsettings

} // namespace vantor
