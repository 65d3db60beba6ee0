#include "optimizer/RunBackup.h"

#include "optimizer/OutputManifest.h"
#include "optimizer/PageFiles.h"
#include "optimizer/SiteGuard.h"
#include "platform/Files.h"
#include "project/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace vantor {

namespace {

std::string stampNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

// A run's backup holds the kept files in "files" and the journal beside
// them, nothing deeper; anything else found there (a link, a folder) makes
// the deletion stop rather than follow it.
bool deleteRunDirectory(const std::string &path)
{
    if (SiteGuard::isLink(path))
        return false;
    deleteDirectory(files::join(path, "files"));
    return deleteDirectory(path);
}

} // namespace

bool RunBackup::runsInOrder(const std::string &a, const std::string &b)
{
    // The time stamp first, then "_2" after the plain stamp and "_10" after "_9".
    return a.substr(0, 19) != b.substr(0, 19) ? a < b : (a.size() != b.size() ? a.size() < b.size() : a < b);
}

std::string RunBackup::rootFor(const std::string &project)
{
    return files::join(projectDirectory(), project + ".backup");
}

bool RunBackup::begin(const std::string &project, const std::string &siteDirectory, const std::string &homepagePath)
{
    const std::string root = rootFor(project);
    if (!files::isDirectory(root) && !files::createDirectories(root))
        return false;
    const std::string stamp = stampNow();
    // After every run of the same second that is still kept: counting up
    // from the plain stamp would, once the oldest of them were gone, give a
    // name that sorts first and is taken away as the oldest at once.
    int last = 0;
    for (const std::string &name : files::listDirectories(files::join(root, stamp + "*"))) {
        if (name == stamp)
            last = std::max(last, 1);
        else if (name.size() > stamp.size() + 1 && name.compare(0, stamp.size() + 1, stamp + "_") == 0)
            last = std::max(last, std::atoi(name.c_str() + stamp.size() + 1));
    }
    std::string id = last == 0 ? stamp : stamp + "_" + std::to_string(last + 1);
    for (int n = last + 2; files::entryExists(files::join(root, id)); ++n)
        id = stamp + "_" + std::to_string(n);
    const std::string directory = files::join(root, id);
    if (!files::createDirectory(directory) || !files::createDirectory(files::join(directory, "files")))
        return false;
    m_id = id;
    m_directory = directory;
    m_nextBlob = 1;
    m_changed = false;
    m_seen.clear();
    const std::string head = "vantor-backup\t1\nsite\t" + escapeJournalField(siteDirectory) + "\nhomepage\t" +
                             escapeJournalField(homepagePath) + "\nstarted\t" +
                             std::to_string(static_cast<long long>(std::time(nullptr)));
    if (!append(head)) {
        deleteRunDirectory(directory);
        m_directory.clear();
        m_id.clear();
        return false;
    }

    // The newest runs stay; names sort by their time.
    std::vector<std::string> runs = files::listDirectories(files::join(root, "*"));
    std::sort(runs.begin(), runs.end(), runsInOrder);
    while (runs.size() > static_cast<std::size_t>(kKeptRuns)) {
        deleteRunDirectory(files::join(root, runs.front()));
        runs.erase(runs.begin());
    }
    return true;
}

bool RunBackup::append(const std::string &line)
{
    return files::append(files::join(m_directory, kJournalName), line + "\n");
}

bool RunBackup::keep(const std::string &path, bool deleting, bool throughLink)
{
    if (!active())
        return false;
    if (!throughLink)
        m_changed = true;
    const char *op = deleting ? "D" : "R";
    if (!m_seen.insert(path).second)
        return deleting ? append(std::string("X\t-\t") + escapeJournalField(path)) : true;
    // A link is kept as a link: where it pointed is all there is to restore.
    char target[PATH_MAX];
    const ssize_t length = throughLink ? -1 : ::readlink(files::osPath(path).c_str(), target, sizeof target - 1);
    if (length >= 0)
        return append(std::string("L\t") + op + "\t" + escapeJournalField(path) + "\t" +
                      escapeJournalField(std::string(target, static_cast<std::size_t>(length))));
    std::string content;
    if (!files::read(path, content))
        return false;
    const std::string blob = std::to_string(m_nextBlob++);
    // The kept bytes must be on the disk before the original goes.
    if (!files::writeAtomic(files::join(files::join(m_directory, "files"), blob), content))
        return false;
    return append(std::string(op) + "\t" + blob + "\t" + escapeJournalField(path));
}

bool RunBackup::noteMade(const std::string &path)
{
    if (!active())
        return false;
    if (!m_seen.insert(path).second)
        return true;
    return append("M\t-\t" + escapeJournalField(path));
}

bool RunBackup::noteWritten(const std::string &path, std::string_view content)
{
    if (!active())
        return false;
    m_changed = true;
    return append("W\t-\t" + escapeJournalField(path) + "\t" + std::to_string(content.size()) + "\t" +
                  OutputManifest::contentHash(content));
}

bool RunBackup::noteDirectoryMade(const std::string &path)
{
    if (!active())
        return false;
    m_changed = true;
    return append("MD\t-\t" + escapeJournalField(path));
}

bool RunBackup::noteDirectoryRemoved(const std::string &path)
{
    if (!active())
        return false;
    m_changed = true;
    return append("RD\t-\t" + escapeJournalField(path));
}

void RunBackup::finish()
{
    if (!active())
        return;
    if (!m_changed) {
        deleteRunDirectory(m_directory);
        m_directory.clear();
        m_id.clear();
        return;
    }
    append("finished\t" + std::to_string(static_cast<long long>(std::time(nullptr))));
}

} // namespace vantor
