#include "submit/IndexNowRun.h"

#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "net/MakerServer.h"
#include "optimizer/StartSigns.h"
#include "platform/Text.h"
#include "project/ProjectOptions.h"
#include "submit/IndexNowKey.h"
#include "submit/IndexNowState.h"
#include "submit/SubmitOutcome.h"
#include "submit/SubmitRun.h"
#include "ui/SilentUi.h"
#include "ui/Ui.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace vantor::indexnowrun {

const char *const kTargetPrefix = "IndexNow: ";

namespace {

std::string targetOf(const indexnow::Endpoint &endpoint)
{
    const bool usualPort = endpoint.port == (endpoint.https ? 443 : 80);
    return kTargetPrefix + endpoint.host + (usualPort ? std::string() : ":" + std::to_string(endpoint.port));
}

int imageOf(const indexnow::Outcome &outcome)
{
    if (outcome.accepted)
        return 3;
    if (outcome.stopsEndpoint)
        return 7;
    return outcome.status == 0 ? 8 : 1;
}

} // namespace

std::vector<Offered> offered()
{
    std::vector<Offered> list;
    const auto add = [&list](const std::string &url) {
        if (const auto endpoint = indexnow::parseEndpoint(url))
            list.push_back({targetOf(*endpoint), url});
    };
    add(indexnow::kDefaultEndpoint);
    // The demo server stands in for the engines too.
    const std::string server = makerserver::server();
    if (server.rfind("127.0.0.1", 0) == 0 || server.rfind("localhost", 0) == 0)
        add("http://" + server + "/indexnow");
    return list;
}

bool isTarget(const std::string &target) { return target.rfind(kTargetPrefix, 0) == 0; }

bool run(const Input &input, Ui &ui, SubmitView &view, std::vector<std::string> &report,
         std::vector<std::string> &advice)
{
    const std::vector<Offered> known = offered();
    std::vector<indexnow::Endpoint> endpoints;
    std::vector<std::string> targets;
    for (const std::string &target : input.targets) {
        const auto found = std::find_if(known.begin(), known.end(), [&](const Offered &o) { return o.target == target; });
        if (found == known.end())
            continue;
        if (const auto endpoint = indexnow::parseEndpoint(found->endpoint)) {
            endpoints.push_back(*endpoint);
            targets.push_back(target);
        }
    }
    if (endpoints.empty())
        return true;
    if (const auto problem = indexnow::submissionUrlProblem(input.submissionUrl)) {
        ui.message(problem->title, problem->text);
        return false;
    }

    std::string key = indexnowkey::stored(input.projectFile);
    if (indexnowkey::problem(key)) {
        const auto generated = indexnowkey::generate();
        if (!generated) {
            ui.message(indexnowkey::noRandomSource()->title, indexnowkey::noRandomSource()->text);
            return false;
        }
        key = *generated;
        indexnowkey::store(input.projectFile, key);
    }
    const indexnowkey::KeyFile keyFile = indexnowkey::writeKeyFile(input.homepagePath, key);
    if (keyFile.refusal) {
        ui.message(keyFile.refusal->title, keyFile.refusal->text);
        return false;
    }

    const std::string statePath = IndexNowState::pathFor(input.projectFile);
    IndexNowState state;
    state.load(statePath);
    if (state.damaged())
        IndexNowState::remember(statePath, {});
    std::vector<indexnow::Document> documents
        = indexnow::collectDocuments(input.mode, input.scheme, input.submissionUrl, input.homepagePath,
                                     StartSigns::fromSettings(projectOptions().sonz), input.extensions);
    if (!input.allDocuments)
        documents = indexnow::changedOnly(documents, state);
    const indexnow::Site site = indexnow::siteFor(input.scheme, input.submissionUrl, key);
    const std::vector<indexnow::Request> requests = indexnow::plan(site, endpoints, documents);
    if (requests.empty()) {
        for (const std::string &target : targets)
            report.push_back(target + de(": Keine geänderten Dokumente seit der letzten Übermittlung"));
        view.reportChanged(report);
        return true;
    }

    // Every endpoint shows its documents in a slot of its own, as an engine
    // would.
    std::map<std::string, int> slotOf;
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        const int slot = static_cast<int>(i % SlotRun::kSlots);
        slotOf[endpoints[i].url] = slot;
        view.slotCleared(slot);
        view.slotTitle(slot, targets[i]);
    }
    for (const indexnow::Request &request : requests) {
        for (const indexnow::Document &document : request.documents)
            view.lineAdded(slotOf[request.endpoint.url], SubmitRun::linePrefix() + toCp1252(document.url),
                           submitoutcome::kWorkingImage);
    }
    ui.pump();

    struct Arrived {
        indexnow::Request request;
        indexnow::Outcome outcome;
    };
    std::mutex mutex;
    std::deque<Arrived> arrived;
    std::atomic<bool> done{false};
    std::thread sender([&] {
        // This thread shows nothing; IndexNow endpoints ask for no login.
        SilentUi silent;
        const HttpSession session(httpget::searchEngineAgent());
        indexnow::sendAll(session, site, requests, statePath, silent,
                          [&](const indexnow::Request &request, const indexnow::Outcome &outcome) {
                              std::lock_guard<std::mutex> lock(mutex);
                              arrived.push_back({request, outcome});
                          });
        done.store(true, std::memory_order_release);
    });

    std::map<std::string, bool> allAccepted;
    bool finished = false;
    while (!finished) {
        finished = done.load(std::memory_order_acquire);
        std::deque<Arrived> batch;
        {
            std::lock_guard<std::mutex> lock(mutex);
            batch.swap(arrived);
        }
        for (const Arrived &a : batch) {
            const int slot = slotOf[a.request.endpoint.url];
            for (const indexnow::Document &document : a.request.documents)
                view.outcomeTextShown(slot, toCp1252(document.url), a.outcome.text, imageOf(a.outcome));
            report.push_back(targetOf(a.request.endpoint) + ": " + std::to_string(a.request.documents.size())
                             + " URLs > " + (a.outcome.status > 0 ? std::to_string(a.outcome.status) : "-") + " "
                             + a.outcome.text);
            allAccepted.try_emplace(a.request.endpoint.url, true);
            allAccepted[a.request.endpoint.url] = allAccepted[a.request.endpoint.url] && a.outcome.accepted;
            if (a.outcome.status == 403 || a.outcome.status == 422)
                submitoutcome::addUnlessBegun(
                    advice, de("Laden Sie die Schlüsseldatei ") + key
                                + de(".txt mit der Site auf den Web-Server (sie muss unter ") + site.keyLocation
                                + de(" erreichbar sein) und übermitteln Sie dann noch einmal."));
            if (a.outcome.stopsEndpoint)
                submitoutcome::addUnlessBegun(advice, de("IndexNow: Zu viele Anfragen – versuchen Sie es in einigen "
                                                         "Stunden noch einmal."));
        }
        if (!batch.empty()) {
            view.reportChanged(report);
            view.adviceChanged(advice);
        }
        if (!finished)
            ui.pause(100);
    }
    sender.join();

    bool accepted = true;
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        const auto it = allAccepted.find(endpoints[i].url);
        const bool ok = it != allAccepted.end() && it->second;
        accepted = accepted && ok;
        submitoutcome::addUnlessBegun(report, targets[i]
                                                  + (ok ? de(": Übermittlung erfolgreich abgeschlossen")
                                                        : de(": Mind. 1 Anfrage wurde nicht angenommen")));
    }
    view.reportChanged(report);
    view.adviceChanged(advice);
    return accepted;
}

} // namespace vantor::indexnowrun
