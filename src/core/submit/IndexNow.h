#pragma once

#include "submit/IndexNowState.h"
#include "submit/SubmitDocuments.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class HttpSession;
class Ui;

// Telling the engines of the IndexNow protocol which pages of the site are
// new or changed: one POST of JSON per endpoint and chunk of URLs, the key
// file on the site proving that the sender owns it. The pieces serve the
// command line and the dialog alike; nothing here touches a window.
namespace indexnow {

// The protocol's limit of one request.
constexpr std::size_t kMaxUrlsPerRequest = 10000;
// The documents of one run, as many as one sitemap file lists.
constexpr std::size_t kMaxDocuments = 50000;
// Shares every submission with all engines of the protocol.
constexpr const char *kDefaultEndpoint = "https://api.indexnow.org/indexnow";

struct Endpoint {
    std::string url; // as given
    bool https = true;
    std::string host;
    int port = 443;
    std::string object = "/"; // path and query
};
// http:// and https:// URLs with a host; anything else is nullopt.
std::optional<Endpoint> parseEndpoint(const std::string &url);

// The text of the problem with a submission URL as typed (cp1252), for the
// checks that come after submitdocs::urlProblem: the scheme has a setting
// of its own.
std::optional<submitdocs::Problem> submissionUrlProblem(const std::string &submissionUrl);

// Who submits: host and key, and where the engines find the key file.
struct Site {
    std::string host;        // of the submission URL, as typed (UTF-8)
    std::string key;
    std::string keyLocation; // scheme://host[/path of the submission URL]/<key>.txt
};
Site siteFor(const std::string &scheme, const std::string &submissionUrl, const std::string &key);

// The host of an absolute URL: between "://" and the first '/', '?' or '#'.
std::string hostOf(const std::string &url);

struct Document {
    std::string url; // absolute, UTF-8, percent-encoded
    FileStamp stamp; // of the file behind it
};
// The documents of the mode as absolute URLs, each with the stamp of its
// file; the bare submission URL stands for the homepage file.
std::vector<Document> collectDocuments(submitdocs::Mode mode, const std::string &scheme,
                                       const std::string &submissionUrl, const std::string &homepagePath,
                                       const StartSigns &signs, const std::vector<std::string> &extensions);
// Those the engines have not taken in this form yet.
std::vector<Document> changedOnly(const std::vector<Document> &documents, const IndexNowState &state);

struct Request {
    Endpoint endpoint;
    std::vector<Document> documents;
};
// Per endpoint in the given order, chunks of at most kMaxUrlsPerRequest
// URLs. A URL twice goes once; one on another host than the site's never
// goes at all (it lands in foreign when that is given).
std::vector<Request> plan(const Site &site, const std::vector<Endpoint> &endpoints,
                          const std::vector<Document> &documents, std::vector<std::string> *foreign = nullptr);

// {"host":…,"key":…,"keyLocation":…,"urlList":[…]}
std::string body(const Site &site, const Request &request);

struct Outcome {
    long status = 0;     // 0 when no answer came
    std::string text;    // German, cp1252
    bool accepted = false;
    // The endpoint wants no more from us for now: its other requests of the
    // run are not sent.
    bool stopsEndpoint = false;
};
std::string statusText(long status);
// A request left out after its endpoint said stop.
Outcome notSent();

// One request and its outcome; failures of the connection come back as an
// outcome too. Safe on a worker thread: the only Ui call is the credential
// prompt of a 401 or 407, through the ui given.
Outcome send(const HttpSession &session, const Site &site, const Request &request, Ui &ui);

// Every request in order, skipping those of an endpoint that said stop;
// each accepted chunk is remembered in the state file at statePath (empty:
// nothing remembered). shown gets each request with its outcome. True when
// every request was accepted.
using OutcomeShown = std::function<void(const Request &, const Outcome &)>;
bool sendAll(const HttpSession &session, const Site &site, const std::vector<Request> &requests,
             const std::string &statePath, Ui &ui, const OutcomeShown &shown);

} // namespace indexnow

} // namespace vantor
