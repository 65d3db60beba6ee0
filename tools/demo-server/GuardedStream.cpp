#include "GuardedStream.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace vantor::demo {

namespace {

// Chunk sizes, their line ends and trailers around a body of maxPayload.
constexpr std::size_t kFramingRoom = 64 * 1024;
// A refused request may still be sending; this much of it is read and
// dropped before the socket closes, so the refusal is not lost to a reset.
constexpr std::size_t kDrainBytes = 256 * 1024;
constexpr std::chrono::milliseconds kDrainTime{200};
// The longest a wait goes without asking whether the server still runs.
constexpr std::chrono::milliseconds kWaitStep{50};

void addressOf(int socket, bool peer, std::string &ip, int &port)
{
    ip.clear();
    port = 0;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto *raw = reinterpret_cast<sockaddr *>(&address);
    if ((peer ? ::getpeername(socket, raw, &length) : ::getsockname(socket, raw, &length)) != 0)
        return;
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto *v4 = reinterpret_cast<const sockaddr_in *>(&address);
        if (::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text))
            ip = text;
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto *v6 = reinterpret_cast<const sockaddr_in6 *>(&address);
        if (::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text))
            ip = text;
        port = ntohs(v6->sin6_port);
    }
}

} // namespace

GuardedStream::GuardedStream(int socket, const GuardedServer::Limits &limits, std::function<bool()> running)
    : m_socket(socket)
    , m_limits(limits)
    , m_running(std::move(running))
{
}

bool GuardedStream::waitFor(short events, Clock::time_point deadline) const
{
    for (;;) {
        if (m_running && !m_running())
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watched{m_socket, events, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(std::min(left, kWaitStep).count()));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool GuardedStream::waitForRequest()
{
    return m_begin < m_end || waitFor(POLLIN, Clock::now() + m_limits.keepAliveTimeout);
}

void GuardedStream::beginRequest()
{
    m_phase = Phase::Head;
    m_headDeadline = Clock::now() + m_limits.headTimeout;
    m_headBytes = 0;
    m_lines = 0;
    m_lineBytes = 0;
    m_previous = '\0';
    m_bodyBytes = 0;
}

ssize_t GuardedStream::fill()
{
    m_begin = m_end = 0;
    auto deadline = Clock::now() + m_limits.readTimeout;
    if (m_phase == Phase::Head)
        deadline = std::min(deadline, m_headDeadline);
    if (!waitFor(POLLIN, deadline)) {
        // A head that stopped coming is told so; a body that stopped is the
        // library's to answer.
        if (m_phase == Phase::Head && m_headBytes > 0 && (!m_running || m_running()))
            refuse(408);
        return -1;
    }
    ssize_t got;
    do
        got = ::recv(m_socket, m_buffer, sizeof m_buffer, 0);
    while (got < 0 && errno == EINTR);
    if (got > 0)
        m_end = static_cast<std::size_t>(got);
    return got;
}

bool GuardedStream::countHeadByte(char c)
{
    if (++m_headBytes > m_limits.maxHead) {
        refuse(431);
        return false;
    }
    if (c != '\n') {
        const bool requestLine = m_lines == 0;
        // One byte more for the CR of the line end.
        if (++m_lineBytes > (requestLine ? m_limits.maxRequestLine : m_limits.maxHeaderLine) + 1) {
            refuse(requestLine ? 414 : 431);
            return false;
        }
        m_previous = c;
        return true;
    }
    // Only CR LF alone ends the head, as it does for the library, which
    // skips a line that ends in a bare LF.
    if (m_lines > 0 && m_lineBytes == 1 && m_previous == '\r') {
        m_phase = Phase::Body;
    } else if (++m_lines > m_limits.maxHeaderCount + 1) {
        refuse(431);
        return false;
    }
    m_lineBytes = 0;
    m_previous = c;
    return true;
}

ssize_t GuardedStream::read(char *ptr, size_t size)
{
    if (m_refused)
        return -1;
    if (size == 0)
        return 0;
    if (m_begin == m_end) {
        const ssize_t got = fill();
        if (got <= 0)
            return m_refused ? -1 : got;
    }

    std::size_t given = 0;
    if (m_phase == Phase::Head) {
        // Byte by byte, and not beyond the end of the head: what follows is
        // counted against the body.
        while (given < size && m_begin < m_end && m_phase == Phase::Head) {
            const char c = m_buffer[m_begin];
            if (!countHeadByte(c))
                return -1;
            ptr[given++] = c;
            ++m_begin;
        }
        return static_cast<ssize_t>(given);
    }
    given = std::min(size, m_end - m_begin);
    m_bodyBytes += given;
    if (m_bodyBytes > m_limits.maxPayload + kFramingRoom) {
        m_closing = true;
        return -1;
    }
    std::memcpy(ptr, m_buffer + m_begin, given);
    m_begin += given;
    return static_cast<ssize_t>(given);
}

ssize_t GuardedStream::write(const char *ptr, size_t size)
{
    if (m_refused)
        return -1;
    if (!waitFor(POLLOUT, Clock::now() + m_limits.writeTimeout))
        return -1;
    ssize_t sent;
    do
        sent = ::send(m_socket, ptr, size, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent;
}

bool GuardedStream::is_readable() const
{
    return m_begin < m_end || (!m_refused && waitFor(POLLIN, Clock::now() + m_limits.readTimeout));
}

bool GuardedStream::is_writable() const
{
    return !m_refused && waitFor(POLLOUT, Clock::now() + m_limits.writeTimeout);
}

void GuardedStream::get_remote_ip_and_port(std::string &ip, int &port) const { addressOf(m_socket, true, ip, port); }

void GuardedStream::get_local_ip_and_port(std::string &ip, int &port) const { addressOf(m_socket, false, ip, port); }

void GuardedStream::refuse(int status)
{
    const char *reason = "Bad Request";
    const char *text = "Die Anfrage ist fehlerhaft.";
    switch (status) {
    case 408:
        reason = "Request Timeout";
        text = "Die Anfrage kam zu langsam an.";
        break;
    case 414:
        reason = "URI Too Long";
        text = "Die angefragte Adresse ist zu lang.";
        break;
    case 431:
        reason = "Request Header Fields Too Large";
        text = "Die Anfrage hat zu viele oder zu lange Kopfzeilen.";
        break;
    default:
        break;
    }
    const std::string body = std::string(text) + "\n";
    const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason
        + "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n = write(answer.data() + sent, answer.size() - sent);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    // Nothing more is read, and the library's own answer to the failed read
    // does not follow ours.
    m_refused = true;
    m_closing = true;
}

void GuardedStream::close()
{
    ::shutdown(m_socket, SHUT_WR);
    if (closing()) {
        const auto deadline = Clock::now() + kDrainTime;
        std::size_t drained = 0;
        char sink[4096];
        while (drained < kDrainBytes && waitFor(POLLIN, deadline)) {
            const ssize_t got = ::recv(m_socket, sink, sizeof sink, 0);
            if (got <= 0)
                break;
            drained += static_cast<std::size_t>(got);
        }
    }
    ::close(m_socket);
}

} // namespace vantor::demo
