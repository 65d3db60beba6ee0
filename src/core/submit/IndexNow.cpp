#include "submit/IndexNow.h"

#include "net/CWWWConnectException.h"
#include "net/HttpError.h"
#include "net/HttpSession.h"
#include "platform/Files.h"
#include "platform/Text.h"

#include <charconv>
#include <set>
#include <unordered_set>

namespace vantor::indexnow {

namespace {

bool startsWithNoCase(const std::string &text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreAsciiCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// The submission URL without the slashes a user may type at its end: the
// paths below it bring their own.
std::string trimmedBase(const std::string &submissionUrl)
{
    std::string base = submissionUrl;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

void appendJsonString(std::string &out, std::string_view text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            out += "\\u00";
            out += hex[b >> 4];
            out += hex[b & 0x0f];
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

std::optional<Endpoint> parseEndpoint(const std::string &url)
{
    Endpoint endpoint;
    endpoint.url = url;
    std::string rest;
    if (startsWithNoCase(url, "https://")) {
        rest = url.substr(8);
    } else if (startsWithNoCase(url, "http://")) {
        endpoint.https = false;
        endpoint.port = 80;
        rest = url.substr(7);
    } else {
        return std::nullopt;
    }
    rest = rest.substr(0, rest.find('#'));
    const std::size_t pathStart = rest.find_first_of("/?");
    const std::string authority = rest.substr(0, pathStart);
    if (pathStart != std::string::npos)
        endpoint.object = rest[pathStart] == '/' ? rest.substr(pathStart) : "/" + rest.substr(pathStart);
    // Credentials in the address are not ours to send anywhere.
    if (authority.find('@') != std::string::npos)
        return std::nullopt;
    std::size_t hostEnd = 0;
    if (!authority.empty() && authority.front() == '[') {
        hostEnd = authority.find(']');
        if (hostEnd == std::string::npos)
            return std::nullopt;
        ++hostEnd;
    } else {
        hostEnd = std::min(authority.find(':'), authority.size());
    }
    endpoint.host = authority.substr(0, hostEnd);
    if (hostEnd < authority.size()) {
        if (authority[hostEnd] != ':')
            return std::nullopt;
        const std::string port = authority.substr(hostEnd + 1);
        int value = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || ec != std::errc() || end != port.data() + port.size() || value <= 0 || value > 65535)
            return std::nullopt;
        endpoint.port = value;
    }
    if (endpoint.host.empty())
        return std::nullopt;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f)
            return std::nullopt;
    }
    return endpoint;
}

std::optional<submitdocs::Problem> submissionUrlProblem(const std::string &submissionUrl)
{
    if (submissionUrl.find("://") != std::string::npos)
        return submitdocs::Problem{
            "Domain Adresse", de("Bitte geben Sie die Domain-Adresse ohne \"http://\" oder \"https://\" ein (z.B. "
                                 "www.ihre-domain.de). Ob die Site mit https oder http erreicht wird, ist eine "
                                 "eigene Einstellung des Projekts.")};
    const std::string host = submissionUrl.substr(0, submissionUrl.find('/'));
    for (const char c : host) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == '?' || c == '#' || c == '@' || c == '\\')
            return submitdocs::Problem{"Domain Adresse", de("Die Domain-Adresse enthält ungültige Zeichen. Bitte "
                                                            "korrigieren Sie die Domain-Adresse.")};
    }
    return std::nullopt;
}

Site siteFor(const std::string &scheme, const std::string &submissionUrl, const std::string &key)
{
    const std::string base = trimmedBase(submissionUrl);
    Site site;
    site.host = hostOf(submitdocs::absoluteUrl(scheme, base));
    site.key = key;
    // Beside the homepage, where the site's files are: a key file below the
    // root covers only the URLs below its own directory, which are ours.
    site.keyLocation = submitdocs::absoluteUrl(scheme, base + "/" + key + ".txt");
    return site;
}

std::string hostOf(const std::string &url)
{
    const std::size_t marker = url.find("://");
    if (marker == std::string::npos)
        return {};
    const std::string rest = url.substr(marker + 3);
    return rest.substr(0, rest.find_first_of("/?#"));
}

std::vector<Document> collectDocuments(submitdocs::Mode mode, const std::string &scheme,
                                       const std::string &submissionUrl, const std::string &homepagePath,
                                       const StartSigns &signs, const std::vector<std::string> &extensions)
{
    const std::string base = trimmedBase(submissionUrl);
    const std::string directory = files::directoryOf(homepagePath);
    std::vector<Document> documents;
    for (const submitdocs::Document &listed :
         submitdocs::buildDocuments(mode, submissionUrl, homepagePath, signs, extensions, kMaxDocuments)) {
        Document document;
        if (listed.relative.empty()) {
            // What the server answers for the bare address is the homepage.
            document.url = submitdocs::absoluteUrl(scheme, base);
            document.stamp = FileStamp::of(homepagePath);
        } else {
            // From the full path: the list's own URLs are cut at the length
            // the old engines took.
            document.url = submitdocs::absoluteUrl(scheme, base + "/" + listed.relative);
            document.stamp = FileStamp::of(files::join(directory, listed.relative));
        }
        documents.push_back(std::move(document));
    }
    return documents;
}

std::vector<Document> changedOnly(const std::vector<Document> &documents, const IndexNowState &state)
{
    std::vector<Document> changed;
    for (const Document &document : documents) {
        if (state.changed(document.url, document.stamp))
            changed.push_back(document);
    }
    return changed;
}

std::vector<Request> plan(const Site &site, const std::vector<Endpoint> &endpoints,
                          const std::vector<Document> &documents, std::vector<std::string> *foreign)
{
    std::vector<Document> sent;
    std::unordered_set<std::string> seen;
    for (const Document &document : documents) {
        if (!equalsIgnoreAsciiCase(hostOf(document.url), site.host) || site.host.empty()) {
            if (foreign != nullptr)
                foreign->push_back(document.url);
            continue;
        }
        if (seen.insert(document.url).second)
            sent.push_back(document);
    }
    std::vector<Request> requests;
    for (const Endpoint &endpoint : endpoints) {
        for (std::size_t start = 0; start < sent.size(); start += kMaxUrlsPerRequest) {
            Request request;
            request.endpoint = endpoint;
            const std::size_t end = std::min(sent.size(), start + kMaxUrlsPerRequest);
            request.documents.assign(sent.begin() + static_cast<std::ptrdiff_t>(start),
                                     sent.begin() + static_cast<std::ptrdiff_t>(end));
            requests.push_back(std::move(request));
        }
    }
    return requests;
}

std::string body(const Site &site, const Request &request)
{
    std::string out = "{\"host\":";
    appendJsonString(out, site.host);
    out += ",\"key\":";
    appendJsonString(out, site.key);
    out += ",\"keyLocation\":";
    appendJsonString(out, site.keyLocation);
    out += ",\"urlList\":[";
    for (std::size_t i = 0; i < request.documents.size(); ++i) {
        if (i > 0)
            out += ',';
        appendJsonString(out, request.documents[i].url);
    }
    out += "]}";
    return out;
}

std::string statusText(long status)
{
    switch (status) {
    case 200:
        return de("URLs übermittelt");
    case 202:
        return de("angenommen, Schlüssel wird geprüft");
    case 400:
        return de("ungültige Anfrage");
    case 403:
        return de("Schlüssel ungültig (Schlüsseldatei nicht gefunden oder falscher Inhalt)");
    case 404:
        return de("Endpunkt nicht gefunden – bitte die Adresse prüfen");
    case 422:
        return de("URLs gehören nicht zur Domain oder Schlüssel passt nicht");
    case 429:
        return de("zu viele Anfragen – später erneut versuchen");
    default:
        break;
    }
    if (status >= 300 && status < 400)
        return de("Weiterleitung, nicht gefolgt – bitte die Adresse des Endpunkts prüfen");
    if (status >= 500 && status < 600)
        return de("Fehler beim Server – später erneut versuchen");
    return de("unerwartete Antwort des Servers");
}

Outcome notSent()
{
    Outcome outcome;
    outcome.text = de("nicht gesendet, weil die vorige Anfrage an diesen Endpunkt gescheitert ist");
    return outcome;
}

Outcome send(const HttpSession &session, const Site &site, const Request &request, Ui &ui)
{
    HttpTarget target;
    target.https = request.endpoint.https;
    target.server = request.endpoint.host;
    target.port = request.endpoint.port;
    target.object = request.endpoint.object;
    HttpRequest post;
    post.verb = "POST";
    post.object = request.endpoint.object;
    post.headers.push_back("Content-Type: application/json; charset=utf-8");
    post.body = body(site, request);
    Outcome outcome;
    try {
        const HttpReply reply = session.send(target, post, HttpSession::kTextLimit, ui);
        outcome.status = reply.status;
        outcome.text = statusText(reply.status);
        outcome.accepted = reply.status == 200 || reply.status == 202;
        outcome.stopsEndpoint = reply.status == 429;
    } catch (const HttpError &error) {
        // Neither a lost connection nor a certificate we cannot trust gets
        // better with the next chunk; each try would only cost the time-outs.
        outcome.text = de("Verbindung fehlgeschlagen: ") + error.text();
        outcome.stopsEndpoint = true;
    } catch (const CWWWConnectException &) {
        outcome.text = de("Anmeldung am Server abgebrochen");
        outcome.stopsEndpoint = true;
    }
    return outcome;
}

bool sendAll(const HttpSession &session, const Site &site, const std::vector<Request> &requests,
             const std::string &statePath, Ui &ui, const OutcomeShown &shown)
{
    std::set<std::string> stopped;
    bool allAccepted = true;
    for (const Request &request : requests) {
        Outcome outcome;
        if (stopped.count(request.endpoint.url) != 0) {
            outcome = notSent();
        } else {
            outcome = send(session, site, request, ui);
            if (outcome.stopsEndpoint)
                stopped.insert(request.endpoint.url);
        }
        if (outcome.accepted && !statePath.empty()) {
            std::vector<IndexNowState::Entry> entries;
            entries.reserve(request.documents.size());
            for (const Document &document : request.documents)
                entries.push_back({document.url, document.stamp});
            IndexNowState::remember(statePath, entries);
        }
        allAccepted = allAccepted && outcome.accepted;
        if (shown)
            shown(request, outcome);
    }
    return allAccepted;
}

} // namespace vantor::indexnow
