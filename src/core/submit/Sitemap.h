#pragma once

#include "optimizer/StartSigns.h"
#include "submit/SubmitDocuments.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The sitemap.xml of the site (sitemaps.org protocol) and its line in
// robots.txt: what the engines read today instead of a submission form.
namespace sitemap {

// What one sitemap file may hold; beyond it the URLs are spread over
// sitemap-1.xml, sitemap-2.xml, ... and sitemap.xml becomes their index.
constexpr std::size_t kMaxUrlsPerFile = 50000;
constexpr std::size_t kMaxBytesPerFile = 50u * 1024u * 1024u;
// Longer URLs are refused by the engines.
constexpr std::size_t kMaxUrlLength = 2047;
// noindex and canonical stand in the head; reading no more than this keeps
// a site of 50,000 pages fast.
constexpr std::size_t kHeadBytes = 64 * 1024;
// The whole site, not the thousand documents an engine is sent.
constexpr std::size_t kMaxDocuments = 1000000;

struct Input {
    // As the project keeps them: cp1252, the URL without scheme.
    std::string submissionUrl;
    std::string scheme = "https";
    std::string homepagePath;
    submitdocs::Mode mode = submitdocs::Mode::Optimal;
    StartSigns signs;
    std::vector<std::string> extensions;
    // Where the files go; empty for the homepage's directory. robots.txt
    // then goes there too, made from the one there or else from the site's.
    std::string outDirectory;
    // The protocol's limits; tests make them small.
    std::size_t maxUrlsPerFile = kMaxUrlsPerFile;
    std::size_t maxBytesPerFile = kMaxBytesPerFile;
};

struct Result {
    bool ok = false;
    // Why not (cp1252), when ok is false.
    std::string problemTitle;
    std::string problemText;
    std::size_t urls = 0;
    // The pages left out: noindex, a canonical URL of another page, a URL
    // too long for the engines.
    std::size_t noindex = 0;
    std::size_t canonical = 0;
    std::size_t tooLong = 0;
    // Paths (cp1252) in the order written: the sitemap files, robots.txt
    // last when it changed.
    std::vector<std::string> written;
    // sitemap-N.xml of an earlier, larger run, no longer in the index.
    std::vector<std::string> removed;
    std::string robotsPath;
    bool robotsChanged = false;
};

// The whole job: document list, sitemap files, robots.txt.
Result write(const Input &input);

// The absolute URL of sitemap.xml (or of another file beside it).
std::string fileUrl(const std::string &scheme, const std::string &submissionUrl, const std::string &name);

enum class LeftOut { No, Noindex, Canonical };
// What the start of a page says about the page at url: a robots meta
// element with noindex (or none), or a canonical link to another URL
// (relative ones resolved against url or the page's base element).
LeftOut leftOutBy(std::string_view head, const std::string &url);

// Scheme and host in lower case, without the default port, the path
// percent-encoded the one way absolute URLs are, dot segments resolved, no
// fragment: two spellings of one address become equal.
std::string normalizedUrl(std::string_view url);
// reference resolved against the absolute URL base.
std::string resolvedUrl(std::string_view base, std::string_view reference);

// W3C date and time in UTC, e.g. "2026-12-09T16:08:45+00:00".
std::string w3cDateTime(std::int64_t secondsSinceEpoch);
std::string xmlEscaped(std::string_view text);

// True for the name sitemap-N.xml (N from 1, no leading zero).
bool isNumberedName(const std::string &name);
// True when the content is a sitemap file this program wrote.
bool isOurs(std::string_view content);

} // namespace sitemap

} // namespace vantor
