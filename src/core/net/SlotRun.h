#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace vantor {

class Ui;

// The engine the submission and the position check both run on: up to three
// targets side by side, one per slot; within a slot the documents of a
// target go out in batches of up to 15, one worker thread per document. The
// calling (user-interface) thread schedules everything, polls the workers'
// outcomes and pauses between rounds through Ui, so the window stays alive.
//
// A worker hands its outcome back with one release store into its job's
// atomic; the polling thread reads it with acquire, so whatever the worker
// wrote before (its answer, its notes) is visible once the outcome is.
class SlotRun
{
public:
    static constexpr int kSlots = 3;
    static constexpr int kBatch = 15;
    // The outcome of a job still at work; every final outcome is non-zero.
    static constexpr int kPending = 0;

    struct Timing {
        std::chrono::milliseconds afterBatch{1000};
        std::chrono::milliseconds beforeNext{300};
        std::chrono::milliseconds betweenRounds{300};
    };

    // What differs between the submission and the position check.
    class Client
    {
    public:
        virtual ~Client() = default;
        // Calling thread. A target comes to a slot; false ends the whole
        // run at once (a definition it cannot use).
        virtual bool takeUp(int slot, int target) = 0;
        // Calling thread, before the batch's workers start.
        virtual void batchStarted(int slot, int target, int firstDocument, int count) = 0;
        // A worker thread: the work for one document, returning its final
        // (non-zero) outcome. Runs beside the other workers of all slots.
        virtual int work(int slot, int target, int document) = 0;
        // Calling thread, once per document, in the batch's order as far as
        // the outcomes have arrived.
        virtual void shown(int slot, int target, int document, int outcome) = 0;
        // Calling thread: the batch's outcomes were all shown and the pause
        // after it is over.
        virtual void batchCleared(int slot) = 0;
        virtual void targetDone(int slot, int target) = 0;
        // The slot has nothing more to do while others still work.
        virtual void slotIdle(int slot) = 0;
        // Calling thread, at the start of every polling round: what the
        // workers asked of the user (a login) is answered here.
        virtual void round() {}
        // Whether the outcome stops the showing once the run is aborted (a
        // request that went unanswered).
        virtual bool endsShowingWhenAborted(int /*outcome*/) const { return false; }
    };

    // With the pauses that spread the load on the servers.
    SlotRun(Ui &ui, Client &client, int targets, int documents);
    SlotRun(Ui &ui, Client &client, int targets, int documents, Timing timing);
    ~SlotRun();
    SlotRun(const SlotRun &) = delete;
    SlotRun &operator=(const SlotRun &) = delete;

    // Returns false when a target could not be taken up; true when the run
    // ended, aborted or not.
    bool run();
    // From the calling thread (a button): no further batch or target starts.
    void abort() { m_abort.store(true, std::memory_order_release); }
    bool aborted() const { return m_abort.load(std::memory_order_acquire); }

    // For the progress bar (0..26 while running), and the highest number of
    // workers that ran at once.
    int progressOf(int target) const;
    int peakWorkers() const { return m_peakWorkers.load(std::memory_order_relaxed); }

private:
    struct Job {
        int target = -1;
        int document = -1;
        bool shown = true;
        std::atomic<int> outcome{kPending};
    };
    struct Slot {
        bool finished = true;
        int target = -1;
        int nextDocument = 0;
        int batchCount = 0;
        Job jobs[kBatch];
        // The batch's workers; joined once every one of them has handed in
        // its outcome, so a long run never piles up ended threads.
        std::vector<std::thread> workers;
    };

    bool takeUpNext(int slotIndex);
    void startBatch(int slotIndex);
    // Shows what arrived; true when the whole batch has been shown.
    bool showArrived(int slotIndex, bool &stopShowing);
    bool anyWaiting() const;
    void pause(std::chrono::milliseconds time);
    void joinWorkers(Slot &slot);

    Ui &m_ui;
    Client &m_client;
    int m_targets;
    int m_documents;
    Timing m_timing;
    Slot m_slots[kSlots];
    int m_nextTarget = 0;
    std::atomic<bool> m_abort{false};
    std::atomic<int> m_running{0};
    std::atomic<int> m_peakWorkers{0};
};

} // namespace vantor
