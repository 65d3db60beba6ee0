#pragma once

#include "position/PositionRun.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace vantor {

// The history of a project's position checks: every outcome of every run,
// in projects/<name>.ranks.sqlite. What a check found is kept as it was: a
// failed check is a failure, never a position, "not found" or an earlier
// value carried on. Texts go in and come out as cp1252.
class RankStore
{
public:
    // How a check ended, as kept.
    enum class Kind {
        Found = 1,
        NotInTop = 2, // all pages read, the site not among them
        Failed = 3,   // no usable answer; outcome holds the reason
        NotChecked = 4, // the run ended before the pair's turn
    };

    struct Check {
        long long run = 0;
        long long time = 0; // seconds since the epoch, UTC
        std::string engine;
        std::string term;
        std::string domain; // the domain found
        Kind kind = Kind::Failed;
        int position = 0; // found only
        int depth = 0;    // pages × results per page
        std::string link;
        std::string outcome; // the outcome text of a failure
    };

    // The state of one engine and term.
    struct Pair {
        std::string engine;
        std::string term;
        Check latest;
        // The latest and the one before among the successful checks (found
        // or not in the top N).
        std::optional<Check> lastSuccess;
        std::optional<Check> previousSuccess;
        int best = 0; // 0: never found
        // Better by this many places (negative: worse); nullopt when one of
        // the two lacks a position or there is no earlier success.
        std::optional<int> change() const;
    };

    static constexpr int kSchemaVersion = 1;
    // How long a write waits for another program's.
    static constexpr int kBusyMilliseconds = 15000;

    static std::string pathFor(const std::string &projectName);
    static Kind kindOf(PositionOutcome outcome);

    RankStore();
    ~RankStore();
    RankStore(const RankStore &) = delete;
    RankStore &operator=(const RankStore &) = delete;

    // Opens (and creates or brings up to date) the database; false with a
    // German message in error() when it cannot be used.
    bool open(const std::string &path);
    // How long a write waits for another program's (tests make it short).
    void setBusyTimeout(int milliseconds);
    const std::string &error() const { return m_error; }

    // One run in one transaction; its id, or 0 on failure (error()).
    long long record(long long time, const std::vector<PositionRecord> &records);

    // Every pair, latest state first computed; filters empty for all.
    std::vector<Pair> pairs(const std::string &engine = {}, const std::string &term = {});
    // The newest checks of a pair first, at most limit (0: all).
    std::vector<Check> history(const std::string &engine, const std::string &term, int limit);
    // Every check, oldest run first, for the export.
    std::vector<Check> allChecks();
    // Removes the runs before the time (or all); the number removed, -1 on
    // failure.
    int forget(std::optional<long long> before);

    // The German message for a store that could not be opened or written.
    static std::string unusableTitle();

    // After a position run: its outcomes into the project's history. A
    // store that cannot take them is reported through ui; the run's own
    // outcomes stand regardless.
    static bool recordRun(const std::string &projectName, const PositionRun &run, Ui &ui);
    // The database of a deleted project goes with it.
    static void removeFor(const std::string &projectName);

private:
    bool fail(const std::string &what);
    bool exec(const char *sql);
    bool setUp();
    bool migrate();

    sqlite3 *m_db = nullptr;
    std::string m_error;
    int m_code = 0; // of the last failure
};

} // namespace vantor
