#include "TestEnvironment.h"

#include "platform/Text.h"
#include "position/RankReport.h"
#include "position/RankStore.h"

#include <sqlite3.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace vantor;

namespace {

PositionRecord found(const std::string &engine, const std::string &term, int position, int depth = 30)
{
    PositionRecord r;
    r.engine = engine;
    r.term = term;
    r.outcome = PositionOutcome::Found;
    r.position = position;
    r.depth = depth;
    r.domain = "www.site.de";
    r.link = "suchfix.example/s?q=" + term;
    return r;
}

PositionRecord other(const std::string &engine, const std::string &term, PositionOutcome outcome, int depth = 30)
{
    PositionRecord r;
    r.engine = engine;
    r.term = term;
    r.outcome = outcome;
    r.depth = depth;
    return r;
}

class RankStoreTest : public vantor::testing::CoreTest
{
protected:
    std::string path() const { return RankStore::pathFor("p"); }
    long long day(int n) const { return 1'765'000'000LL + n * 86'400LL; }

    void record(RankStore &store, int n, std::vector<PositionRecord> records)
    {
        ASSERT_NE(store.record(day(n), records), 0) << store.error();
    }
    std::string show(RankStore &store)
    {
        std::string text;
        for (const RankStore::Pair &pair : store.pairs())
            text += rankreport::showLine(pair) + "\n";
        return text;
    }
};

} // namespace

TEST_F(RankStoreTest, FailuresStayFailuresAndChangesCompareSuccesses)
{
    RankStore store;
    ASSERT_TRUE(store.open(path())) << store.error();
    record(store, 0, {found("Suchfix", "stauden", 16), other("Suchfix", "obst", PositionOutcome::NotInTop)});
    record(store, 1, {other("Suchfix", "stauden", PositionOutcome::NoAnswer),
                      other("Suchfix", "obst", PositionOutcome::NotInTop, 100)});
    EXPECT_EQ(show(store), "Suchfix\tobst\t>100\t\t\t100\t" + rankreport::date(day(1))
                               + "\nSuchfix\tstauden\tFehler\t\t16\t30\t" + rankreport::date(day(0)) + "\n");

    // Compared with the last success, not with the failure in between.
    record(store, 2, {found("Suchfix", "stauden", 13), found("Suchfix", "obst", 40, 100)});
    record(store, 3, {found("Suchfix", "stauden", 15), other("Suchfix", "obst", PositionOutcome::Unused, 0)});
    EXPECT_EQ(show(store), "Suchfix\tobst\t-\t\t40\t\t" + rankreport::date(day(2))
                               + "\nSuchfix\tstauden\t15\t-2\t13\t30\t" + rankreport::date(day(3)) + "\n");

    const std::vector<RankStore::Check> history = store.history("Suchfix", "stauden", 0);
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history[2].kind, RankStore::Kind::Failed);
    EXPECT_EQ(history[2].position, 0);
    EXPECT_EQ(history[2].outcome, "Timeout (Keine Antwort vom Server)");
    EXPECT_EQ(history[0].link, "suchfix.example/s?q=stauden");
    EXPECT_EQ(history[0].domain, "www.site.de");
    EXPECT_EQ(rankreport::historyLines(history, 3),
              (std::vector<std::string>{"Suchfix\tstauden\t15\t-2\t13\t30\t" + rankreport::date(day(3)),
                                        "Suchfix\tstauden\t13\t+3\t13\t30\t" + rankreport::date(day(2)),
                                        "Suchfix\tstauden\tFehler\t\t16\t30\t" + rankreport::date(day(1))}));

    // Forgetting the first two days takes their bests along.
    EXPECT_EQ(store.forget(day(2)), 2);
    EXPECT_EQ(store.history("Suchfix", "stauden", 0).size(), 2u);
    EXPECT_EQ(store.pairs("Suchfix", "stauden").at(0).best, 13);
    EXPECT_EQ(store.forget(std::nullopt), 2);
    EXPECT_TRUE(store.pairs().empty());
}

TEST_F(RankStoreTest, UmlautsAndTheTablesOfTheReport)
{
    RankStore store;
    ASSERT_TRUE(store.open(path()));
    record(store, 0, {found(de("Spürnase"), de("kräuter"), 9), found("Suchfix", "a, \"b\"", 3)});
    record(store, 1, {other(de("Spürnase"), de("kräuter"), PositionOutcome::Unclear),
                      found("Suchfix", "a, \"b\"", 2)});
    record(store, 2, {found(de("Spürnase"), de("kräuter"), 7), other("Suchfix", "a, \"b\"", PositionOutcome::NotInTop)});
    record(store, 3, {found(de("Spürnase"), de("kräuter"), 5), found("Suchfix", "a, \"b\"", 4)});
    const std::vector<RankStore::Pair> pairs = store.pairs();
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].engine, de("Spürnase"));

    rankreport::History history;
    for (const RankStore::Pair &pair : pairs)
        history[{pair.engine, pair.term}] = store.history(pair.engine, pair.term, rankreport::kChartChecks);
    const std::string page = rankreport::html(pairs, history, "Sonnenblume", day(4));
    EXPECT_NE(page.find("<h2>Spürnase</h2>"), std::string::npos);
    EXPECT_NE(page.find("<td>kräuter</td>"), std::string::npos);
    EXPECT_NE(page.find("▲ 2"), std::string::npos);
    EXPECT_NE(page.find("a, &quot;b&quot;"), std::string::npos);
    // The failure of day 1 breaks the line: two pieces, no point for it.
    const std::size_t chartStart = page.find("<svg", page.find("<td>kräuter</td>"));
    const std::string chart = page.substr(chartStart, page.find("</svg>", chartStart) - chartStart);
    std::size_t lines = 0;
    for (std::size_t at = chart.find("<polyline"); at != std::string::npos; at = chart.find("<polyline", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u); // days 2 and 3 joined; day 0 stands alone before the gap
    std::size_t points = 0;
    for (std::size_t at = chart.find("<circle"); at != std::string::npos; at = chart.find("<circle", at + 1))
        ++points;
    EXPECT_EQ(points, 3u);
    // "Not in the top 30" sits on the bottom edge, marked.
    const std::size_t otherChart = page.find("<svg", page.find("a, &quot;b&quot;"));
    EXPECT_NE(page.find("<rect", otherChart), std::string::npos);
    EXPECT_NE(page.find("nicht unter Top 30", otherChart), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);

    const std::string table = rankreport::csv(store.allChecks());
    EXPECT_EQ(table.rfind("\xEF\xBB\xBF" "Datum,Suchmaschine,Suchbegriff,Ergebnis,Position,Tiefe,Link\r\n", 0), 0u);
    EXPECT_NE(table.find(",Spürnase,kräuter,Fehler: Antwort nicht bekannt,,30,\r\n"), std::string::npos);
    EXPECT_NE(table.find(",Suchfix,\"a, \"\"b\"\"\",gefunden,3,30,"), std::string::npos);
}

TEST_F(RankStoreTest, DamagedNewerOrBusyDatabasesAreReported)
{
    writeFile(path(), std::string(4096, 'x'));
    RankStore damaged;
    EXPECT_FALSE(damaged.open(path()));
    EXPECT_NE(damaged.error().find(de("beschädigt")), std::string::npos) << damaged.error();

    std::filesystem::remove(path());
    {
        RankStore store;
        ASSERT_TRUE(store.open(path()));
    }
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &db), SQLITE_OK);
    int version = 0;
    sqlite3_exec(
        db, "PRAGMA user_version",
        [](void *out, int, char **values, char **) {
            *static_cast<int *>(out) = std::atoi(values[0]);
            return 0;
        },
        &version, nullptr);
    EXPECT_EQ(version, RankStore::kSchemaVersion);

    // Another program holds the write lock longer than we wait.
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    RankStore busy;
    ASSERT_TRUE(busy.open(path()));
    busy.setBusyTimeout(50);
    EXPECT_EQ(busy.record(day(0), {found("Suchfix", "x", 1)}), 0);
    EXPECT_NE(busy.error().find("anderen Programm"), std::string::npos) << busy.error();
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    EXPECT_NE(busy.record(day(0), {found("Suchfix", "x", 1)}), 0) << busy.error();

    sqlite3_exec(db, "PRAGMA user_version=99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    RankStore newer;
    EXPECT_FALSE(newer.open(path()));
    EXPECT_NE(newer.error().find("neueren Version"), std::string::npos);
}

TEST_F(RankStoreTest, TwoWritersAtOnceLoseNothing)
{
    {
        RankStore store;
        ASSERT_TRUE(store.open(path()));
    }
    const auto writer = [this](const std::string &engine) {
        RankStore store;
        if (!store.open(path()))
            return;
        std::vector<PositionRecord> records;
        for (int t = 0; t < 200; ++t)
            records.push_back(found(engine, "t" + std::to_string(t), 1 + t % 30));
        for (int run = 0; run < 15; ++run)
            EXPECT_NE(store.record(day(run), records), 0) << store.error();
    };
    std::thread a(writer, "Suchfix");
    std::thread b(writer, "Findling");
    a.join();
    b.join();
    RankStore store;
    ASSERT_TRUE(store.open(path()));
    EXPECT_EQ(store.allChecks().size(), 2u * 15u * 200u);
}

TEST_F(RankStoreTest, KilledInTheMiddleOfARunKeepsEveryEarlierRun)
{
    {
        RankStore store;
        ASSERT_TRUE(store.open(path()));
        for (int run = 0; run < 3; ++run)
            record(store, run, {found("Suchfix", "stauden", 10 + run)});
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A run so large that the kill finds it writing.
        RankStore store;
        if (!store.open(path()))
            ::_exit(2);
        std::vector<PositionRecord> records;
        for (int t = 0; t < 200000; ++t)
            records.push_back(found("Suchfix", "t" + std::to_string(t), 1));
        std::thread killer([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ::raise(SIGKILL);
        });
        store.record(1'800'000'000LL, records);
        killer.join();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    RankStore store;
    ASSERT_TRUE(store.open(path())) << store.error();
    const std::vector<RankStore::Check> history = store.history("Suchfix", "stauden", 0);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].position, 12);
    // Nothing of the cut-off run came in.
    EXPECT_EQ(store.allChecks().size(), 3u);
}
