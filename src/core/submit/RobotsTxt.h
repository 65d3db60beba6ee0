#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The robots.txt beside the site: it tells the crawlers where the sitemap
// lies. The file is the user's, with rules we know nothing of, so only the
// one line of ours is touched and every other byte stays as it was.
namespace robotstxt {

// A "Sitemap:" line (field name in any case, blanks around it) that names
// the same file as sitemapUrl: the same host and path, the scheme either
// "http" or "https" (a line of an earlier run before the site moved to the
// other scheme is ours as well).
bool namesSitemap(std::string_view line, const std::string &sitemapUrl);

// The content with exactly one "Sitemap: <sitemapUrl>" line: the first line
// that names our sitemap becomes that line (keeping its line end), further
// ones go; without one the line is added at the end, with the line end the
// file uses (CR LF, LF or CR). A file without a final line end keeps having
// none; a byte-order mark stays in front. Nothing else changes.
std::string withSitemap(const std::string &content, const std::string &sitemapUrl);

enum class Outcome { Created, Updated, Unchanged, Unreadable, Unwritable };

// Brings the robots.txt at target up to date, taking the content from
// source (the same path for the usual case; another one when the files go to
// a directory of their own and the site's robots.txt is the model). A file
// that is there but cannot be read is never replaced. Written atomically.
Outcome update(const std::string &source, const std::string &target, const std::string &sitemapUrl);

} // namespace robotstxt

} // namespace vantor
