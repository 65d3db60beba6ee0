#include "submit/Sitemap.h"

#include "net/PercentEncoding.h"
#include "optimizer/PageEncoding.h"
#include "platform/Files.h"
#include "platform/HtmlTags.h"
#include "platform/Text.h"
#include "submit/RobotsTxt.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace vantor::sitemap {

using html::findIgnoringCase;
using html::hasWord;
using html::isAsciiAlnum;
using html::lowerAsciiText;
using html::trimmed;

namespace {

constexpr std::string_view kNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
// Tells our files from sitemaps of the user's other tools, so that only ours
// are ever removed.
constexpr std::string_view kMark = "<!-- Vantor!! -->\n";
constexpr std::string_view kUrlsetClose = "</urlset>\n";
constexpr std::string_view kIndexClose = "</sitemapindex>\n";
// The marks a path keeps unencoded, as in the absolute URLs of the documents.
constexpr std::string_view kPathMarks = "/-._~!$&'()*+,;=:@";

std::string urlsetOpen() { return "<urlset xmlns=\"" + std::string(kNamespace) + "\">\n"; }
std::string indexOpen() { return "<sitemapindex xmlns=\"" + std::string(kNamespace) + "\">\n"; }

std::string header(const std::string &open) { return std::string(kDeclaration) + std::string(kMark) + open; }


// The submission URL as typed may still carry a scheme or a final slash.
std::string siteBase(const std::string &submissionUrl)
{
    std::string base = submissionUrl;
    for (const std::string_view scheme : {"https://", "http://"}) {
        if (base.size() >= scheme.size() && equalsIgnoreAsciiCase(std::string_view(base).substr(0, scheme.size()), scheme)) {
            base.erase(0, scheme.size());
            break;
        }
    }
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

// ---- The head of a page -------------------------------------------------

struct HeadFacts {
    bool noindex = false;
    std::optional<std::string_view> canonical;
    std::optional<std::string_view> base;
};

HeadFacts readHead(std::string_view page)
{
    HeadFacts facts;
    std::size_t i = 0;
    while ((i = page.find('<', i)) != std::string_view::npos) {
        if (page.compare(i, 4, "<!--") == 0) {
            const std::size_t end = page.find("-->", i + 4);
            if (end == std::string_view::npos)
                break;
            i = end + 3;
            continue;
        }
        std::size_t j = i + 1;
        const bool closing = j < page.size() && page[j] == '/';
        if (closing)
            ++j;
        const std::size_t nameStart = j;
        while (j < page.size() && isAsciiAlnum(page[j]))
            ++j;
        if (j == nameStart) {
            ++i;
            continue;
        }
        const std::string name = lowerAsciiText(page.substr(nameStart, j - nameStart));
        if (closing) {
            if (name == "head")
                break;
            i = j;
            continue;
        }
        if (name == "body")
            break;
        html::StartTag tag;
        const std::size_t tagEnd = html::readAttributes(page, j, tag);
        i = tagEnd == std::string_view::npos ? page.size() : tagEnd;
        if (name == "script" || name == "style" || name == "title" || name == "textarea") {
            // Their text may look like markup without being any.
            const std::size_t end = findIgnoringCase(page, "</" + name, i);
            if (end == std::string_view::npos)
                break;
            i = end;
        } else if (name == "meta") {
            const auto metaName = tag.attribute("name");
            const auto content = tag.attribute("content");
            if (metaName && content && equalsIgnoreAsciiCase(trimmed(*metaName), "robots") &&
                (hasWord(*content, "noindex") || hasWord(*content, "none")))
                facts.noindex = true;
        } else if (name == "link") {
            const auto rel = tag.attribute("rel");
            const auto href = tag.attribute("href");
            if (!facts.canonical && rel && href && hasWord(*rel, "canonical"))
                facts.canonical = href;
        } else if (name == "base") {
            if (const auto href = tag.attribute("href"); href && !facts.base)
                facts.base = href;
        }
    }
    return facts;
}

// The character references an address may be written with in a page.
std::string withoutReferences(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const std::size_t semicolon = text.find(';', i);
        if (semicolon == std::string_view::npos || semicolon - i > 12) {
            out += text[i];
            continue;
        }
        const std::string_view name = text.substr(i + 1, semicolon - i - 1);
        char32_t cp = 0;
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            bool valid = !digits.empty();
            for (const char c : digits) {
                const int value = (c >= '0' && c <= '9')                ? c - '0'
                                  : hex && (c >= 'a' && c <= 'f')       ? c - 'a' + 10
                                  : hex && (c >= 'A' && c <= 'F')       ? c - 'A' + 10
                                                                        : -1;
                if (value < 0 || cp > 0x10FFFF) {
                    valid = false;
                    break;
                }
                cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(value);
            }
            if (!valid || cp == 0 || cp > 0x10FFFF)
                cp = 0;
        } else if (name == "amp") {
            cp = '&';
        } else if (name == "lt") {
            cp = '<';
        } else if (name == "gt") {
            cp = '>';
        } else if (name == "quot") {
            cp = '"';
        } else if (name == "apos") {
            cp = '\'';
        }
        if (cp == 0) {
            out += text[i];
            continue;
        }
        appendUtf8(out, cp);
        i = semicolon;
    }
    return out;
}

// An address taken from the page, as UTF-8 with its references resolved.
std::string addressOf(std::string_view value, std::string_view page)
{
    const bool ascii = std::all_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || detectEncoding(page).charset == Charset::Utf8)
        return withoutReferences(value);
    return withoutReferences(toUtf8(value));
}

// ---- Addresses ----------------------------------------------------------

struct UrlParts {
    std::string scheme;
    std::string authority;
    std::string path;
    std::optional<std::string> query;
    bool hasScheme = false;
    bool hasAuthority = false;
};

UrlParts partsOf(std::string_view url)
{
    UrlParts parts;
    const std::size_t hash = url.find('#');
    if (hash != std::string_view::npos)
        url = url.substr(0, hash);
    std::size_t i = 0;
    if (!url.empty() && ((url[0] >= 'a' && url[0] <= 'z') || (url[0] >= 'A' && url[0] <= 'Z'))) {
        std::size_t j = 1;
        while (j < url.size() && (isAsciiAlnum(url[j]) || url[j] == '+' || url[j] == '-' || url[j] == '.'))
            ++j;
        if (j < url.size() && url[j] == ':') {
            parts.scheme = lowerAsciiText(url.substr(0, j));
            parts.hasScheme = true;
            i = j + 1;
        }
    }
    if (url.compare(i, 2, "//") == 0) {
        const std::size_t end = url.find_first_of("/?", i + 2);
        parts.authority = std::string(url.substr(i + 2, end == std::string_view::npos ? std::string_view::npos : end - i - 2));
        parts.hasAuthority = true;
        i = end == std::string_view::npos ? url.size() : end;
    }
    const std::size_t question = url.find('?', i);
    parts.path = std::string(url.substr(i, question == std::string_view::npos ? std::string_view::npos : question - i));
    if (question != std::string_view::npos)
        parts.query = std::string(url.substr(question + 1));
    return parts;
}

// RFC 3986's removal of "." and ".." segments.
std::string withoutDotSegments(std::string_view path)
{
    std::string input(path);
    std::string output;
    auto dropLastSegment = [&output] {
        const std::size_t slash = output.rfind('/');
        output.erase(slash == std::string::npos ? 0 : slash);
    };
    while (!input.empty()) {
        if (input.starts_with("../")) {
            input.erase(0, 3);
        } else if (input.starts_with("./")) {
            input.erase(0, 2);
        } else if (input.starts_with("/./")) {
            input.replace(0, 3, "/");
        } else if (input == "/.") {
            input = "/";
        } else if (input.starts_with("/../")) {
            input.replace(0, 4, "/");
            dropLastSegment();
        } else if (input == "/..") {
            input = "/";
            dropLastSegment();
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            const std::size_t next = input.find('/', input.front() == '/' ? 1 : 0);
            output += input.substr(0, next);
            input.erase(0, next);
        }
    }
    return output;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// ---- Files --------------------------------------------------------------

// Up to limit bytes from the start of a regular file, and its modification
// time; false when it cannot be read.
bool readStart(const std::string &path, std::size_t limit, std::string &buffer, std::int64_t &modified)
{
    // O_NONBLOCK: a named pipe in the site must not stop the run.
    const int fd = ::open(files::osPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    modified = static_cast<std::int64_t>(status.st_mtime);
    buffer.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, buffer.data() + got, limit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    buffer.resize(got);
    ::close(fd);
    return true;
}

bool isRegularNotLink(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::symlink_status(files::osPath(path), ec).type() == std::filesystem::file_type::regular;
}

struct Entry {
    std::string xml;
    std::optional<std::int64_t> modified;
};

std::string lastmodElement(const std::optional<std::int64_t> &modified)
{
    return modified ? "<lastmod>" + w3cDateTime(*modified) + "</lastmod>" : std::string();
}

std::string writeProblem(const std::string &path)
{
    std::string text = de("Die Datei \"") + path + de("\" kann nicht geschrieben werden.");
    if (files::isDiskFull(files::lastError()))
        text += de(" Der Datenträger ist voll.");
    return text;
}

} // namespace

std::string fileUrl(const std::string &scheme, const std::string &submissionUrl, const std::string &name)
{
    return submitdocs::absoluteUrl(scheme, siteBase(submissionUrl) + "/" + name);
}

LeftOut leftOutBy(std::string_view head, const std::string &url)
{
    std::string converted;
    const Utf16 order = detectUtf16(head);
    if (order != Utf16::None) {
        converted = utf16ToUtf8(head.substr(0, head.size() & ~std::size_t{1}), order);
        head = converted;
    }
    const HeadFacts facts = readHead(head);
    if (facts.noindex)
        return LeftOut::Noindex;
    if (!facts.canonical)
        return LeftOut::No;
    std::string base = url;
    if (facts.base)
        base = resolvedUrl(url, addressOf(*facts.base, head));
    const std::string target = resolvedUrl(base, addressOf(*facts.canonical, head));
    const UrlParts parts = partsOf(target);
    // An address no browser could follow is ignored by the engines too.
    if ((parts.scheme != "http" && parts.scheme != "https") || parts.authority.empty())
        return LeftOut::No;
    return normalizedUrl(target) == normalizedUrl(url) ? LeftOut::No : LeftOut::Canonical;
}

std::string resolvedUrl(std::string_view base, std::string_view reference)
{
    std::string ref;
    for (const char c : trimmed(reference)) {
        if (c != '\t' && c != '\n' && c != '\r')
            ref += c;
    }
    const UrlParts own = partsOf(ref);
    if (own.hasScheme)
        return ref;
    const UrlParts from = partsOf(base);
    const std::string prefix = from.scheme + ":";
    if (own.hasAuthority)
        return prefix + ref;
    const std::string site = prefix + "//" + from.authority;
    const std::size_t hash = ref.find('#');
    const std::string withoutFragment = ref.substr(0, hash);
    if (withoutFragment.empty())
        return site + from.path + (from.query ? "?" + *from.query : std::string());
    if (withoutFragment.front() == '?')
        return site + from.path + withoutFragment;
    if (withoutFragment.front() == '/')
        return site + withoutFragment;
    const std::size_t lastSlash = from.path.rfind('/');
    const std::string directory = lastSlash == std::string::npos ? "/" : from.path.substr(0, lastSlash + 1);
    return site + directory + withoutFragment;
}

std::string normalizedUrl(std::string_view url)
{
    const UrlParts parts = partsOf(url);
    std::string authority = lowerAsciiText(parts.authority);
    const std::string defaultPort = parts.scheme == "https" ? ":443" : parts.scheme == "http" ? ":80" : "";
    if (!defaultPort.empty() && authority.size() > defaultPort.size() &&
        authority.compare(authority.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
        authority.resize(authority.size() - defaultPort.size());
    std::string path = percentEncodeKeeping(percentDecoded(withoutDotSegments(parts.path)), kPathMarks);
    if (path.empty())
        path = "/";
    std::string out = parts.scheme + "://" + authority + path;
    if (parts.query && !parts.query->empty())
        out += "?" + *parts.query;
    return out;
}

std::string w3cDateTime(std::int64_t secondsSinceEpoch)
{
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm utc{};
    if (::gmtime_r(&time, &utc) == nullptr)
        return {};
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+00:00", &utc);
    return std::string(text, length);
}

std::string xmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

bool isNumberedName(const std::string &name)
{
    constexpr std::string_view prefix = "sitemap-";
    constexpr std::string_view suffix = ".xml";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string_view number = std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return number.front() != '0' && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isOurs(std::string_view content)
{
    const std::string urls = header(urlsetOpen());
    const std::string index = header(indexOpen());
    return content.substr(0, urls.size()) == urls || content.substr(0, index.size()) == index;
}

Result write(const Input &input)
{
    Result result;
    if (input.homepagePath.empty() || !files::isFile(input.homepagePath)) {
        result.problemTitle = de("Homepage nicht gefunden");
        result.problemText = de("Die Homepage-Datei \"") + input.homepagePath +
                             de("\" wurde nicht gefunden. Ohne sie kann keine Sitemap erstellt werden.");
        return result;
    }
    const std::string base = siteBase(input.submissionUrl);
    const std::string homeDirectory = files::directoryOf(input.homepagePath);
    const std::string outDirectory = input.outDirectory.empty() ? homeDirectory : input.outDirectory;
    // Only the homepage is no sitemap of a site.
    const submitdocs::Mode mode =
        input.mode == submitdocs::Mode::StartPageOnly ? submitdocs::Mode::Optimal : input.mode;
    const std::vector<submitdocs::Document> documents =
        submitdocs::buildDocuments(mode, base, input.homepagePath, input.signs, input.extensions, kMaxDocuments);

    std::vector<Entry> entries;
    entries.reserve(documents.size());
    std::unordered_set<std::string> seen;
    std::string head;
    for (const submitdocs::Document &document : documents) {
        const std::string &relative = document.relative;
        // Files of ours are no pages of the site.
        if (relative == "sitemap.xml" || relative == "robots.txt" || isNumberedName(relative))
            continue;
        const std::string url = submitdocs::absoluteUrl(input.scheme, relative.empty() ? base : base + "/" + relative);
        if (url.size() > kMaxUrlLength) {
            ++result.tooLong;
            continue;
        }
        if (!seen.insert(url).second)
            continue;
        const std::string path = relative.empty() ? input.homepagePath : files::join(homeDirectory, relative);
        std::int64_t modified = 0;
        if (!readStart(path, kHeadBytes, head, modified))
            continue;
        const LeftOut leftOut = leftOutBy(head, url);
        if (leftOut == LeftOut::Noindex) {
            ++result.noindex;
            continue;
        }
        if (leftOut == LeftOut::Canonical) {
            ++result.canonical;
            continue;
        }
        entries.push_back({"<url><loc>" + xmlEscaped(url) + "</loc>" + lastmodElement(modified) + "</url>\n", modified});
    }
    if (entries.empty()) {
        result.problemTitle = de("Keine Seiten für die Sitemap");
        result.problemText = de("Alle Seiten der Site sind mit \"noindex\" gekennzeichnet oder verweisen mit "
                                "\"canonical\" auf eine andere Adresse. Es wurde keine Sitemap geschrieben.");
        return result;
    }
    result.urls = entries.size();

    const std::size_t maxUrls = std::max<std::size_t>(input.maxUrlsPerFile, 1);
    const std::string urlsHeader = header(urlsetOpen());
    std::size_t total = urlsHeader.size() + kUrlsetClose.size();
    for (const Entry &entry : entries)
        total += entry.xml.size();

    std::vector<std::pair<std::string, std::string>> outputs; // name, content
    if (entries.size() <= maxUrls && total <= input.maxBytesPerFile) {
        std::string content;
        content.reserve(total);
        content += urlsHeader;
        for (const Entry &entry : entries)
            content += entry.xml;
        content += kUrlsetClose;
        outputs.emplace_back("sitemap.xml", std::move(content));
    } else {
        std::string index = header(indexOpen());
        std::size_t i = 0;
        while (i < entries.size()) {
            std::string content = urlsHeader;
            std::optional<std::int64_t> newest;
            std::size_t count = 0;
            // Every file takes at least one URL, however small the limit.
            while (i < entries.size() && count < maxUrls &&
                   (count == 0 || content.size() + entries[i].xml.size() + kUrlsetClose.size() <= input.maxBytesPerFile)) {
                content += entries[i].xml;
                if (entries[i].modified && (!newest || *entries[i].modified > *newest))
                    newest = entries[i].modified;
                ++count;
                ++i;
            }
            content += kUrlsetClose;
            const std::string name = "sitemap-" + std::to_string(outputs.size() + 1) + ".xml";
            index += "<sitemap><loc>" + xmlEscaped(fileUrl(input.scheme, base, name)) + "</loc>" + lastmodElement(newest) +
                     "</sitemap>\n";
            outputs.emplace_back(name, std::move(content));
        }
        index += kIndexClose;
        // The index last: it never names a file that is not there yet.
        outputs.emplace_back("sitemap.xml", std::move(index));
    }

    for (const auto &[name, content] : outputs) {
        const std::string path = files::join(outDirectory, name);
        if (!files::writeAtomic(path, content)) {
            result.problemTitle = de("Sitemap nicht geschrieben");
            result.problemText = writeProblem(path);
            return result;
        }
        result.written.push_back(path);
    }

    // The numbered files of an earlier, larger run would tell the engines of
    // pages that are gone; only files of ours go, a user's own stay.
    const std::size_t numbered = outputs.size() > 1 ? outputs.size() - 1 : 0;
    for (const std::string &name : files::listFiles(files::join(outDirectory, "sitemap-*.xml"))) {
        if (!isNumberedName(name))
            continue;
        std::size_t number = 0;
        const char *digits = name.data() + 8;
        const auto parsed = std::from_chars(digits, name.data() + name.size() - 4, number);
        // A number too large to read is past ours anyway.
        if (parsed.ec == std::errc() && number <= numbered)
            continue;
        const std::string path = files::join(outDirectory, name);
        std::string start;
        std::int64_t modified = 0;
        if (isRegularNotLink(path) && readStart(path, 256, start, modified) && isOurs(start) &&
            start.find("<urlset") != std::string::npos && files::remove(path))
            result.removed.push_back(path);
    }

    result.robotsPath = files::join(outDirectory, "robots.txt");
    const std::string siteRobots = files::join(homeDirectory, "robots.txt");
    const std::string source =
        outDirectory == homeDirectory || files::entryExists(result.robotsPath) ? result.robotsPath : siteRobots;
    switch (robotstxt::update(source, result.robotsPath, fileUrl(input.scheme, base, "sitemap.xml"))) {
    case robotstxt::Outcome::Unreadable:
        result.problemTitle = de("robots.txt nicht geschrieben");
        result.problemText = de("Die Datei \"") + source +
                             de("\" kann nicht gelesen werden. Sie bleibt unverändert; bitte tragen Sie die Zeile "
                                "\"Sitemap: ") + fileUrl(input.scheme, base, "sitemap.xml") + de("\" selbst ein.");
        return result;
    case robotstxt::Outcome::Unwritable:
        result.problemTitle = de("robots.txt nicht geschrieben");
        result.problemText = writeProblem(result.robotsPath);
        return result;
    case robotstxt::Outcome::Created:
    case robotstxt::Outcome::Updated:
        result.robotsChanged = true;
        result.written.push_back(result.robotsPath);
        break;
    case robotstxt::Outcome::Unchanged:
        break;
    }
    result.ok = true;
    return result;
}

} // namespace vantor::sitemap
