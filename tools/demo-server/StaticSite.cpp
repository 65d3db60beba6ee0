#include "StaticSite.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string_view>

namespace vantor::demo {

namespace fs = std::filesystem;

namespace {

// What lies at or below the canonical directory; false for the directory's
// own parent reached through a link.
bool inside(const fs::path &directory, const fs::path &file)
{
    return std::mismatch(directory.begin(), directory.end(), file.begin(), file.end()).first == directory.end();
}

} // namespace

StaticSite::StaticSite(fs::path directory)
    : m_directory(std::move(directory))
{
}

std::optional<fs::path> StaticSite::fileFor(const std::string &path) const
{
    // Built from the path's parts, so that no part can climb out or start a
    // new root; "." and empty parts just vanish.
    fs::path relative;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.find('\0') != std::string_view::npos || part.find('\\') != std::string_view::npos)
            return std::nullopt;
        relative /= std::string(part);
    }
    std::error_code error;
    const fs::path directory = fs::canonical(m_directory, error);
    if (error)
        return std::nullopt;
    fs::path file = fs::canonical(directory / relative, error);
    if (error || !inside(directory, file))
        return std::nullopt;
    if (fs::is_directory(file, error)) {
        std::optional<fs::path> index;
        for (const char *name : {"index.htm", "index.html"}) {
            const fs::path candidate = fs::canonical(file / name, error);
            if (!error && inside(directory, candidate) && fs::is_regular_file(candidate, error)) {
                index = candidate;
                break;
            }
        }
        return index;
    }
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    return file;
}

std::string StaticSite::contentType(const fs::path &file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Pages keep the charset their own META tag names; the sites the
    // program optimises are seldom UTF-8.
    static const std::pair<const char *, const char *> types[] = {
        {".htm", "text/html"},        {".html", "text/html"},      {".shtml", "text/html"},
        {".css", "text/css"},         {".js", "text/javascript"},  {".txt", "text/plain"},
        {".xml", "application/xml"},  {".gif", "image/gif"},       {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},      {".png", "image/png"},       {".ico", "image/x-icon"},
        {".svg", "image/svg+xml"},    {".webp", "image/webp"},     {".pdf", "application/pdf"},
        {".zip", "application/zip"},
    };
    for (const auto &[known, type] : types)
        if (extension == known)
            return type;
    return "application/octet-stream";
}

void StaticSite::serve(const httplib::Request &request, httplib::Response &response) const
{
    const std::optional<fs::path> file = fileFor(request.path);
    std::ifstream in;
    if (file)
        in.open(*file, std::ios::binary);
    if (!file || !in) {
        response.status = 404;
        response.set_content("<html><head><meta charset=\"utf-8\"><title>Nicht gefunden</title></head><body>"
                             "<p>Diese Seite gibt es auf der Site nicht.</p></body></html>\n",
                             "text/html; charset=utf-8");
        return;
    }
    std::ostringstream content;
    content << in.rdbuf();
    response.set_content(content.str(), contentType(*file));
}

} // namespace vantor::demo
