#include "platform/Files.h"

#include "platform/Text.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor::files {

namespace {

fs::path toPath(const std::string &path) { return fs::path(osPath(path)); }

std::vector<std::string> list(const std::string &pattern, bool wantDirectories)
{
    std::vector<std::string> names;
    const std::string dir = directoryOf(pattern);
    const std::string mask = fileNameOf(pattern);
    std::error_code ec;
    fs::directory_iterator it(toPath(dir.empty() ? std::string(".") : dir), ec);
    if (ec)
        return names;
    for (const auto &entry : it) {
        std::error_code typeEc;
        const bool isDir = entry.is_directory(typeEc);
        if (typeEc || isDir != wantDirectories)
            continue;
        if (!wantDirectories && !entry.is_regular_file(typeEc))
            continue;
        const std::string name = toCp1252(entry.path().filename().string());
        if (wildcardMatch(mask, name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string osPath(const std::string &path) { return toUtf8(path); }

bool exists(const std::string &path)
{
    std::error_code ec;
    return fs::exists(toPath(path), ec);
}

bool isFile(const std::string &path)
{
    std::error_code ec;
    return fs::is_regular_file(toPath(path), ec);
}

bool isDirectory(const std::string &path)
{
    std::error_code ec;
    return fs::is_directory(toPath(path), ec);
}

std::optional<std::uint64_t> size(const std::string &path)
{
    std::error_code ec;
    const auto s = fs::file_size(toPath(path), ec);
    if (ec)
        return std::nullopt;
    return s;
}

bool read(const std::string &path, std::string &content)
{
    std::ifstream in(toPath(path), std::ios::binary);
    if (!in)
        return false;
    std::string data;
    std::error_code ec;
    const auto expected = fs::file_size(toPath(path), ec);
    if (!ec)
        data.reserve(static_cast<std::size_t>(expected));
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        data.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return false;
    content = std::move(data);
    return true;
}

bool write(const std::string &path, const std::string &content)
{
    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    return static_cast<bool>(out);
}

bool writeAtomic(const std::string &path, const std::string &content)
{
    return writeAtomicOsPath(osPath(path), content);
}

bool writeAtomicOsPath(const std::string &osPath, const std::string &content)
{
    static std::atomic<unsigned> counter{0};
    const fs::path target(osPath);
    fs::path temp = target;
    temp += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

bool remove(const std::string &path)
{
    std::error_code ec;
    return fs::remove(toPath(path), ec) && !ec;
}

bool copy(const std::string &from, const std::string &to, bool overwrite)
{
    std::error_code ec;
    const auto options = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
    return fs::copy_file(toPath(from), toPath(to), options, ec) && !ec;
}

bool createDirectory(const std::string &path)
{
    std::error_code ec;
    return fs::create_directory(toPath(path), ec) && !ec;
}

bool createDirectories(const std::string &path)
{
    std::error_code ec;
    fs::create_directories(toPath(path), ec);
    return !ec && isDirectory(path);
}

bool removeDirectory(const std::string &path)
{
    if (!isDirectory(path))
        return false;
    std::error_code ec;
    return fs::remove(toPath(path), ec) && !ec;
}

std::vector<std::string> listFiles(const std::string &pattern) { return list(pattern, false); }

std::vector<std::string> listDirectories(const std::string &pattern) { return list(pattern, true); }

std::string join(const std::string &directory, const std::string &name)
{
    if (directory.empty())
        return name;
    if (directory.back() == kSeparator)
        return directory + name;
    return directory + kSeparator + name;
}

std::string directoryOf(const std::string &path)
{
    const auto pos = path.rfind(kSeparator);
    if (pos == std::string::npos)
        return {};
    if (pos == 0)
        return std::string(1, kSeparator);
    return path.substr(0, pos);
}

std::string fileNameOf(const std::string &path)
{
    const auto pos = path.rfind(kSeparator);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string extensionOf(const std::string &path)
{
    const std::string name = fileNameOf(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    return lowerCp1252(name.substr(dot + 1));
}

bool wildcardMatch(const std::string &pattern, const std::string &name)
{
    // Iterative matcher with backtracking on the last '*'.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::string::npos;
    std::size_t mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    // "*.*" matches names without a dot as well, as on Windows.
    if (p < pattern.size() && pattern.substr(p) == ".*")
        return true;
    return p == pattern.size();
}

} // namespace vantor::files
