#pragma once

#include "net/SlotRun.h"
#include "position/PositionOutcome.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// Pairs of engine and term an aborted run never came to have the outcome
// Unused.
struct PositionRecord {
    std::string engine;
    std::string term;
    PositionOutcome outcome = PositionOutcome::Unused;
    std::string domain; // the domain found, when found
    int position = 0; // found only
    int depth = 0;    // pages × results per page of the request
    std::string link; // link prefix and path of the page the site was on
};

// What the position dialog shows while a run goes on. Every call comes from
// the thread that called PositionRun::run(), between its pauses; texts are
// cp1252.
class PositionView
{
public:
    virtual ~PositionView() = default;
    // The list view of a slot (0..2).
    virtual void slotCleared(int slot) = 0;
    // A line "Abfragen: <term>" or a closing line, with its image.
    virtual void lineAdded(int slot, const std::string &text, int image) = 0;
    // The term's outcome arrived: the view finds the line "Abfragen: " +
    // record.term, puts text into its second column and sets the image.
    virtual void outcomeShown(int slot, const PositionRecord &record, const std::string &text, int image) = 0;
    // The text field above a slot's list (the engine, "Fertig!").
    virtual void slotTitle(int slot, const std::string &text) = 0;
    // The "Report:" list; the run keeps its own copy too.
    virtual void reportChanged(const std::vector<std::string> &report) = 0;
    // "Abbrechen" may be pressed from now on (true) or no longer (false).
    virtual void abortAvailable(bool available) = 0;
};

// A PositionView that shows nothing (tests, the benchmark, the command line).
class NullPositionView : public PositionView
{
public:
    void slotCleared(int) override {}
    void lineAdded(int, const std::string &, int) override {}
    void outcomeShown(int, const PositionRecord &, const std::string &, int) override {}
    void slotTitle(int, const std::string &) override {}
    void reportChanged(const std::vector<std::string> &) override {}
    void abortAvailable(bool) override {}
};

struct PositionRunInput {
    // As typed behind "URL: http://".
    std::string domain;
    // Further domains of the domain list, at most 49.
    std::vector<std::string> domainList;
    // Lower case and cut at '#' already; at most 1,000.
    std::vector<std::string> terms;
    // As offered; at most 100.
    std::vector<std::string> engines;
    // The unpacked text of position_d.dat.
    std::string positionText;
};

// One outcome as it was shown, for whoever keeps the history.

// One position check: every term at every chosen engine, three engines at a
// time, each term's pages read by a worker of its own.
class PositionRun
{
public:
    enum class Result {
        Done,         // every engine was worked through
        Aborted,      // "Abbrechen" during the run
        BrokenEngine, // an engine's entry could not be used
    };

    PositionRun(Ui &ui, PositionView &view, PositionRunInput input);
    PositionRun(Ui &ui, PositionView &view, PositionRunInput input, SlotRun::Timing timing);
    ~PositionRun();
    PositionRun(const PositionRun &) = delete;
    PositionRun &operator=(const PositionRun &) = delete;

    Result run();
    // From the thread of run() (a button pressed while it pumps): no further
    // batch or engine starts, and the requests on their way are given up.
    void abort();

    const std::vector<std::string> &report() const { return m_report; }
    // Every pair of engine and term of the run, in the order shown; those
    // it did not come to at the end.
    const std::vector<PositionRecord> &records() const { return m_records; }
    // When the run began (seconds since the epoch, UTC).
    long long startedAt() const { return m_startedAt; }
    int peakWorkers() const;

    // The pauses of the dialog: 500 ms after a batch and between polling
    // rounds, 300 ms before the next.
    static SlotRun::Timing dialogTiming();

    // The maker hears of broken answers once per program run; a test starts
    // a new "program run" with this.
    static void resetMakerReport();

    static std::string linePrefix();  // "Abfragen: "
    static std::string idleLine();    // "Warten auf andere Suchmaschinen..."
    static std::string abortingTitle(); // "Vorgang wird abgebrochen..."
    static std::string finishedTitle(); // "Fertig!"

    class Engine;

private:
    void addUnchecked();

    Ui &m_ui;
    PositionView &m_view;
    PositionRunInput m_input;
    SlotRun::Timing m_timing;
    std::vector<std::string> m_report;
    std::vector<PositionRecord> m_records;
    long long m_startedAt = 0;
    std::unique_ptr<Engine> m_engine;
};

} // namespace vantor
