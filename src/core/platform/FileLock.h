#pragma once

#include <chrono>
#include <string>

namespace vantor {

// Keeps the other programs of ours (a second window, the command line) out
// of a file while this one reads, changes and writes it back, so that no
// change of theirs is overwritten with a state read before it. The lock is
// advisory: flock() on "<file>.lock" beside the file, never on the file
// itself, which every atomic save replaces by a new one. Lock files stay
// where they are: removing one would let a waiting program lock a file that
// a newcomer no longer sees.
//
// The lock of one file is held by one FileLock at a time, in this process
// too: a function that holds it must not call another that takes it again.
class FileLock
{
public:
    // Locks the file at osPath (the file system's own encoding), waiting up
    // to defaultWait() for another holder to let go. A symbolic link is
    // followed, so the lock lies beside the file the save really writes.
    explicit FileLock(const std::string &osPath);
    FileLock(const std::string &osPath, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    bool locked() const { return m_fd >= 0; }
    // Another program held the file for the whole wait.
    bool busy() const { return m_busy; }
    // The errno of a lock file that could not be made or opened (or
    // EWOULDBLOCK when busy); 0 when locked.
    int error() const { return m_error; }

    // Whether the last FileLock this thread tried to take was busy: for the
    // messages of callers whose functions only tell true or false.
    static bool lastBusy();

    // A few seconds: long enough for any save of ours, short enough that the
    // user is not left wondering. Tests make it shorter.
    static std::chrono::milliseconds defaultWait();
    static void setDefaultWait(std::chrono::milliseconds wait);

    static std::string lockPathOf(const std::string &osPath);
    // True for the name of a lock file, for listings that must not show them.
    static bool isLockName(const std::string &name);
    // What the user is told when a file stayed busy (cp1252); name as the
    // user knows the file.
    static std::string busyText(const std::string &name);

private:
    int m_fd = -1;
    int m_error = 0;
    bool m_busy = false;
};

} // namespace vantor
