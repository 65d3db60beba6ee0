#include "optimizer/SiteGuard.h"

#include "platform/Files.h"

#include <climits>
#include <cstdlib>

#include <sys/stat.h>

namespace vantor {

namespace {

// The real path of an existing entry, in the file system's encoding; empty
// when it cannot be resolved (missing, a dangling link, a loop).
std::string realOf(const std::string &osPath)
{
    char *resolved = ::realpath(osPath.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

SiteGuard::SiteGuard(const std::string &homepageDirectory)
    : m_realRoot(realOf(files::osPath(homepageDirectory.empty() ? std::string(".") : homepageDirectory)))
{
}

bool SiteGuard::isLink(const std::string &path)
{
    struct stat st {};
    return ::lstat(files::osPath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool SiteGuard::containsReal(const std::string &realOsPath) const
{
    if (m_realRoot.empty() || realOsPath.empty())
        return false;
    if (realOsPath == m_realRoot)
        return true;
    const std::string prefix = m_realRoot == "/" ? m_realRoot : m_realRoot + "/";
    return realOsPath.compare(0, prefix.size(), prefix) == 0;
}

SiteGuard::Verdict SiteGuard::fileTarget(const std::string &path) const
{
    const std::string directory = files::directoryOf(path);
    if (!containsReal(realOf(files::osPath(directory.empty() ? std::string(".") : directory))))
        return Verdict::Outside;
    if (isLink(path))
        return containsReal(realOf(files::osPath(path))) ? Verdict::LinkAllowed : Verdict::Outside;
    return Verdict::Allowed;
}

SiteGuard::Verdict SiteGuard::directory(const std::string &path) const
{
    if (isLink(path))
        return Verdict::Link;
    const std::string parent = files::directoryOf(path);
    if (!containsReal(realOf(files::osPath(parent.empty() ? std::string(".") : parent))))
        return Verdict::Outside;
    return Verdict::Allowed;
}

SiteGuard::Verdict SiteGuard::resolvedDirectory(const std::string &path) const
{
    if (!files::entryExists(path))
        return directory(path);
    return containsReal(realOf(files::osPath(path))) ? (isLink(path) ? Verdict::LinkAllowed : Verdict::Allowed)
                                                     : Verdict::Outside;
}

} // namespace vantor
