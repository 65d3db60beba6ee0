#pragma once

#include "optimizer/StartSigns.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

// Which documents of the local copy of the site go to the engines, and the
// checks of what the user typed before anything goes online.
namespace submitdocs {

constexpr std::size_t kMaxDocuments = 1000;
constexpr std::size_t kMaxDocumentLength = 511;
constexpr std::size_t kMaxExtensions = 49;
constexpr std::size_t kMaxExtensionLength = 9;

enum class Mode { StartPageOnly = 1415, Optimal = 1416, Complete = 1417 };
// The stored number as a mode; anything else is "Optimal".
Mode modeFromNumber(const std::string &stored);

// What "Komplett" takes when the project names no extensions.
const std::vector<std::string> &defaultExtensions();

struct Problem {
    std::string title;
    std::string text;
};
// The checks of the e-mail field and then of the URL field, in the order
// the user meets them.
std::optional<Problem> emailProblem(const std::string &email);
std::optional<Problem> urlProblem(const std::string &url);

// The document URLs (submission URL + "/" + the path below the homepage's
// directory, without scheme) in the mode's order, at most kMaxDocuments.
// An empty extension list stands for the defaults.
std::vector<std::string> buildList(Mode mode, const std::string &submissionUrl, const std::string &homepagePath,
                                   const StartSigns &signs, const std::vector<std::string> &extensions);

// The same list with each document's path below the homepage's directory
// (cp1252, '/' between the parts; empty for the bare submission URL), up to
// limit documents: the sitemap and IndexNow need the files behind the URLs
// and more of them than an engine is sent.
struct Document {
    std::string url;
    std::string relative;
};
std::vector<Document> buildDocuments(Mode mode, const std::string &submissionUrl, const std::string &homepagePath,
                                     const StartSigns &signs, const std::vector<std::string> &extensions,
                                     std::size_t limit);

// A document URL as the web knows it: scheme ("https" or "http"), "://",
// the host as typed and the path percent-encoded as UTF-8 (letters, digits,
// "/" and the marks a path may carry stay as they are).
std::string absoluteUrl(const std::string &scheme, const std::string &documentUrl);

} // namespace submitdocs

} // namespace vantor
