#include "submit/RobotsTxt.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <vector>

namespace vantor::robotstxt {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Host and path of an http(s) URL, the host in lower case; empty when the
// text is no such URL.
std::string placeOf(std::string_view url)
{
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos)
        return {};
    const std::string scheme = lowerCp1252(url.substr(0, colon));
    if (scheme != "http" && scheme != "https")
        return {};
    const std::string_view rest = url.substr(colon + 3);
    const std::size_t slash = rest.find('/');
    std::string place = lowerCp1252(rest.substr(0, slash));
    if (place.empty())
        return {};
    place += slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    return place;
}

struct Line {
    std::string_view text;
    std::string_view end;
};

// The lines with their own line ends: robots.txt knows CR LF, LF and CR.
std::vector<Line> linesOf(std::string_view content)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        const std::size_t next = content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        lines.push_back({content.substr(start, end - start), content.substr(end, next - end)});
        start = next;
    }
    return lines;
}

} // namespace

bool namesSitemap(std::string_view line, const std::string &sitemapUrl)
{
    line = trimmed(line);
    constexpr std::string_view field = "sitemap";
    if (line.size() <= field.size() || !equalsIgnoreAsciiCase(line.substr(0, field.size()), field))
        return false;
    line = trimmed(line.substr(field.size()));
    if (line.empty() || line.front() != ':')
        return false;
    line.remove_prefix(1);
    // A comment may follow the URL.
    line = trimmed(line.substr(0, line.find('#')));
    const std::string place = placeOf(line);
    return !place.empty() && place == placeOf(sitemapUrl);
}

std::string withSitemap(const std::string &content, const std::string &sitemapUrl)
{
    const std::string ours = "Sitemap: " + sitemapUrl;
    const std::string_view whole(content);
    const std::size_t markLength = whole.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
    const std::string_view body = whole.substr(markLength);
    std::vector<Line> lines = linesOf(body);

    bool found = false;
    std::vector<Line> kept;
    kept.reserve(lines.size());
    for (const Line &line : lines) {
        if (!namesSitemap(line.text, sitemapUrl)) {
            kept.push_back(line);
        } else if (!found) {
            found = true;
            kept.push_back({ours, line.end});
        } else if (line.end.empty() && !kept.empty()) {
            // A dropped last line without line end leaves the file without
            // one, as it was.
            kept.back().end = {};
        }
    }

    std::string result(whole.substr(0, markLength));
    result.reserve(content.size() + ours.size() + 2);
    for (const Line &line : kept) {
        result += line.text;
        result += line.end;
    }
    if (found)
        return result;

    std::string_view lineEnd = "\n";
    for (const Line &line : lines) {
        if (!line.end.empty()) {
            lineEnd = line.end;
            break;
        }
    }
    if (body.empty())
        return result + ours + std::string(lineEnd);
    if (lines.back().end.empty())
        return result + std::string(lineEnd) + ours;
    return result + ours + std::string(lineEnd);
}

Outcome update(const std::string &source, const std::string &target, const std::string &sitemapUrl)
{
    std::string content;
    if (files::entryExists(source) && !files::read(source, content))
        return Outcome::Unreadable;
    const std::string wanted = withSitemap(content, sitemapUrl);
    const bool targetThere = files::entryExists(target);
    if (targetThere) {
        std::string current;
        if (source == target) {
            if (wanted == content)
                return Outcome::Unchanged;
        } else if (files::read(target, current) && current == wanted) {
            return Outcome::Unchanged;
        }
    }
    if (!files::writeAtomic(target, wanted))
        return Outcome::Unwritable;
    return targetThere ? Outcome::Updated : Outcome::Created;
}

} // namespace vantor::robotstxt
