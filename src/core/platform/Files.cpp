#include "platform/Files.h"

#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vantor::files {

namespace {

thread_local int t_lastError = 0;

// Notes why an operation failed and fails it; an error-free failure (a
// stream that went bad without errno, say) still gets a reason.
bool fail(int error)
{
    t_lastError = error != 0 ? error : EIO;
    return false;
}

bool fail(const std::error_code &ec) { return fail(ec.value()); }

// A file the user made read-only is theirs to keep, though its directory
// lets us replace it. No write bit at all counts for root too, who passes
// every access check: a site owner working as root protects a file the same
// way and expects the same.
bool writeProtected(const std::string &target, const struct stat &st)
{
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        errno = EACCES;
        return true;
    }
    return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
}

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
        if (wildcardMatch(mask, name) && !isAtomicTempName(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string osPath(const std::string &path) { return toUtf8(path); }

int lastError() { return t_lastError; }

bool isDiskFull(int error) { return error == ENOSPC || error == EDQUOT; }

bool append(const std::string &path, const std::string &text)
{
    const int fd = ::open(osPath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(errno);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            return fail(error);
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 || fail(errno);
}

bool writeProtected(const std::string &path)
{
    struct stat st {};
    const std::string os = osPath(path);
    if (::stat(os.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (!writeProtected(os, st))
        return false;
    t_lastError = EACCES;
    return true;
}

bool exists(const std::string &path)
{
    std::error_code ec;
    return fs::exists(toPath(path), ec);
}

bool entryExists(const std::string &path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(toPath(path), ec));
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
    errno = 0;
    std::ifstream in(toPath(path), std::ios::binary);
    if (!in)
        return fail(errno);
    std::string data;
    std::error_code ec;
    const auto expected = fs::file_size(toPath(path), ec);
    if (!ec)
        data.reserve(static_cast<std::size_t>(expected));
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        data.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return fail(errno);
    content = std::move(data);
    return true;
}

bool write(const std::string &path, const std::string &content)
{
    const std::string target = osPath(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) && writeProtected(target, st))
        return fail(errno);
    errno = 0;
    std::ofstream out(toPath(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return fail(errno);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out)
        return fail(errno);
    return true;
}

bool writeAtomic(const std::string &path, const std::string &content, const AtomicWrite &how)
{
    return writeAtomicOsPath(osPath(path), content, how);
}

namespace {

// Temporary files are ".~vt" + 8 hex digits of the target's name + "-" + our
// process id + ".tmp": short enough that a target whose name nearly fills
// the file system's limit still gets one, and the process id tells a stale
// file of a killed run from one that a running writer still owns.
constexpr std::string_view kTempPrefix = ".~vt";
constexpr std::string_view kTempSuffix = ".tmp";

std::string tempTag(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08x", hash);
    return buf;
}

// The process id in a temporary file's name, or 0 when it is none of ours.
long tempOwner(std::string_view name)
{
    if (name.size() <= kTempPrefix.size() + 9 + kTempSuffix.size() || name.substr(0, kTempPrefix.size()) != kTempPrefix
        || name.substr(name.size() - kTempSuffix.size()) != kTempSuffix)
        return 0;
    std::string_view rest = name.substr(kTempPrefix.size());
    for (int i = 0; i < 8; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(rest[static_cast<std::size_t>(i)])))
            return 0;
    if (rest[8] != '-')
        return 0;
    rest = rest.substr(9, rest.size() - 9 - kTempSuffix.size());
    if (rest.empty() || rest.size() > 10)
        return 0;
    long pid = 0;
    for (char c : rest) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

bool processAlive(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

void removeStaleTemps(const std::string &dir)
{
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return;
    const long self = static_cast<long>(::getpid());
    while (const dirent *entry = ::readdir(d)) {
        const long owner = tempOwner(entry->d_name);
        if (owner > 0 && owner != self && !processAlive(owner))
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

bool firstLookInto(const std::string &dir)
{
    static std::mutex mutex;
    static std::set<std::string> seen;
    const std::lock_guard<std::mutex> lock(mutex);
    return seen.insert(dir).second;
}

bool writeAll(int fd, const std::string &content)
{
    const char *p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

void syncDirectory(const std::string &dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Puts the finished temporary file in place without replacing anything.
bool linkNoReplace(const std::string &temp, const std::string &target)
{
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that rename: a hard link fails just as well when
    // the target exists.
    if (::link(temp.c_str(), target.c_str()) != 0)
        return false;
    ::unlink(temp.c_str());
    return true;
}

} // namespace

bool isAtomicTempName(const std::string &name) { return tempOwner(name) > 0; }

bool writeAtomicOsPath(const std::string &osPath, const std::string &content, const AtomicWrite &how)
{
    if (osPath.empty())
        return fail(ENOENT);
    std::string target = osPath;
    bool existed = false;
    struct stat st {};
    if (::lstat(osPath.c_str(), &st) == 0) {
        if (!how.replaceExisting)
            return fail(EEXIST);
        if (S_ISLNK(st.st_mode)) {
            // Through the link: replacing the link itself would cut the file
            // off from wherever the user keeps the real one.
            char *real = ::realpath(osPath.c_str(), nullptr);
            if (!real)
                return fail(errno);
            target = real;
            std::free(real);
            if (::stat(target.c_str(), &st) != 0)
                return fail(errno);
        }
        if (!S_ISREG(st.st_mode))
            return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        // The rename asks the directory only.
        if (writeProtected(target, st))
            return fail(errno);
        existed = true;
    } else if (errno != ENOENT) {
        return fail(errno);
    }

    const auto slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // A run writes a thousand documents into a few hundred directories; the
    // leftovers of a killed run are looked for once per directory there.
    if (how.durable || firstLookInto(dir))
        removeStaleTemps(dir);

    const std::string temp = (dir == "/" ? std::string() : dir) + "/" + std::string(kTempPrefix) + tempTag(name) + "-"
        + std::to_string(::getpid()) + std::string(kTempSuffix);
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const mode_t mode = existed ? (st.st_mode & 07777) : static_cast<mode_t>(how.newFileMode & 07777);
    int fd = ::open(temp.c_str(), flags, mode);
    if (fd < 0 && errno == EEXIST) {
        // Left by an earlier write of this very process that failed halfway.
        ::unlink(temp.c_str());
        fd = ::open(temp.c_str(), flags, mode);
    }
    if (fd < 0)
        return fail(errno);
    bool ok = true;
    if (existed) {
        // The umask must not take away what the old file allowed (or add to
        // what it kept private); the group is kept where we may.
        ok = ::fchmod(fd, mode) == 0;
        if (::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
            // Not ours to give away: the file then belongs to our group.
        }
    }
    ok = ok && writeAll(fd, content) && (!how.durable || ::fsync(fd) == 0);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) {
        ok = how.replaceExisting ? ::rename(temp.c_str(), target.c_str()) == 0 : linkNoReplace(temp, target);
        error = ok ? 0 : errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error);
    }
    if (how.durable)
        syncDirectory(dir);
    return true;
}

bool remove(const std::string &path)
{
    std::error_code ec;
    if (fs::remove(toPath(path), ec) && !ec)
        return true;
    return ec ? fail(ec) : fail(ENOENT);
}

bool copy(const std::string &from, const std::string &to, bool overwrite)
{
    if (!isFile(from))
        return fail(exists(from) ? EINVAL : ENOENT);
    std::string content;
    if (!read(from, content))
        return false;
    AtomicWrite how;
    how.replaceExisting = overwrite;
    return writeAtomic(to, content, how);
}

bool createDirectory(const std::string &path)
{
    std::error_code ec;
    if (fs::create_directory(toPath(path), ec) && !ec)
        return true;
    return ec ? fail(ec) : fail(EEXIST);
}

bool createDirectories(const std::string &path)
{
    std::error_code ec;
    fs::create_directories(toPath(path), ec);
    if (ec)
        return fail(ec);
    return isDirectory(path) || fail(ENOTDIR);
}

bool removeDirectory(const std::string &path)
{
    if (!isDirectory(path))
        return fail(ENOTDIR);
    std::error_code ec;
    if (fs::remove(toPath(path), ec) && !ec)
        return true;
    return ec ? fail(ec) : fail(ENOENT);
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
