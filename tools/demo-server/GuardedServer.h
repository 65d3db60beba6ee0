#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>

namespace vantor::demo {

// An httplib server that a handful of slow or greedy clients cannot take
// over. The library of the distribution bounds neither the time a request
// head may take nor the number of its header lines, and it reads a body of
// any announced length before it refuses it; so the connections run through
// a stream of our own that watches the head, and the library's own knobs
// (worker pool, timeouts, keep-alive, payload size) are set from the same
// limits.
class GuardedServer : public httplib::Server
{
public:
    struct Limits {
        // More workers than a few stuck clients can occupy; each one of those
        // is let go after headTimeout anyway.
        std::size_t workers = 32;
        // One read or write that makes no progress for this long ends the
        // connection.
        std::chrono::milliseconds readTimeout{5000};
        std::chrono::milliseconds writeTimeout{5000};
        // The whole head of a request, from its first byte to the blank
        // line, has to arrive within this; a client trickling one byte a
        // second is answered 408.
        std::chrono::milliseconds headTimeout{10000};
        // How long an idle kept-alive connection may wait for its next
        // request, and how many requests one connection may make.
        std::chrono::milliseconds keepAliveTimeout{5000};
        std::size_t keepAliveMaxCount = 20;
        // 414 beyond this.
        std::size_t maxRequestLine = 8192;
        // 431 beyond any of these.
        std::size_t maxHeaderLine = 8192;
        std::size_t maxHeaderCount = 100;
        std::size_t maxHead = 64 * 1024;
        // 413 for an announced body beyond this, before a byte of it is read;
        // a body without a length that grows beyond it ends with 400.
        std::size_t maxPayload = 1024 * 1024;
        // Connections the system holds for us until we take them.
        int backlog = 128;
    };

    explicit GuardedServer(const Limits &limits);

    const Limits &limits() const { return m_limits; }

    // The library listens with a backlog of 5, so in a burst of connections
    // every seventh waits a second for its retry. Call after binding.
    void widenBacklog();

private:
    // Takes the place of the library's own connection loop, which would
    // read from the socket without our limits.
    bool process_and_close_socket(socket_t sock) override;

    // The status that refuses the request for the body it announces: 413
    // beyond maxPayload, 400 for a length that is no number, 0 to go on.
    int refusalFor(const httplib::Request &request) const;

    Limits m_limits;
};

} // namespace vantor::demo
