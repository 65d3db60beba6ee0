#pragma once

#include "StaticSite.h"

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vantor::demo {

// An IndexNow endpoint that checks a submission the way the engines do, so
// that the program's client can be tried without telling a real engine about
// a site that is not online. The key file is looked for in the copy of the
// site the server shows (--site); without one no key can ever be confirmed
// and every otherwise sound submission is refused with 403.
//
// POST /indexnow takes the JSON form with many URLs, GET /indexnow?url=&key=
// the form for one. A key is confirmed with 202 the first time it comes for
// a host and with 200 from then on, as the engines do once their check of
// the file is done. GET /indexnow/received lists what arrived.
class IndexNowEndpoint
{
public:
    struct Settings {
        // More requests for one host within a minute are answered 429.
        std::size_t requestsPerMinute = 600;
    };

    struct Received {
        int status = 0;
        std::string host; // as the request named it, or the host of its URL
        std::string key;
        std::size_t urls = 0;
        std::string firstUrl;
    };

    // What one request may carry, as the protocol says.
    static constexpr std::size_t kMaxUrls = 10000;
    static constexpr std::size_t kMinKey = 8;
    static constexpr std::size_t kMaxKey = 128;
    // Older requests are forgotten beyond this, so a long demo cannot fill
    // the memory.
    static constexpr std::size_t kMaxReceived = 1000;

    // site may be empty: then no key file is ever found.
    IndexNowEndpoint(const std::filesystem::path &site, const Settings &settings);
    IndexNowEndpoint(const IndexNowEndpoint &) = delete;
    IndexNowEndpoint &operator=(const IndexNowEndpoint &) = delete;

    void addRoutes(httplib::Server &server);

    std::vector<Received> received() const;
    // One line per request: status, host, key, number of URLs and the first
    // URL separated by tabs; a tab, CR, LF, backslash or other control
    // character in a value is written as \t, \r, \n, \\ or \xNN.
    std::string receivedText() const;

    // True for 8 to 128 characters of a-z, A-Z, 0-9 and "-".
    static bool wellFormedKey(const std::string &key);

private:
    struct Submission {
        std::string host;
        std::string key;
        std::optional<std::string> keyLocation;
        std::vector<std::string> urls;
    };
    struct Verdict {
        int status;
        std::string reason; // empty for the plain text of the status
    };

    Verdict onPost(const httplib::Request &request, Submission &submission);
    Verdict onGet(const httplib::Request &request, Submission &submission);
    // Everything after the form of the request: throttling, key, URLs, key
    // file.
    Verdict judge(const Submission &submission);
    // False when the host has used up its requests of the last minute;
    // otherwise counts this one.
    bool admit(const std::string &host);
    // The key file's text, without one line end after it; nothing when the
    // site has no such file.
    std::optional<std::string> keyFileText(const std::string &decodedPath) const;
    void answer(httplib::Response &response, const Verdict &verdict, const Submission &submission);

    Settings m_settings;
    std::optional<StaticSite> m_site;
    mutable std::mutex m_mutex;
    std::deque<Received> m_received;
    // Per host in lower case, the times of its requests within the last
    // minute.
    std::map<std::string, std::deque<std::chrono::steady_clock::time_point>> m_requests;
    // Host in lower case and key of every submission accepted so far, oldest
    // first in m_knownOrder.
    std::set<std::pair<std::string, std::string>> m_known;
    std::deque<std::pair<std::string, std::string>> m_knownOrder;
};

} // namespace vantor::demo
