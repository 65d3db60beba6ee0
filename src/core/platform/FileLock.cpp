#include "platform/FileLock.h"

#include "platform/Text.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

constexpr std::string_view kLockSuffix = ".lock";

// Short enough that a waiting program goes on soon after the other let go,
// long enough that a few of them waiting do not keep a core busy.
constexpr std::chrono::milliseconds kPoll{5};

thread_local bool t_lastBusy = false;

std::atomic<long long> g_defaultWaitMs{5000};

} // namespace

std::string FileLock::lockPathOf(const std::string &osPath)
{
    std::string target = osPath;
    struct stat st {};
    if (::lstat(osPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *real = ::realpath(osPath.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    return target + std::string(kLockSuffix);
}

bool FileLock::isLockName(const std::string &name)
{
    return name.size() > kLockSuffix.size()
        && name.compare(name.size() - kLockSuffix.size(), kLockSuffix.size(), kLockSuffix) == 0;
}

std::string FileLock::busyText(const std::string &name)
{
    return de("Die Datei \"") + name
        + de("\" wird gerade von einem anderen Vantor!!-Programm geändert. Bitte versuchen Sie es in einigen "
             "Sekunden noch einmal.");
}

bool FileLock::lastBusy() { return t_lastBusy; }

std::chrono::milliseconds FileLock::defaultWait() { return std::chrono::milliseconds(g_defaultWaitMs.load()); }

void FileLock::setDefaultWait(std::chrono::milliseconds wait) { g_defaultWaitMs = wait.count(); }

FileLock::FileLock(const std::string &osPath)
    : FileLock(osPath, defaultWait())
{
}

FileLock::FileLock(const std::string &osPath, std::chrono::milliseconds wait)
{
    t_lastBusy = false;
    const std::string path = lockPathOf(osPath);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC); // made by another user: locks all the same
    if (fd < 0) {
        m_error = errno;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            m_fd = fd;
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            m_error = errno;
            m_busy = errno == EWOULDBLOCK;
            t_lastBusy = m_busy;
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

FileLock::~FileLock()
{
    // Closing lets go of the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vantor
