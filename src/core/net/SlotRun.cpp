#include "net/SlotRun.h"

#include "ui/Ui.h"

#include <algorithm>

namespace vantor {

SlotRun::SlotRun(Ui &ui, Client &client, int targets, int documents, Timing timing)
    : m_ui(ui)
    , m_client(client)
    , m_targets(targets)
    , m_documents(documents)
    , m_timing(timing)
{
}

SlotRun::SlotRun(Ui &ui, Client &client, int targets, int documents)
    : SlotRun(ui, client, targets, documents, Timing())
{
}

SlotRun::~SlotRun()
{
    // After an abort the requests already sent run to their end; the run's
    // owner waits for them here, at the latest.
    for (Slot &slot : m_slots)
        joinWorkers(slot);
}

void SlotRun::joinWorkers(Slot &slot)
{
    for (std::thread &worker : slot.workers) {
        if (worker.joinable())
            worker.join();
    }
    slot.workers.clear();
}

int SlotRun::progressOf(int target) const { return m_targets > 0 ? target * 26 / m_targets : 0; }

void SlotRun::pause(std::chrono::milliseconds time)
{
    if (time.count() > 0)
        m_ui.pause(static_cast<int>(time.count()));
}

bool SlotRun::takeUpNext(int slotIndex)
{
    Slot &slot = m_slots[slotIndex];
    if (m_nextTarget >= m_targets || aborted()) {
        slot.finished = true;
        return true;
    }
    const int target = m_nextTarget++;
    m_ui.progress(progressOf(target), 28);
    if (!m_client.takeUp(slotIndex, target))
        return false;
    slot.finished = false;
    slot.target = target;
    slot.nextDocument = 0;
    startBatch(slotIndex);
    return true;
}

void SlotRun::startBatch(int slotIndex)
{
    Slot &slot = m_slots[slotIndex];
    const int first = slot.nextDocument;
    const int count = std::min(kBatch, m_documents - first);
    slot.batchCount = std::max(count, 0);
    slot.nextDocument = first + slot.batchCount;
    for (int i = 0; i < kBatch; ++i) {
        Job &job = slot.jobs[i];
        job.target = slot.target;
        job.document = i < slot.batchCount ? first + i : -1;
        job.shown = i >= slot.batchCount;
        job.outcome.store(kPending, std::memory_order_relaxed);
    }
    m_client.batchStarted(slotIndex, slot.target, first, slot.batchCount);
    m_ui.pump();
    if (aborted())
        return;
    for (int i = 0; i < slot.batchCount; ++i) {
        Job *job = &slot.jobs[i];
        const int running = m_running.fetch_add(1, std::memory_order_relaxed) + 1;
        int peak = m_peakWorkers.load(std::memory_order_relaxed);
        while (running > peak && !m_peakWorkers.compare_exchange_weak(peak, running, std::memory_order_relaxed)) {
        }
        slot.workers.emplace_back([this, job, slotIndex]() {
            const int outcome = m_client.work(slotIndex, job->target, job->document);
            m_running.fetch_sub(1, std::memory_order_relaxed);
            // The hand-over: everything the worker wrote is visible to the
            // thread that sees this outcome.
            job->outcome.store(outcome == kPending ? -1 : outcome, std::memory_order_release);
        });
    }
}

bool SlotRun::showArrived(int slotIndex, bool &stopShowing)
{
    Slot &slot = m_slots[slotIndex];
    bool all = true;
    for (int i = 0; i < slot.batchCount; ++i) {
        Job &job = slot.jobs[i];
        if (job.shown)
            continue;
        const int outcome = job.outcome.load(std::memory_order_acquire);
        if (outcome == kPending) {
            all = false;
            continue;
        }
        job.shown = true;
        m_client.shown(slotIndex, job.target, job.document, outcome);
        if (aborted() && m_client.endsShowingWhenAborted(outcome)) {
            stopShowing = true;
            return false;
        }
    }
    return all;
}

bool SlotRun::anyWaiting() const
{
    for (const Slot &slot : m_slots) {
        if (slot.finished)
            continue;
        for (int i = 0; i < slot.batchCount; ++i) {
            if (!slot.jobs[i].shown && slot.jobs[i].outcome.load(std::memory_order_acquire) != kPending)
                return true;
        }
    }
    return false;
}

bool SlotRun::run()
{
    m_abort.store(false, std::memory_order_release);
    m_nextTarget = 0;
    const int inUse = std::min(m_targets, kSlots);
    for (int i = 0; i < kSlots; ++i)
        m_slots[i].finished = true;
    for (int i = 0; i < inUse; ++i) {
        if (!takeUpNext(i))
            return false;
    }
    for (int i = inUse; i < kSlots; ++i)
        m_client.slotIdle(i);

    for (;;) {
        m_ui.pump();
        m_client.round();
        bool stopShowing = false;
        for (int i = 0; i < kSlots && !stopShowing; ++i) {
            Slot &slot = m_slots[i];
            if (slot.finished || !showArrived(i, stopShowing) || stopShowing)
                continue;
            // The whole batch is shown: let it stand a moment, then on.
            joinWorkers(slot);
            pause(m_timing.afterBatch);
            m_client.batchCleared(i);
            pause(m_timing.beforeNext);
            if (slot.nextDocument < m_documents && !aborted()) {
                startBatch(i);
                continue;
            }
            m_client.targetDone(i, slot.target);
            if (m_nextTarget < m_targets && !aborted()) {
                pause(m_timing.beforeNext);
                if (!takeUpNext(i))
                    return false;
            } else {
                slot.finished = true;
                m_client.slotIdle(i);
            }
        }
        const bool allFinished = std::all_of(std::begin(m_slots), std::end(m_slots),
                                             [](const Slot &slot) { return slot.finished; });
        if (allFinished || (aborted() && !anyWaiting()))
            break;
        pause(m_timing.betweenRounds);
    }
    m_ui.progress(28, 28);
    return true;
}

} // namespace vantor
