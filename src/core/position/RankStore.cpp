#include "position/RankStore.h"

#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "ui/Ui.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace vantor {

namespace {

// One prepared statement, finalised with its scope.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK)
            m_statement = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_statement != nullptr; }
    void reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    void bind(int index, long long value) { sqlite3_bind_int64(m_statement, index, value); }
    void bindText(int index, const std::string &cp1252)
    {
        const std::string utf8 = toUtf8(cp1252);
        sqlite3_bind_text(m_statement, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindNull(int index) { sqlite3_bind_null(m_statement, index); }
    int step() { return sqlite3_step(m_statement); }
    long long integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    std::string text(int column) const
    {
        const auto *bytes = sqlite3_column_text(m_statement, column);
        if (bytes == nullptr)
            return {};
        const std::string utf8(reinterpret_cast<const char *>(bytes),
                               static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
        return toCp1252(utf8);
    }

private:
    sqlite3_stmt *m_statement = nullptr;
};

constexpr const char *kCheckColumns
    = "c.run, r.time, p.engine, p.term, d.text, c.kind, c.position, c.depth, l.text, o.text";
// Domains, links and failure texts repeat from run to run; each is kept
// once and the checks refer to it, which keeps a year of daily runs small.
constexpr const char *kCheckTables = " FROM checks c JOIN runs r ON r.id = c.run JOIN pairs p ON p.id = c.pair "
                                     "LEFT JOIN texts d ON d.id = c.domain LEFT JOIN texts l ON l.id = c.link "
                                     "LEFT JOIN texts o ON o.id = c.outcome";

RankStore::Check readCheck(const Statement &s)
{
    RankStore::Check check;
    check.run = s.integer(0);
    check.time = s.integer(1);
    check.engine = s.text(2);
    check.term = s.text(3);
    check.domain = s.text(4);
    check.kind = static_cast<RankStore::Kind>(s.integer(5));
    check.position = s.isNull(6) ? 0 : static_cast<int>(s.integer(6));
    check.depth = static_cast<int>(s.integer(7));
    check.link = s.text(8);
    check.outcome = s.text(9);
    return check;
}

} // namespace

std::optional<int> RankStore::Pair::change() const
{
    if (!lastSuccess || !previousSuccess || lastSuccess->kind != Kind::Found
        || previousSuccess->kind != Kind::Found)
        return std::nullopt;
    return previousSuccess->position - lastSuccess->position;
}

std::string RankStore::pathFor(const std::string &projectName)
{
    return files::join(projectDirectory(), projectName + ".ranks.sqlite");
}

RankStore::Kind RankStore::kindOf(PositionOutcome outcome)
{
    switch (outcome) {
    case PositionOutcome::Found:
        return Kind::Found;
    case PositionOutcome::NotInTop:
        return Kind::NotInTop;
    case PositionOutcome::Unused:
        return Kind::NotChecked;
    default:
        return Kind::Failed;
    }
}

std::string RankStore::unusableTitle() { return "Verlauf der Positionen"; }

bool RankStore::recordRun(const std::string &projectName, const PositionRun &run, Ui &ui)
{
    RankStore store;
    if (!store.open(pathFor(projectName)) || store.record(run.startedAt(), run.records()) == 0) {
        ui.message(unusableTitle(), store.error());
        return false;
    }
    return true;
}

void RankStore::removeFor(const std::string &projectName)
{
    const std::string path = pathFor(projectName);
    for (const char *suffix : {"", "-wal", "-shm"})
        files::remove(path + suffix);
}

RankStore::RankStore() = default;

RankStore::~RankStore() { sqlite3_close(m_db); }

bool RankStore::fail(const std::string &what)
{
    const int code = m_db != nullptr ? sqlite3_errcode(m_db) : SQLITE_CANTOPEN;
    m_code = code;
    std::string reason;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        reason = de("Die Datenbank wird gerade von einem anderen Programm benutzt.");
    else if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
        reason = de("Die Datenbank ist beschädigt. Benennen Sie die Datei um oder löschen Sie sie; Vantor!! legt "
                    "dann eine neue an.");
    else if (code == SQLITE_FULL)
        reason = de("Auf dem Datenträger ist kein Platz mehr frei.");
    else
        reason = de("Bitte prüfen Sie, ob die Datei und ihr Verzeichnis beschreibbar sind.");
    m_error = "Der Verlauf der Positionen konnte nicht " + what + " werden. " + reason;
    return false;
}

void RankStore::setBusyTimeout(int milliseconds)
{
    if (m_db != nullptr)
        sqlite3_busy_timeout(m_db, milliseconds);
}

bool RankStore::exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool RankStore::open(const std::string &path)
{
    if (sqlite3_open_v2(files::osPath(path).c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        return fail(de("geöffnet"));
    sqlite3_busy_timeout(m_db, kBusyMilliseconds);
    // While another program creates the file or switches its journal, the
    // library reports "busy" without waiting; we wait here instead.
    for (int waited = 0;; waited += 20) {
        if (setUp()) {
            m_error.clear();
            return true;
        }
        if ((m_code != SQLITE_BUSY && m_code != SQLITE_LOCKED) || waited >= kBusyMilliseconds)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool RankStore::setUp()
{
    // A run that is cut off (a crash, the power) leaves every earlier run
    // as it was; readers and a second writer get along.
    if (!exec("PRAGMA journal_mode=WAL") || !exec("PRAGMA synchronous=NORMAL"))
        return fail(de("geöffnet"));
    return migrate();
}

bool RankStore::migrate()
{
    Statement version(m_db, "PRAGMA user_version");
    if (!version.ok() || version.step() != SQLITE_ROW)
        return fail(de("geöffnet"));
    const long long current = version.integer(0);
    if (current == kSchemaVersion)
        return true;
    if (current > kSchemaVersion) {
        m_error = de("Der Verlauf der Positionen stammt von einer neueren Version von Vantor!! und kann hier nicht "
                     "benutzt werden.");
        m_code = SQLITE_ERROR;
        return false;
    }
    if (!exec("BEGIN IMMEDIATE"))
        return fail(de("geöffnet"));
    bool ok = true;
    // Each step takes the file one version further; a newer program adds
    // its steps behind these.
    if (current < 1) {
        ok = exec("CREATE TABLE IF NOT EXISTS runs(id INTEGER PRIMARY KEY, time INTEGER NOT NULL)")
            && exec("CREATE TABLE IF NOT EXISTS pairs(id INTEGER PRIMARY KEY, engine TEXT NOT NULL, "
                    "term TEXT NOT NULL, best INTEGER, UNIQUE(engine, term))")
            && exec("CREATE TABLE IF NOT EXISTS texts(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE)")
            // The references are kept by this class alone: declared ones
            // would make forgetting a year of runs scan the checks once a
            // run.
            && exec("CREATE TABLE IF NOT EXISTS checks(pair INTEGER NOT NULL, run INTEGER NOT NULL, "
                    "kind INTEGER NOT NULL CHECK(kind BETWEEN 1 AND 4), "
                    "position INTEGER CHECK((kind = 1) = (position IS NOT NULL)), depth INTEGER NOT NULL, "
                    "domain INTEGER, link INTEGER, outcome INTEGER, PRIMARY KEY(pair, run)) WITHOUT ROWID");
    }
    ok = ok && exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str()) && exec("COMMIT");
    if (!ok) {
        // The message is made from the failed step, before the rollback.
        fail(de("geöffnet"));
        exec("ROLLBACK");
    }
    return ok;
}

long long RankStore::record(long long time, const std::vector<PositionRecord> &records)
{
    if (m_db == nullptr || !exec("BEGIN IMMEDIATE")) {
        fail("gespeichert");
        return 0;
    }
    Statement run(m_db, "INSERT INTO runs(time) VALUES(?)");
    Statement pair(m_db, "INSERT INTO pairs(engine, term) VALUES(?, ?) ON CONFLICT(engine, term) DO UPDATE SET "
                         "engine = excluded.engine RETURNING id");
    // An engine named twice in one run checks its terms twice: the later
    // outcome stands.
    Statement check(m_db, "INSERT OR REPLACE INTO checks(run, pair, kind, position, depth, domain, link, outcome) "
                          "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    Statement text(m_db, "INSERT INTO texts(text) VALUES(?) ON CONFLICT(text) DO UPDATE SET text = excluded.text "
                         "RETURNING id");
    Statement best(m_db, "UPDATE pairs SET best = MIN(COALESCE(best, ?1), ?1) WHERE id = ?2");
    bool ok = run.ok() && pair.ok() && check.ok() && best.ok() && text.ok();
    // The id of a text, bound at index of the check; nothing for none.
    const auto bindText = [&](int index, const std::string &value) {
        if (value.empty()) {
            check.bindNull(index);
            return true;
        }
        text.reset();
        text.bindText(1, value);
        if (text.step() != SQLITE_ROW)
            return false;
        check.bind(index, text.integer(0));
        while (text.step() == SQLITE_ROW) {
        }
        return true;
    };
    long long runId = 0;
    if (ok) {
        run.bind(1, time);
        ok = run.step() == SQLITE_DONE;
        runId = sqlite3_last_insert_rowid(m_db);
    }
    for (const PositionRecord &r : records) {
        if (!ok)
            break;
        pair.reset();
        pair.bindText(1, r.engine);
        pair.bindText(2, r.term);
        ok = pair.step() == SQLITE_ROW;
        if (!ok)
            break;
        const long long pairId = pair.integer(0);
        while (pair.step() == SQLITE_ROW) {
        }
        const Kind kind = kindOf(r.outcome);
        check.reset();
        check.bind(1, runId);
        check.bind(2, pairId);
        check.bind(3, static_cast<int>(kind));
        if (kind == Kind::Found)
            check.bind(4, r.position);
        else
            check.bindNull(4);
        check.bind(5, r.depth);
        ok = bindText(6, kind == Kind::Found ? r.domain : std::string())
            && bindText(7, kind == Kind::Found ? r.link : std::string())
            && bindText(8, kind == Kind::Failed ? positionoutcome::failureText(r.outcome) : std::string())
            && check.step() == SQLITE_DONE;
        if (ok && kind == Kind::Found) {
            best.reset();
            best.bind(1, r.position);
            best.bind(2, pairId);
            ok = best.step() == SQLITE_DONE;
        }
    }
    if (!ok || !exec("COMMIT")) {
        fail("gespeichert");
        exec("ROLLBACK");
        return 0;
    }
    return runId;
}

std::vector<RankStore::Pair> RankStore::pairs(const std::string &engine, const std::string &term)
{
    std::vector<Pair> result;
    if (m_db == nullptr)
        return result;
    Statement all(m_db, "SELECT id, engine, term, best FROM pairs WHERE (?1 IS NULL OR engine = ?1) "
                        "AND (?2 IS NULL OR term = ?2) ORDER BY engine, term");
    const std::string latestSql = std::string("SELECT ") + kCheckColumns
        + kCheckTables + " WHERE c.pair = ? ORDER BY c.run DESC LIMIT 1";
    const std::string successSql = std::string("SELECT ") + kCheckColumns
        + kCheckTables + " WHERE c.pair = ? AND c.kind IN (1, 2) ORDER BY c.run DESC LIMIT 2";
    Statement latest(m_db, latestSql.c_str());
    Statement success(m_db, successSql.c_str());
    if (!all.ok() || !latest.ok() || !success.ok()) {
        fail("gelesen");
        return result;
    }
    if (!engine.empty())
        all.bindText(1, engine);
    if (!term.empty())
        all.bindText(2, term);
    int rc = SQLITE_ROW;
    while ((rc = all.step()) == SQLITE_ROW) {
        Pair p;
        const long long id = all.integer(0);
        p.engine = all.text(1);
        p.term = all.text(2);
        p.best = all.isNull(3) ? 0 : static_cast<int>(all.integer(3));
        latest.reset();
        latest.bind(1, id);
        if (latest.step() != SQLITE_ROW)
            continue; // every run of it was forgotten
        p.latest = readCheck(latest);
        success.reset();
        success.bind(1, id);
        if (success.step() == SQLITE_ROW) {
            p.lastSuccess = readCheck(success);
            if (success.step() == SQLITE_ROW)
                p.previousSuccess = readCheck(success);
        }
        result.push_back(std::move(p));
    }
    if (rc != SQLITE_DONE)
        fail("gelesen");
    return result;
}

std::vector<RankStore::Check> RankStore::history(const std::string &engine, const std::string &term, int limit)
{
    std::vector<Check> result;
    if (m_db == nullptr)
        return result;
    const std::string sql = std::string("SELECT ") + kCheckColumns
        + kCheckTables + " WHERE p.engine = ? AND p.term = ? ORDER BY c.run DESC LIMIT ?";
    Statement s(m_db, sql.c_str());
    if (!s.ok()) {
        fail("gelesen");
        return result;
    }
    s.bindText(1, engine);
    s.bindText(2, term);
    s.bind(3, limit > 0 ? limit : -1);
    while (s.step() == SQLITE_ROW)
        result.push_back(readCheck(s));
    return result;
}

std::vector<RankStore::Check> RankStore::allChecks()
{
    std::vector<Check> result;
    if (m_db == nullptr)
        return result;
    const std::string sql = std::string("SELECT ") + kCheckColumns
        + kCheckTables + " ORDER BY c.run, p.engine, p.term";
    Statement s(m_db, sql.c_str());
    if (!s.ok()) {
        fail("gelesen");
        return result;
    }
    while (s.step() == SQLITE_ROW)
        result.push_back(readCheck(s));
    return result;
}

int RankStore::forget(std::optional<long long> before)
{
    if (m_db == nullptr || !exec("BEGIN IMMEDIATE")) {
        fail(de("gelöscht"));
        return -1;
    }
    Statement checks(m_db, "DELETE FROM checks WHERE run IN (SELECT id FROM runs WHERE ?1 IS NULL OR time < ?1)");
    Statement remove(m_db, "DELETE FROM runs WHERE ?1 IS NULL OR time < ?1");
    bool ok = checks.ok() && remove.ok();
    if (ok && before) {
        checks.bind(1, *before);
        remove.bind(1, *before);
    }
    ok = ok && checks.step() == SQLITE_DONE && remove.step() == SQLITE_DONE;
    const int removed = ok ? sqlite3_changes(m_db) : 0;
    ok = ok && exec("DELETE FROM pairs WHERE NOT EXISTS (SELECT 1 FROM checks WHERE checks.pair = pairs.id)")
        && exec("DELETE FROM texts WHERE id NOT IN (SELECT domain FROM checks WHERE domain IS NOT NULL UNION "
                "SELECT link FROM checks WHERE link IS NOT NULL UNION SELECT outcome FROM checks WHERE outcome IS "
                "NOT NULL)")
        && exec("UPDATE pairs SET best = (SELECT MIN(position) FROM checks WHERE checks.pair = pairs.id AND "
                "checks.kind = 1)")
        && exec("COMMIT");
    if (!ok) {
        fail(de("gelöscht"));
        exec("ROLLBACK");
        return -1;
    }
    return removed;
}

} // namespace vantor
