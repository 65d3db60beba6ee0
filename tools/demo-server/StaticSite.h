#pragma once

#include <httplib.h>

#include <filesystem>
#include <optional>
#include <string>

namespace vantor::demo {

// A copy of the user's web site, served at "/" so that the program's test
// of the homepage and a look at the submitted pages get an answer on this
// machine. Only what lies inside the directory is ever sent: no ".." leaves
// it, and a symbolic link counts by where it ends up.
class StaticSite
{
public:
    explicit StaticSite(std::filesystem::path directory);

    const std::filesystem::path &directory() const { return m_directory; }

    // The file for a decoded request path; a directory gives its index.htm or
    // index.html. Nothing for what is missing or lies outside.
    std::optional<std::filesystem::path> fileFor(const std::string &path) const;
    // By the file's extension; what is not known goes as bytes.
    static std::string contentType(const std::filesystem::path &file);

    // Answers the request with the file, or 404.
    void serve(const httplib::Request &request, httplib::Response &response) const;

private:
    std::filesystem::path m_directory;
};

} // namespace vantor::demo
