#pragma once

#include "GuardedServer.h"

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <functional>

namespace vantor::demo {

// One client connection as the library reads and writes it, with the limits
// of GuardedServer on every request head: a deadline for the whole head, and
// bounds on the request line, each header line, their number and their sum.
// A head that breaks one is answered here at once (408, 414 or 431) and the
// connection is good for nothing more. After the head, the body may take at
// most maxPayload bytes and some room for chunk framing.
class GuardedStream : public httplib::Stream
{
public:
    // running is asked between short waits, so that a stopping server does
    // not wait for its slowest client.
    GuardedStream(int socket, const GuardedServer::Limits &limits, std::function<bool()> running);

    // Waits up to the keep-alive time for the first byte of a request.
    bool waitForRequest();
    // Starts the watch over the next request head.
    void beginRequest();
    // The answer now being made is the last one on this connection.
    void closeAfterAnswer() { m_closing = true; }
    bool closing() const { return m_closing || m_refused; }
    // Closes the socket without throwing away an answer the client has not
    // read yet: what it still sends is drained for a moment first.
    void close();

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char *ptr, size_t size) override;
    ssize_t write(const char *ptr, size_t size) override;
    void get_remote_ip_and_port(std::string &ip, int &port) const override;
    void get_local_ip_and_port(std::string &ip, int &port) const override;
    socket_t socket() const override { return m_socket; }

private:
    using Clock = std::chrono::steady_clock;

    enum class Phase { Head, Body };

    // Waits for the socket until the deadline, in short steps.
    bool waitFor(short events, Clock::time_point deadline) const;
    // Reads what the socket has: the byte count, 0 at its end, -1 after a
    // timeout or an error.
    ssize_t fill();
    // Counts one byte of the head; false when it breaks a limit (and the
    // answer has gone out).
    bool countHeadByte(char c);
    // Answers with status and a short German text, and ends the connection.
    void refuse(int status);

    int m_socket;
    GuardedServer::Limits m_limits;
    std::function<bool()> m_running;

    char m_buffer[4096];
    std::size_t m_begin = 0;
    std::size_t m_end = 0;

    Phase m_phase = Phase::Head;
    Clock::time_point m_headDeadline;
    std::size_t m_headBytes = 0;
    std::size_t m_lines = 0;     // finished lines of the head, the request line included
    std::size_t m_lineBytes = 0; // of the line being read
    char m_previous = '\0';
    std::size_t m_bodyBytes = 0;

    bool m_closing = false;
    bool m_refused = false;
};

} // namespace vantor::demo
