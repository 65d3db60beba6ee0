#include "position/PositionRun.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "position/PositionCheck.h"
#include "position/PositionEngine.h"
#include "position/PositionPreparation.h"
#include "submit/SubmitOutcome.h"
#include "ui/Ui.h"

#include <array>
#include <atomic>
#include <ctime>
#include <optional>
#include <set>

namespace vantor {

namespace {

// The maker hears of broken answers once per program run, however many
// engines and runs give them.
std::atomic<bool> g_makerReported{false};

} // namespace

class PositionRun::Engine : public SlotRun::Client
{
public:
    Engine(PositionRun &run, SlotRun::Timing timing)
        : m_run(run)
        , m_input(run.m_input)
        , m_slotRun(run.m_ui, *this, static_cast<int>(run.m_input.engines.size()),
                    static_cast<int>(run.m_input.terms.size()), timing)
    {
        m_domains.push_back(m_input.domain);
        for (const std::string &domain : m_input.domainList) {
            if (!domain.empty())
                m_domains.push_back(domain);
        }
        for (auto &session : m_sessions)
            session = std::make_unique<HttpSession>(httpget::searchEngineAgent());
    }

    SlotRun &slotRun() { return m_slotRun; }
    bool broken() const { return m_broken; }
    void cancel() { m_cancel.store(true, std::memory_order_release); }

    bool takeUp(int slot, int target) override
    {
        Slot &s = m_slots[static_cast<std::size_t>(slot)];
        const std::string &name = m_input.engines[static_cast<std::size_t>(target)];
        std::optional<PositionEngine> engine = positionengines::find(m_input.positionText, name);
        if (!engine) {
            m_broken = true;
            return false;
        }
        s.engine = std::move(*engine);
        s.name = name;
        s.outcomes.assign(m_input.terms.size(), PositionOutcome::Unused);
        return true;
    }

    void batchStarted(int slot, int, int firstTerm, int count) override
    {
        Slot &s = m_slots[static_cast<std::size_t>(slot)];
        PositionView &view = m_run.m_view;
        view.slotCleared(slot);
        s.first = firstTerm;
        for (int i = 0; i < count; ++i) {
            const std::string &term = m_input.terms[static_cast<std::size_t>(firstTerm + i)];
            // Set up here, before the workers start: starting a thread is
            // what hands the check over.
            PositionCheck &check = s.checks[static_cast<std::size_t>(i)];
            check = PositionCheck();
            check.engine = &s.engine;
            check.term = term;
            check.domains = &m_domains;
            check.cancel = &m_cancel;
            view.lineAdded(slot, linePrefix() + term, positionoutcome::kWorkingImage);
        }
        view.slotTitle(slot, s.name);
    }

    int work(int slot, int, int term) override
    {
        Slot &s = m_slots[static_cast<std::size_t>(slot)];
        PositionCheck &check = s.checks[static_cast<std::size_t>(term - s.first)];
        return static_cast<int>(check.run(*m_sessions[static_cast<std::size_t>(slot)]));
    }

    void shown(int slot, int, int term, int outcome) override
    {
        Slot &s = m_slots[static_cast<std::size_t>(slot)];
        const auto result = static_cast<PositionOutcome>(outcome);
        s.outcomes[static_cast<std::size_t>(term)] = result;
        const PositionCheck &check = s.checks[static_cast<std::size_t>(term - s.first)];
        const std::string text = positionoutcome::text(result, check.count, s.name);
        const bool found = result == PositionOutcome::Found;
        PositionRecord record;
        record.engine = s.name;
        record.term = check.term;
        record.outcome = result;
        record.position = found ? check.count : 0;
        record.depth = check.depth;
        if (found) {
            record.link = s.engine.linkPrefix + check.foundPath;
            record.domain = check.matchedDomain;
        }
        m_run.m_view.outcomeShown(slot, record, text, positionoutcome::image(result));
        m_run.m_report.push_back(positionoutcome::reportLine(s.name, check.term, text, s.engine.linkPrefix,
                                                             found ? check.foundPath : std::string()));
        m_run.m_view.reportChanged(m_run.m_report);
        m_run.m_records.push_back(std::move(record));
    }

    void batchCleared(int slot) override { m_run.m_view.slotCleared(slot); }

    void targetDone(int slot, int) override
    {
        Slot &s = m_slots[static_cast<std::size_t>(slot)];
        std::vector<PositionOutcome> outcomes;
        for (const PositionOutcome outcome : s.outcomes) {
            if (outcome != PositionOutcome::Unused)
                outcomes.push_back(outcome);
        }
        const positionoutcome::Summary summary = positionoutcome::summarize(s.name, outcomes);
        submitoutcome::addUnlessBegun(m_run.m_report, summary.line);
        m_run.m_view.reportChanged(m_run.m_report);
        if (summary.reportToMaker && !g_makerReported.exchange(true))
            httpget::sendErrorReport("FEHLER Position: Antwort vom Web-Server " + s.name + ": Error aufgetreten!",
                                     false, m_run.m_ui);
    }

    void slotIdle(int slot) override
    {
        m_run.m_view.slotCleared(slot);
        m_run.m_view.lineAdded(slot, idleLine(), positionoutcome::kIdleImage);
    }

    bool endsShowingWhenAborted(int outcome) const override
    {
        return outcome == static_cast<int>(PositionOutcome::NoAnswer);
    }

private:
    struct Slot {
        PositionEngine engine;
        std::string name;
        int first = 0;
        std::array<PositionCheck, SlotRun::kBatch> checks;
        // Per term of the current engine, as shown.
        std::vector<PositionOutcome> outcomes;
    };

    PositionRun &m_run;
    const PositionRunInput &m_input;
    std::vector<std::string> m_domains;
    std::array<std::unique_ptr<HttpSession>, SlotRun::kSlots> m_sessions;
    std::array<Slot, SlotRun::kSlots> m_slots;
    std::atomic<bool> m_cancel{false};
    bool m_broken = false;
    // Last: its destructor joins the workers, which still use the above.
    SlotRun m_slotRun;
};

SlotRun::Timing PositionRun::dialogTiming()
{
    SlotRun::Timing timing;
    timing.afterBatch = std::chrono::milliseconds(500);
    timing.beforeNext = std::chrono::milliseconds(300);
    timing.betweenRounds = std::chrono::milliseconds(500);
    return timing;
}

PositionRun::PositionRun(Ui &ui, PositionView &view, PositionRunInput input)
    : PositionRun(ui, view, std::move(input), dialogTiming())
{
}

PositionRun::PositionRun(Ui &ui, PositionView &view, PositionRunInput input, SlotRun::Timing timing)
    : m_ui(ui)
    , m_view(view)
    , m_input(std::move(input))
    , m_timing(timing)
{
    if (m_input.terms.size() > 1000)
        m_input.terms.resize(1000);
    if (m_input.engines.size() > static_cast<std::size_t>(PositionEngine::kMaxEngines))
        m_input.engines.resize(PositionEngine::kMaxEngines);
    if (m_input.domainList.size() > 49)
        m_input.domainList.resize(49);
}

PositionRun::~PositionRun() = default;

void PositionRun::resetMakerReport() { g_makerReported.store(false); }

int PositionRun::peakWorkers() const { return m_engine ? m_engine->slotRun().peakWorkers() : 0; }

void PositionRun::abort()
{
    if (!m_engine)
        return;
    m_view.abortAvailable(false);
    m_engine->slotRun().abort();
    // Whatever is still on its way is given up, so the end of the run does
    // not wait for slow engines.
    m_engine->cancel();
    for (int i = 0; i < SlotRun::kSlots; ++i)
        m_view.slotTitle(i, abortingTitle());
}

PositionRun::Result PositionRun::run()
{
    m_report.clear();
    m_records.clear();
    m_view.reportChanged(m_report);
    // The workers of an earlier run (after an abort) end here at the latest.
    m_engine.reset();

    m_startedAt = static_cast<long long>(std::time(nullptr));
    m_engine = std::make_unique<Engine>(*this, m_timing);
    m_view.abortAvailable(true);
    const bool finished = m_engine->slotRun().run();
    m_view.abortAvailable(false);
    addUnchecked();

    m_ui.progress(28, 28);
    for (int i = 0; i < SlotRun::kSlots; ++i) {
        m_view.slotCleared(i);
        m_view.slotTitle(i, finishedTitle());
    }
    if (!finished && m_engine->broken()) {
        m_ui.message(positionprep::readErrorTitle(), positionprep::readErrorText());
        return Result::BrokenEngine;
    }
    return m_engine->slotRun().aborted() ? Result::Aborted : Result::Done;
}

void PositionRun::addUnchecked()
{
    std::set<std::pair<std::string, std::string>> checked;
    for (const PositionRecord &record : m_records)
        checked.emplace(record.engine, record.term);
    for (const std::string &engine : m_input.engines) {
        for (const std::string &term : m_input.terms) {
            if (checked.emplace(engine, term).second) {
                PositionRecord record;
                record.engine = engine;
                record.term = term;
                m_records.push_back(std::move(record));
            }
        }
    }
}

std::string PositionRun::linePrefix() { return "Abfragen: "; }
std::string PositionRun::idleLine() { return "Warten auf andere Suchmaschinen..."; }
std::string PositionRun::abortingTitle() { return "Vorgang wird abgebrochen..."; }
std::string PositionRun::finishedTitle() { return "Fertig!"; }

} // namespace vantor
