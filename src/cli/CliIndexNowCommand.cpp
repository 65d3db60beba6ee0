#include "Cli.h"

#include "CliUi.h"
#include "net/HttpGet.h"
#include "net/HttpSession.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/IndexNow.h"
#include "submit/IndexNowKey.h"
#include "submit/IndexNowState.h"
#include "submit/SubmitPreparation.h"
#include "submit/SubmitSettings.h"

#include <algorithm>
#include <ostream>

namespace vantor {

int Cli::indexNowCommand(const std::vector<std::string> &args)
{
    const std::string projectFile = projectFilePath(programSettings().currentProject);
    submitsettings::Entries entries = submitsettings::readEntries(projectFile);
    std::string scheme = submitsettings::readSiteScheme(projectFile);
    std::vector<indexnow::Endpoint> endpoints;
    std::optional<std::string> givenKey;
    bool allDocuments = false;
    bool entriesGiven = false;
    bool schemeGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--all-documents") {
            allDocuments = true;
        } else if (!hasValue) {
            return usageError("indexnow: falsches Argument / wrong argument: " + a);
        } else if (a == "--url") {
            const std::string &value = args[++i];
            if (!fitsCp1252(value))
                return usageError("Ungültiges Argument / invalid argument: " + value);
            entries.url = toCp1252(value);
            entriesGiven = true;
        } else if (a == "--scheme") {
            scheme = args[++i];
            if (scheme != "https" && scheme != "http")
                return usageError("indexnow: --scheme https|http erwartet / expected");
            schemeGiven = true;
        } else if (a == "--mode") {
            const std::string &mode = args[++i];
            if (mode == "start")
                entries.mode = submitdocs::Mode::StartPageOnly;
            else if (mode == "optimal")
                entries.mode = submitdocs::Mode::Optimal;
            else if (mode == "complete")
                entries.mode = submitdocs::Mode::Complete;
            else
                return usageError("indexnow: --mode start|optimal|complete erwartet / expected");
            entriesGiven = true;
        } else if (a == "--endpoint") {
            const auto endpoint = indexnow::parseEndpoint(args[++i]);
            if (!endpoint)
                return usageError("indexnow: --endpoint erwartet eine http- oder https-Adresse / expects an http "
                                  "or https URL: " + args[i]);
            const bool twice = std::any_of(endpoints.begin(), endpoints.end(),
                                           [&](const indexnow::Endpoint &e) { return e.url == endpoint->url; });
            if (!twice)
                endpoints.push_back(*endpoint);
        } else if (a == "--key") {
            givenKey = args[++i];
            // Refused before anything is written or sent.
            if (const auto problem = indexnowkey::problem(*givenKey))
                return usageError(toUtf8(problem->title) + ": " + toUtf8(problem->text));
        } else {
            return usageError("indexnow: falsches Argument / wrong argument: " + a);
        }
    }
    if (endpoints.empty())
        endpoints.push_back(*indexnow::parseEndpoint(indexnow::kDefaultEndpoint));

    const std::string homepagePath = projectRecord().path.str();
    if (homepagePath.empty())
        return fail(submitprep::notOptimizedTitle(), submitprep::notOptimizedText());
    for (const auto &problem : {submitdocs::urlProblem(entries.url), indexnow::submissionUrlProblem(entries.url)}) {
        if (problem)
            return fail(problem->title, problem->text);
    }
    // What was given is kept, as the dialog keeps its entries.
    if ((entriesGiven && !submitsettings::saveEntries(projectFile, entries))
        || (schemeGiven && !submitsettings::saveSiteScheme(projectFile, scheme)))
        return fail(de("Fehler beim Speichern"), de("Die Angaben konnten nicht in der Projektdatei gespeichert "
                                                    "werden."));

    std::string key = givenKey ? *givenKey : indexnowkey::stored(projectFile);
    if (!givenKey && indexnowkey::problem(key)) {
        // None yet, or one edited into something no engine accepts.
        const auto generated = indexnowkey::generate();
        if (!generated)
            return fail(indexnowkey::noRandomSource()->title, indexnowkey::noRandomSource()->text);
        key = *generated;
    }
    if (key != indexnowkey::stored(projectFile) && !indexnowkey::store(projectFile, key))
        return fail(de("Fehler beim Speichern"), de("Der IndexNow-Schlüssel konnte nicht in der Projektdatei "
                                                    "gespeichert werden."));
    m_out << toUtf8(de("IndexNow-Schlüssel: ")) << key << '\n';
    const indexnowkey::KeyFile keyFile = indexnowkey::writeKeyFile(homepagePath, key);
    if (keyFile.refusal)
        return fail(keyFile.refusal->title, keyFile.refusal->text);
    m_out << toUtf8(de("Schlüsseldatei: ")) << toUtf8(keyFile.path)
          << toUtf8(de(" (bitte mit der Site auf den Web-Server laden)")) << '\n';

    const std::string statePath = IndexNowState::pathFor(projectFile);
    IndexNowState state;
    state.load(statePath);
    // Whatever stood there is no record of ours; it starts again empty.
    if (state.damaged())
        IndexNowState::remember(statePath, {});
    std::vector<indexnow::Document> documents = indexnow::collectDocuments(
        entries.mode, scheme, entries.url, homepagePath, StartSigns::fromSettings(projectOptions().sonz),
        submitsettings::readExtensions(projectFile));
    if (!allDocuments)
        documents = indexnow::changedOnly(documents, state);
    const indexnow::Site site = indexnow::siteFor(scheme, entries.url, key);
    std::vector<std::string> foreign;
    const std::vector<indexnow::Request> requests = indexnow::plan(site, endpoints, documents, &foreign);
    for (const std::string &url : foreign)
        m_err << toUtf8(de("Nicht gesendet, gehört nicht zu ")) << site.host << ": " << url << '\n';
    if (documents.empty()) {
        m_out << toUtf8(de("Keine geänderten Dokumente seit der letzten Übermittlung, nichts gesendet "
                           "(--all-documents sendet alle).")) << '\n';
        return 0;
    }

    // Typing the command is the consent to go online.
    programSettings().httpInform = 0;
    CliUi ui(m_err, false);
    const HttpSession session(httpget::searchEngineAgent());
    const bool accepted = indexnow::sendAll(
        session, site, requests, statePath, ui, [this](const indexnow::Request &request, const indexnow::Outcome &outcome) {
            m_out << request.endpoint.url << ": " << request.documents.size() << " URLs > "
                  << (outcome.status > 0 ? std::to_string(outcome.status) : std::string("-")) << ' '
                  << toUtf8(outcome.text) << std::endl;
        });
    return accepted ? 0 : 1;
}

} // namespace vantor
