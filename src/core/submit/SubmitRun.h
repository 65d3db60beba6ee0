#pragma once

#include "net/SlotRun.h"
#include "submit/SubmitOutcome.h"
#include "submit/SubmitTarget.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

class Ui;

// What the submission dialog shows while a run goes on. Every call comes
// from the thread that called SubmitRun::run(), between its pauses; texts
// are cp1252.
class SubmitView
{
public:
    virtual ~SubmitView() = default;
    // The list view of a slot (0..2).
    virtual void slotCleared(int slot) = 0;
    // A line "Anmelden: <document>" or a closing line, with its state image.
    virtual void lineAdded(int slot, const std::string &text, int image) = 0;
    // The document's outcome arrived: the view finds its line by the text
    // "Anmelden: " + document, fills the second column, sets the image and
    // makes the line visible.
    virtual void outcomeShown(int slot, const std::string &target, const std::string &document,
                              SubmitOutcome outcome) = 0;
    // The same for an outcome that is no engine's (IndexNow): its own text
    // and state image.
    virtual void outcomeTextShown(int /*slot*/, const std::string & /*document*/, const std::string & /*text*/,
                                  int /*image*/)
    {
    }
    // The text field above a slot's list ("Bereit...", the target, "Fertig!").
    virtual void slotTitle(int slot, const std::string &text) = 0;
    // The "Report:" and "To Do's:" lists; SubmitRun keeps its own copy too.
    virtual void reportChanged(const std::vector<std::string> &report) = 0;
    virtual void adviceChanged(const std::vector<std::string> &advice) = 0;
    // "Abbrechen" may be pressed from now on (true) or no longer (false).
    virtual void abortAvailable(bool available) = 0;
};

// A SubmitView that shows nothing (tests, the benchmark).
class NullSubmitView : public SubmitView
{
public:
    void slotCleared(int) override {}
    void lineAdded(int, const std::string &, int) override {}
    void outcomeShown(int, const std::string &, const std::string &, SubmitOutcome) override {}
    void slotTitle(int, const std::string &) override {}
    void reportChanged(const std::vector<std::string> &) override {}
    void adviceChanged(const std::vector<std::string> &) override {}
    void abortAvailable(bool) override {}
};

struct SubmitRunInput {
    // The submission URL as typed behind "URL: http://" (no scheme).
    std::string homepage;
    // Document URLs without scheme, at most 1,000; targets as offered.
    std::vector<std::string> documents;
    std::vector<std::string> targets;
    std::string email;
    // The unpacked texts of submit_d.dat and submit_lists_d.dat.
    std::string submitText;
    std::string listsText;
};

// One submission: every document to every chosen target, three targets at
// a time, each answer sorted into an outcome; the per-target summary and
// advice go into the report and advice lists.
class SubmitRun
{
public:
    enum class Result {
        Done,          // every target was worked through
        Aborted,       // "Abbrechen" during the run
        Ended,         // the homepage did not answer and the user ended there
        BrokenTarget,  // a target's definition lacked a required key
    };

    SubmitRun(Ui &ui, SubmitView &view, SubmitRunInput input);
    SubmitRun(Ui &ui, SubmitView &view, SubmitRunInput input, SlotRun::Timing timing);
    ~SubmitRun();
    SubmitRun(const SubmitRun &) = delete;
    SubmitRun &operator=(const SubmitRun &) = delete;

    Result run();
    // From the thread of run() (a button pressed while it pumps): no further
    // batch or target starts; requests already sent run to their end.
    void abort();

    const std::vector<std::string> &report() const { return m_report; }
    const std::vector<std::string> &advice() const { return m_advice; }
    // The highest number of workers that ran at once.
    int peakWorkers() const;

    // The maker hears of broken answers once per program run; a test starts
    // a new "program run" with this.
    static void resetMakerReport();

    // The texts the run shows.
    static std::string homepageQuestionTitle(); // "Keine Antwort von Homepage"
    static std::string homepageQuestionText();
    static std::string stopButton();            // "Anmelden beenden"
    static std::string continueButton();        // "Anmelden fortsetzen"
    static std::string idleLine();              // "Warten auf andere Anmeldungen..."
    static std::string abortingTitle();         // "Vorgang wird abgebrochen..."
    static std::string finishedTitle();         // "Fertig!"
    static std::string linePrefix();            // "Anmelden: "

    class Engine;

private:
    Ui &m_ui;
    SubmitView &m_view;
    SubmitRunInput m_input;
    SlotRun::Timing m_timing;
    std::vector<std::string> m_report;
    std::vector<std::string> m_advice;
    std::unique_ptr<Engine> m_engine;
};

} // namespace vantor
