#include "submit/SubmitRun.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "submit/SubmitAnswerReader.h"
#include "submit/SubmitPreparation.h"
#include "ui/SilentUi.h"
#include "ui/Ui.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>

namespace vantor {

namespace {

// The maker hears of broken answers once per program run, however many
// targets and runs give them.
std::atomic<bool> g_makerReported{false};

// A login that a worker needs: the workers cannot show a window, so they
// leave the question here and the run's own thread asks the user between
// its polling rounds. The answer holds for every request to that server in
// this run, so fifteen workers that meet the same login ask once.
class LoginDesk
{
public:
    struct Answer {
        bool given = false;
        std::string user;
        std::string password;
    };

    // Worker thread: waits for the answer; a closed desk refuses.
    Answer ask(const std::string &server)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (auto known = m_answers.find(server); known != m_answers.end())
                return known->second;
            if (m_closed)
                return {};
            if (std::find(m_waiting.begin(), m_waiting.end(), server) == m_waiting.end())
                m_waiting.push_back(server);
            m_changed.wait(lock);
        }
    }

    // The run's thread: asks for every server that is waiting.
    void serve(Ui &ui)
    {
        for (;;) {
            std::string server;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_waiting.empty() || m_closed)
                    return;
                server = m_waiting.front();
            }
            Answer answer;
            answer.given = ui.credentials(de("Anmeldung erforderlich"), answer.user, answer.password);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_waiting.pop_front();
                m_answers[server] = answer;
            }
            m_changed.notify_all();
        }
    }

    void close()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_waiting;
    std::map<std::string, Answer> m_answers;
    bool m_closed = false;
};

// What a worker hands the session: only the login goes anywhere, to the
// desk; a worker shows nothing.
class WorkerUi : public SilentUi
{
public:
    WorkerUi(LoginDesk &desk, std::string server)
        : m_desk(desk)
        , m_server(std::move(server))
    {
    }
    bool credentials(const std::string &, std::string &user, std::string &password) override
    {
        const LoginDesk::Answer answer = m_desk.ask(m_server);
        user = answer.user;
        password = answer.password;
        return answer.given;
    }

private:
    LoginDesk &m_desk;
    std::string m_server;
};

} // namespace

class SubmitRun::Engine : public SlotRun::Client
{
public:
    Engine(SubmitRun &run, SlotRun::Timing timing)
        : m_run(run)
        , m_input(run.m_input)
        , m_slotRun(run.m_ui, *this, static_cast<int>(run.m_input.targets.size()),
                    static_cast<int>(run.m_input.documents.size()), timing)
    {
        for (auto &session : m_sessions)
            session = std::make_unique<HttpSession>(httpget::searchEngineAgent());
    }

    ~Engine() override
    {
        // Workers still waiting for a login after an abort get a refusal, so
        // the joins in the slot run's destructor end.
        m_desk.close();
    }

    SlotRun &slotRun() { return m_slotRun; }
    LoginDesk &desk() { return m_desk; }
    bool broken() const { return m_broken; }

    bool takeUp(int slot, int target) override
    {
        Slot &s = m_slots[slot];
        const std::string &offered = m_input.targets[static_cast<std::size_t>(target)];
        std::optional<SubmitTarget> definition
            = submittargets::readTarget(m_input.submitText, m_input.listsText, offered);
        if (!definition) {
            m_broken = true;
            return false;
        }
        s.definition = std::move(*definition);
        s.server = s.definition.parsedServer();
        s.outcomes.assign(m_input.documents.size(), SubmitOutcome::Unused);
        return true;
    }

    void batchStarted(int slot, int, int firstDocument, int count) override
    {
        Slot &s = m_slots[slot];
        SubmitView &view = m_run.m_view;
        view.slotCleared(slot);
        s.first = firstDocument;
        for (int i = 0; i < count; ++i) {
            const std::string &document = m_input.documents[static_cast<std::size_t>(firstDocument + i)];
            // Built here, before the workers start: starting a thread is
            // what hands them over.
            s.requests[static_cast<std::size_t>(i)] = s.definition.buildRequest(document, m_input.email);
            view.lineAdded(slot, linePrefix() + document, submitoutcome::kWorkingImage);
        }
        view.slotTitle(slot, s.definition.offered);
    }

    int work(int slot, int, int document) override
    {
        const Slot &s = m_slots[slot];
        const std::string &request = s.requests[static_cast<std::size_t>(document - s.first)];
        return static_cast<int>(send(slot, s, request));
    }

    void shown(int slot, int, int document, int outcome) override
    {
        Slot &s = m_slots[slot];
        const auto result = static_cast<SubmitOutcome>(outcome);
        s.outcomes[static_cast<std::size_t>(document)] = result;
        const std::string &url = m_input.documents[static_cast<std::size_t>(document)];
        m_run.m_view.outcomeShown(slot, s.definition.offered, url, result);
        if (result != SubmitOutcome::Accepted) {
            m_run.m_report.push_back(s.definition.offered + ": " + url + " > " + submitoutcome::text(result));
            m_run.m_view.reportChanged(m_run.m_report);
        }
    }

    void batchCleared(int slot) override { m_run.m_view.slotCleared(slot); }

    void targetDone(int slot, int) override
    {
        Slot &s = m_slots[slot];
        std::vector<SubmitOutcome> outcomes;
        for (const SubmitOutcome outcome : s.outcomes) {
            if (outcome != SubmitOutcome::Unused)
                outcomes.push_back(outcome);
        }
        const submitoutcome::Summary summary = submitoutcome::summarize(s.definition.offered, outcomes);
        for (const std::string &advice : summary.advice)
            submitoutcome::addUnlessBegun(m_run.m_advice, advice);
        submitoutcome::addUnlessBegun(m_run.m_report, summary.line);
        m_run.m_view.reportChanged(m_run.m_report);
        m_run.m_view.adviceChanged(m_run.m_advice);
        if (summary.reportToMaker && !g_makerReported.exchange(true)) {
            httpget::sendErrorReport("FEHLER Submit: Antwort vom Web-Server " + s.definition.offered
                                         + ": Error aufgetreten!",
                                     false, m_run.m_ui);
        }
    }

    void slotIdle(int slot) override
    {
        m_run.m_view.slotCleared(slot);
        m_run.m_view.lineAdded(slot, idleLine(), submitoutcome::kIdleImage);
    }

    void round() override { m_desk.serve(m_run.m_ui); }

    bool endsShowingWhenAborted(int outcome) const override
    {
        return outcome == static_cast<int>(SubmitOutcome::NoAnswer);
    }

private:
    struct Slot {
        SubmitTarget definition;
        std::optional<SubmitServer> server;
        int first = 0;
        std::array<std::string, SlotRun::kBatch> requests;
        // Per document of the current target, as shown.
        std::vector<SubmitOutcome> outcomes;
    };

    // One document to one target, on a worker thread. Reads only what the
    // run's thread set up before the worker started.
    SubmitOutcome send(int slot, const Slot &s, const std::string &built)
    {
        const SubmitTarget &target = s.definition;
        if (target.offered.empty() || target.okay.empty() || built.empty())
            return SubmitOutcome::Unknown;
        if (!s.server)
            return SubmitOutcome::NoAnswer;
        HttpTarget where;
        where.https = s.server->https;
        where.server = s.server->host;
        where.port = s.server->port;
        HttpRequest request;
        request.object = target.finishRequest(built);
        if (request.object.empty() || request.object.front() != '/')
            request.object.insert(request.object.begin(), '/');
        request.verb = SubmitTarget::verbName(target.verbNumber());
        request.referrer = target.referer;
        SubmitAnswerReader reader(target);
        std::optional<SubmitAnswer> verdict;
        request.onBody = [&](std::string_view chunk) {
            verdict = reader.feed(chunk);
            return !verdict;
        };
        WorkerUi ui(m_desk, s.server->host + ":" + std::to_string(s.server->port));
        try {
            const HttpReply reply = m_sessions[static_cast<std::size_t>(slot)]->send(where, request, 0, ui);
            switch (reply.status) {
            case 301:
            case 302:
            case 303:
            case 400:
                return SubmitOutcome::Redirected;
            case 404:
                return SubmitOutcome::NotFound;
            default:
                break;
            }
            return submitoutcome::fromAnswer(verdict ? *verdict : reader.finish());
        } catch (const CWWWConnectException &) {
            return SubmitOutcome::Refused;
        } catch (const HttpError &) {
            return SubmitOutcome::NoAnswer;
        } catch (const std::exception &) {
            // Out of memory in the middle of an answer, say: the document
            // simply got no usable answer.
            return SubmitOutcome::NoAnswer;
        }
    }

    SubmitRun &m_run;
    const SubmitRunInput &m_input;
    std::array<std::unique_ptr<HttpSession>, SlotRun::kSlots> m_sessions;
    std::array<Slot, SlotRun::kSlots> m_slots;
    LoginDesk m_desk;
    bool m_broken = false;
    // Last: its destructor joins the workers, which still use the above.
    SlotRun m_slotRun;
};

SubmitRun::SubmitRun(Ui &ui, SubmitView &view, SubmitRunInput input)
    : SubmitRun(ui, view, std::move(input), SlotRun::Timing())
{
}

SubmitRun::SubmitRun(Ui &ui, SubmitView &view, SubmitRunInput input, SlotRun::Timing timing)
    : m_ui(ui)
    , m_view(view)
    , m_input(std::move(input))
    , m_timing(timing)
{
    if (m_input.documents.size() > 1000)
        m_input.documents.resize(1000);
    if (m_input.targets.size() > submittargets::kMaxTargets)
        m_input.targets.resize(submittargets::kMaxTargets);
}

SubmitRun::~SubmitRun() = default;

void SubmitRun::resetMakerReport() { g_makerReported.store(false); }

int SubmitRun::peakWorkers() const { return m_engine ? m_engine->slotRun().peakWorkers() : 0; }

void SubmitRun::abort()
{
    if (!m_engine)
        return;
    m_view.abortAvailable(false);
    m_engine->slotRun().abort();
    for (int i = 0; i < SlotRun::kSlots; ++i)
        m_view.slotTitle(i, abortingTitle());
}

SubmitRun::Result SubmitRun::run()
{
    m_report.clear();
    m_advice.clear();
    m_view.reportChanged(m_report);
    m_view.adviceChanged(m_advice);
    // The workers of an earlier run (after an abort) end here at the latest.
    m_engine.reset();

    // Is the homepage there at all? Submitting a site that does not answer
    // only earns rejections.
    const std::string homepage = "http://" + m_input.homepage;
    m_view.slotCleared(0);
    m_view.lineAdded(0, linePrefix() + m_input.homepage, submitoutcome::kWorkingImage);
    m_ui.pump();
    std::string error;
    if (!httpget::isReachable(homepage, error, m_ui)
        && !m_ui.questionWith(homepageQuestionTitle(), homepageQuestionText(), stopButton(), continueButton())) {
        m_view.slotCleared(0);
        return Result::Ended;
    }
    m_view.slotCleared(0);

    m_engine = std::make_unique<Engine>(*this, m_timing);
    m_view.abortAvailable(true);
    const bool finished = m_engine->slotRun().run();
    // Logins nobody will answer any more are refused.
    m_engine->desk().close();
    m_view.abortAvailable(false);

    m_ui.progress(28, 28);
    for (int i = 0; i < SlotRun::kSlots; ++i) {
        m_view.slotCleared(i);
        m_view.slotTitle(i, finishedTitle());
    }
    if (!finished && m_engine->broken()) {
        // The maker's file names a target it does not describe completely:
        // nothing of it can be sent, and the user should know why the run
        // stopped.
        m_ui.message(submitprep::readErrorTitle(), submitprep::readErrorText());
        return Result::BrokenTarget;
    }
    return m_engine->slotRun().aborted() ? Result::Aborted : Result::Done;
}

std::string SubmitRun::homepageQuestionTitle() { return de("Keine Antwort von Homepage"); }

std::string SubmitRun::homepageQuestionText()
{
    return de("Von der von Ihnen angegebenen Homepage kommt keine Antwort. Bevor Sie mit der Anmeldung fortfahren, "
              "sollten Sie die angegebene URL bzw. die Erreichbarkeit der Homepage prüfen.");
}

std::string SubmitRun::stopButton() { return de("Anmelden beenden"); }
std::string SubmitRun::continueButton() { return de("Anmelden fortsetzen"); }
std::string SubmitRun::idleLine() { return de("Warten auf andere Anmeldungen..."); }
std::string SubmitRun::abortingTitle() { return de("Vorgang wird abgebrochen..."); }
std::string SubmitRun::finishedTitle() { return de("Fertig!"); }
std::string SubmitRun::linePrefix() { return de("Anmelden: "); }

} // namespace vantor
