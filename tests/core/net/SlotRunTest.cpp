#include "net/SlotRun.h"

#include "ui/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantor {
namespace {

// Records what the engine asks of its client, in the calling thread, and
// does the work in the workers as a real client would: writes its notes, then
// returns the outcome that hands them over.
class RecordingClient : public SlotRun::Client
{
public:
    // One note per target and document: up to eight targets of up to a
    // thousand documents, each in a place of its own, so that no two
    // workers ever share one.
    explicit RecordingClient(int documents)
        : notes(8000)
    {
        EXPECT_LE(documents, 1000);
    }

    bool takeUp(int slot, int target) override
    {
        events.push_back("take " + std::to_string(slot) + " " + std::to_string(target));
        return target != failingTarget;
    }
    void batchStarted(int slot, int target, int first, int count) override
    {
        events.push_back("batch " + std::to_string(slot) + " " + std::to_string(target) + " " +
                         std::to_string(first) + "+" + std::to_string(count));
    }
    int work(int, int target, int document) override
    {
        if (barrier) {
            std::unique_lock lock(mutex);
            ++arrived;
            wake.notify_all();
            wake.wait(lock, [&] { return arrived >= barrier; });
        }
        // Written without a lock: only the outcome's release store makes it
        // safe to read in the calling thread.
        notes.at(static_cast<std::size_t>(target * 1000 + document)) = target * 1000 + document + 1;
        return 1 + (document % 3);
    }
    void shown(int, int target, int document, int outcome) override
    {
        EXPECT_EQ(notes.at(static_cast<std::size_t>(target * 1000 + document)),
                  target * 1000 + document + 1);
        EXPECT_NE(outcome, SlotRun::kPending);
        shownDocuments[target].insert(document);
        if (abortAfterShown > 0 && ++shownCount == abortAfterShown && run)
            run->abort();
    }
    void batchCleared(int) override {}
    void targetDone(int slot, int target) override
    {
        events.push_back("done " + std::to_string(slot) + " " + std::to_string(target));
    }
    void slotIdle(int slot) override { events.push_back("idle " + std::to_string(slot)); }

    std::vector<std::string> events;
    std::vector<int> notes;
    std::map<int, std::set<int>> shownDocuments;
    int failingTarget = -1;
    int barrier = 0;
    int arrived = 0;
    int abortAfterShown = 0;
    int shownCount = 0;
    SlotRun *run = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
};

constexpr SlotRun::Timing kNoPauses{std::chrono::milliseconds(0), std::chrono::milliseconds(0),
                                    std::chrono::milliseconds(1)};

bool has(const std::vector<std::string> &events, const std::string &event)
{
    return std::find(events.begin(), events.end(), event) != events.end();
}

TEST(SlotRun, ThirtyOneDocumentsGoInBatchesOfFifteenFifteenAndOne)
{
    ScriptedUi ui;
    RecordingClient client(31);
    SlotRun run(ui, client, 1, 31, kNoPauses);
    ASSERT_TRUE(run.run());
    EXPECT_TRUE(has(client.events, "batch 0 0 0+15"));
    EXPECT_TRUE(has(client.events, "batch 0 0 15+15"));
    EXPECT_TRUE(has(client.events, "batch 0 0 30+1"));
    EXPECT_EQ(client.shownDocuments[0].size(), 31u);
    // One target: the other two slots are idle from the start.
    EXPECT_EQ(client.events[0], "take 0 0");
    EXPECT_TRUE(has(client.events, "idle 1"));
    EXPECT_TRUE(has(client.events, "idle 2"));
}

TEST(SlotRun, TwoTargetsLeaveTheThirdSlotIdleAndEveryTargetIsDoneOnce)
{
    ScriptedUi ui;
    RecordingClient client(20);
    SlotRun run(ui, client, 2, 20, kNoPauses);
    ASSERT_TRUE(run.run());
    EXPECT_TRUE(has(client.events, "idle 2"));
    EXPECT_TRUE(has(client.events, "done 0 0"));
    EXPECT_TRUE(has(client.events, "done 1 1"));
    EXPECT_EQ(client.shownDocuments[0].size(), 20u);
    EXPECT_EQ(client.shownDocuments[1].size(), 20u);

    // Seven targets over three slots: each taken up once, each finished once.
    RecordingClient many(4);
    SlotRun seven(ui, many, 7, 4, kNoPauses);
    ASSERT_TRUE(seven.run());
    for (int target = 0; target < 7; ++target) {
        const std::string suffix = " " + std::to_string(target);
        EXPECT_EQ(std::count_if(many.events.begin(), many.events.end(),
                                [&](const std::string &e) {
                                    return e.rfind("done", 0) == 0 && e.size() > suffix.size() &&
                                           e.compare(e.size() - suffix.size(), suffix.size(), suffix) == 0;
                                }),
                  1)
            << target;
    }
}

TEST(SlotRun, FortyFiveWorkersRunAtOnceAndHandOverTheirWork)
{
    // Every worker waits until all 45 are in: the run must have started
    // three full batches side by side, or this never ends.
    ScriptedUi ui;
    RecordingClient client(15);
    client.barrier = 45;
    SlotRun run(ui, client, 3, 15, kNoPauses);
    ASSERT_TRUE(run.run());
    EXPECT_EQ(run.peakWorkers(), 45);
    for (int target = 0; target < 3; ++target)
        EXPECT_EQ(client.shownDocuments[target].size(), 15u);
}

TEST(SlotRun, ATargetThatCannotBeTakenUpEndsTheRunWithoutSummary)
{
    ScriptedUi ui;
    RecordingClient client(5);
    client.failingTarget = 1;
    SlotRun run(ui, client, 3, 5, kNoPauses);
    EXPECT_FALSE(run.run());
    EXPECT_FALSE(has(client.events, "done 0 0"));
}

TEST(SlotRun, AnAbortStartsNothingNewButShowsWhatWasSent)
{
    ScriptedUi ui;
    RecordingClient client(40);
    SlotRun run(ui, client, 2, 40, kNoPauses);
    client.run = &run;
    client.abortAfterShown = 3;
    ASSERT_TRUE(run.run());
    EXPECT_TRUE(run.aborted());
    // Only the first batch of each target went out, and all of it arrived.
    EXPECT_FALSE(has(client.events, "batch 0 0 15+15"));
    EXPECT_LE(client.shownDocuments[0].size(), 15u);
    EXPECT_FALSE(has(client.events, "take 2 2"));
}

} // namespace
} // namespace vantor
