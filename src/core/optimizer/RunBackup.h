#pragma once

#include <ctime>
#include <set>
#include <string>
#include <string_view>

namespace vantor {

// The backup of one optimisation run: before the run replaces or deletes a
// file of the site, its bytes are kept here, and every file and directory
// the run makes is noted before it is made. From this journal the run can
// be undone byte for byte, also when the run was killed halfway.
//
// Each run has its own directory projects/<name>.backup/<YYYY-MM-DD_HH-MM-SS>/
// with the journal "journal.txt" and the kept files under "files/"; the
// newest kKeptRuns runs stay.
class RunBackup
{
public:
    static constexpr int kKeptRuns = 10;
    static constexpr const char *kJournalName = "journal.txt";
    static constexpr const char *kUndoneName = "undone";

    static std::string rootFor(const std::string &project);
    // The order of the runs' directory names: oldest first.
    static bool runsInOrder(const std::string &a, const std::string &b);

    // Makes the run's directory and writes the journal's head. False when
    // the backup cannot be made (the run must then change nothing).
    bool begin(const std::string &project, const std::string &siteDirectory, const std::string &homepagePath);
    bool active() const { return !m_directory.empty(); }
    const std::string &id() const { return m_id; }
    const std::string &directory() const { return m_directory; }

    // Before an existing entry is replaced or deleted: keeps its bytes (or,
    // for a symbolic link, where it points). Once per path and run; false
    // when it could not be kept. The homepage, which is written through when
    // it is a link, is kept by its content (throughLink).
    bool keep(const std::string &path, bool deleting, bool throughLink = false);
    // Before the run makes a file that is not there yet.
    bool noteMade(const std::string &path);
    // After a file was written: what it holds now, to tell a later edit
    // from the run's own text at undo time.
    bool noteWritten(const std::string &path, std::string_view content);
    bool noteDirectoryMade(const std::string &path);
    bool noteDirectoryRemoved(const std::string &path);
    // Closes the journal; a run that changed nothing (it ended at the
    // template check, say) leaves no backup to undo.
    void finish();

private:
    bool append(const std::string &line);

    std::string m_id;
    std::string m_directory;
    int m_nextBlob = 1;
    bool m_changed = false;
    std::set<std::string> m_seen;
};

} // namespace vantor
