#pragma once

// The parts of a libcurl transfer that the single requests and the answers
// read piece by piece share: the options of a request, the callbacks that
// watch the answer, and what a finished transfer means. Only the network
// code includes this.

#include "net/HttpSession.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::curltransfer {

void initLibrary();

// The body goes into the reply until the limit is reached; then we tell the
// library to stop, so a huge or endless answer never fills the memory.
struct Sink {
    std::string *body = nullptr;
    const std::function<bool(std::string_view)> *consumer = nullptr;
    std::size_t limit = 0;
    bool cut = false;
    // The login schemes of the last answer, lower case: WWW-Authenticate
    // for the server, Proxy-Authenticate for the proxy.
    std::vector<std::string> serverSchemes;
    std::vector<std::string> proxySchemes;
    // The receive time-out: how long the server may stay silent, and how
    // long a header may take once it has begun.
    std::chrono::steady_clock::time_point lastHeard;
    std::chrono::steady_clock::time_point headerSince;
    std::chrono::seconds silence { 0 };
    bool timedOut = false;
    bool heard = false;
    // Between a status line and its blank line. A connection that closes
    // there has not given us an answer, whatever the library makes of it.
    bool inHeader = false;
    bool headerEnded = false;
    long status = 0; // of the answer whose header is coming in
    // The retry after the prompt is one request. With the Digest challenge
    // of the first answer the library would try the same credentials once
    // more on a refusal; we stop it at the refusal's header instead.
    bool oneAnswer = false;
    bool refused = false;
    CURL *curl = nullptr;
    const std::atomic<bool> *cancel = nullptr;
    // For answers read piece by piece: once the body holds this much, the
    // transfer waits until the reader has taken some (0: never).
    std::size_t pauseAt = 0;
    bool paused = false;

    void reset()
    {
        body->clear();
        cut = false;
        serverSchemes.clear();
        proxySchemes.clear();
        timedOut = false;
        heard = false;
        inHeader = false;
        headerEnded = false;
        status = 0;
        refused = false;
        paused = false;
        lastHeard = std::chrono::steady_clock::now();
    }
};

struct CurlDeleter {
    void operator()(CURL *curl) const { curl_easy_cleanup(curl); }
};
struct SlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using Easy = std::unique_ptr<CURL, CurlDeleter>;
using Headers = std::unique_ptr<curl_slist, SlistDeleter>;

// Every option of the request on a fresh handle: address, agent, access
// type, time-outs, the callbacks into sink, the headers (which the caller
// keeps until the transfer is over) and the verb.
Headers setUp(CURL *h, const HttpSession &session, const HttpTarget &target, const HttpRequest &request, Sink &sink,
              char *errorBuffer);

// Throws what a finished transfer with this result means to the user; a
// transfer that we stopped ourselves (the limit, the refused retry) is no
// failure.
void check(CURLcode rc, const Sink &sink, const char *errorBuffer);

// After a 401 or 407: asks for the credentials and puts them on the handle
// for the one retry. A refusal throws CWWWConnectException(1).
void applyCredentials(CURL *h, long status, Sink &sink, Ui &ui);

} // namespace vantor::curltransfer
