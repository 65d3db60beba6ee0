#pragma once

#include "net/HttpReply.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class Ui;

// One request as the callers describe it. The object is the path with its
// query, as it goes on the request line.
struct HttpRequest {
    std::string verb = "GET";
    std::string object = "/";
    std::string referrer;
    std::vector<std::string> headers; // "Name: value", without line end
    std::string body; // sent as is for POST
    // When set, the answer's body goes here piece by piece as it arrives
    // instead of into the reply (the limit does not apply); false stops the
    // transfer, which then counts as complete.
    std::function<bool(std::string_view)> onBody;
    // Some services answer HTTP/1.0 requests only as their pages expect.
    bool http10 = false;
    // Set from another thread, it ends the transfer at the next chance,
    // which then fails as unanswered.
    const std::atomic<bool> *cancel = nullptr;
};

// Where a URL points. Plain http:// URLs split, and https:// ones where the
// caller speaks TLS (httpsToo); anything else throws CWWWConnectException
// with code 1.
struct HttpTarget {
    // TLS with the certificate checked; only where the caller's address
    // says so.
    bool https = false;
    std::string server;
    int port = 80;
    std::string object = "/";

    static HttpTarget split(const std::string &url, bool httpsToo = false);
};

// The session every request of the program goes through: the agent, the
// access type and proxy of the program settings, no caching anywhere.
class HttpSession
{
public:
    static constexpr std::size_t kTextLimit = 4096;
    static constexpr std::size_t kDownloadLimit = 50000;
    static constexpr int kDefaultConnectTimeout = 30; // seconds
    static constexpr int kDefaultReceiveTimeout = 30; // seconds
    // A whole request, however the server trickles its answer.
    static constexpr int kDefaultTransferTimeout = 120; // seconds

    // Reads accesstype, proxy and proxyport from the program settings and the
    // expert values connecttimeout, receivetimeout and transfertimeout
    // (seconds) once.
    explicit HttpSession(std::string agent);

    const std::string &agent() const { return m_agent; }
    int accessType() const { return m_accessType; }
    // "<proxy>:<proxyport>" with access type 3, empty otherwise.
    const std::string &proxy() const { return m_proxy; }
    int connectTimeout() const { return m_connectTimeout; }
    int receiveTimeout() const { return m_receiveTimeout; }
    int transferTimeout() const { return m_transferTimeout; }

    // Sends the request and reads at most limit bytes of the body; the
    // transfer stops there. A 401 or 407 asks ui for credentials and sends
    // once more when the user confirms; a refusal throws
    // CWWWConnectException(1). Failures of the transfer itself throw
    // HttpError with the library's text. Redirects are not followed.
    HttpReply send(const HttpTarget &target, const HttpRequest &request, std::size_t limit, Ui &ui) const;

private:
    std::string m_agent;
    int m_accessType = 0;
    std::string m_proxy;
    int m_connectTimeout = kDefaultConnectTimeout;
    int m_receiveTimeout = kDefaultReceiveTimeout;
    int m_transferTimeout = kDefaultTransferTimeout;
};

} // namespace vantor
