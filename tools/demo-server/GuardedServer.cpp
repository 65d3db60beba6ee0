#include "GuardedServer.h"

#include "GuardedStream.h"

#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <string>

namespace vantor::demo {

namespace {

const char *refusalText(int status)
{
    return status == 413 ? "Die Anfrage ist zu groß.\n" : "Die Anfrage ist fehlerhaft.\n";
}

} // namespace

GuardedServer::GuardedServer(const Limits &limits)
    : m_limits(limits)
{
    m_limits.workers = std::max<std::size_t>(m_limits.workers, 1);
    m_limits.keepAliveMaxCount = std::max<std::size_t>(m_limits.keepAliveMaxCount, 1);
    const std::size_t workers = m_limits.workers;
    new_task_queue = [workers] { return new httplib::ThreadPool(workers); };

    // The connection loop is ours (GuardedStream), but the library's own
    // settings say the same, for whatever part of it still reads them.
    set_read_timeout(m_limits.readTimeout);
    set_write_timeout(m_limits.writeTimeout);
    set_keep_alive_max_count(m_limits.keepAliveMaxCount);
    set_keep_alive_timeout(std::max<time_t>(
        1, std::chrono::duration_cast<std::chrono::seconds>(m_limits.keepAliveTimeout).count()));
    set_payload_max_length(m_limits.maxPayload);

    // The library would read an announced body of any length before it says
    // 413; this says it before the first byte. The same goes for a client
    // that waits for "100 Continue" first.
    set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &response) {
        const int refusal = refusalFor(request);
        if (refusal == 0)
            return HandlerResponse::Unhandled;
        response.status = refusal;
        response.set_content(refusalText(refusal), "text/plain; charset=utf-8");
        return HandlerResponse::Handled;
    });
    set_expect_100_continue_handler([this](const httplib::Request &request, httplib::Response &response) {
        const int refusal = refusalFor(request);
        if (refusal == 0)
            return 100;
        response.status = refusal;
        response.set_content(refusalText(refusal), "text/plain; charset=utf-8");
        return refusal;
    });
}

void GuardedServer::widenBacklog()
{
    const socket_t listening = svr_sock_;
    if (listening != INVALID_SOCKET)
        ::listen(listening, m_limits.backlog);
}

int GuardedServer::refusalFor(const httplib::Request &request) const
{
    if (!request.has_header("Content-Length"))
        return 0;
    const std::string value = request.get_header_value("Content-Length");
    unsigned long long length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (value.empty() || error == std::errc::invalid_argument || end != value.data() + value.size())
        return 400;
    return error == std::errc::result_out_of_range || length > m_limits.maxPayload ? 413 : 0;
}

bool GuardedServer::process_and_close_socket(socket_t sock)
{
    GuardedStream stream(sock, m_limits, [this] { return svr_sock_ != INVALID_SOCKET; });
    bool served = false;
    for (std::size_t left = m_limits.keepAliveMaxCount; left > 0; --left) {
        if (!stream.waitForRequest())
            break;
        stream.beginRequest();
        bool connectionClosed = false;
        served = process_request(stream, left == 1, connectionClosed, [this, &stream](httplib::Request &request) {
            // The body of a refused request is never read, so nothing after
            // it on this connection could be told from it.
            if (refusalFor(request) != 0)
                stream.closeAfterAnswer();
        });
        if (!served || connectionClosed || stream.closing())
            break;
    }
    stream.close();
    return served;
}

} // namespace vantor::demo
