#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantor::testing {

// A server on 127.0.0.1 that answers whatever the test scripts, byte for
// byte: cpp-httplib is far too well-behaved to play a broken server. One
// connection at a time; each gets its request head read, then the script.
class RawServer
{
public:
    using Script = std::function<void(RawServer &server, int fd, const std::string &head)>;

    explicit RawServer(Script script)
        : m_script(std::move(script))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listen, reinterpret_cast<sockaddr *>(&address), length) == 0
            && ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length) == 0
            && ::listen(m_listen, 4) == 0)
            m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }

    ~RawServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }

    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    int port() const { return m_port; }
    std::string url(const std::string &path = "/") const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    // For the scripts: false once the client has gone or the test is over.
    bool sendAll(int fd, const std::string &data)
    {
        std::size_t done = 0;
        while (done < data.size()) {
            if (m_stop)
                return false;
            pollfd p { fd, POLLOUT, 0 };
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
            if (n <= 0) {
                m_clientLeft = true;
                return false;
            }
            done += static_cast<std::size_t>(n);
            m_written += static_cast<long long>(n);
        }
        return true;
    }
    bool stopping() const { return m_stop; }
    // Sleeps in small steps so the end of the test is never held up.
    void pause(int milliseconds)
    {
        for (int i = 0; i < milliseconds / 10 && !m_stop; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    // Waits (generously) until the script of every connection so far is done.
    bool waitIdle()
    {
        std::unique_lock lock(m_mutex);
        return m_idle.wait_for(lock, std::chrono::seconds(20), [this] { return !m_busy; });
    }
    std::vector<std::string> heads() const
    {
        std::lock_guard lock(m_mutex);
        return m_heads;
    }
    long long written() const { return m_written; }
    bool clientLeft() const { return m_clientLeft; }

private:
    void run()
    {
        while (!m_stop) {
            pollfd p { m_listen, POLLIN, 0 };
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                continue;
            {
                std::lock_guard lock(m_mutex);
                m_busy = true;
            }
            std::string head;
            if (readHead(fd, head)) {
                {
                    std::lock_guard lock(m_mutex);
                    m_heads.push_back(head);
                }
                m_script(*this, fd, head);
            }
            ::close(fd);
            {
                std::lock_guard lock(m_mutex);
                m_busy = false;
            }
            m_idle.notify_all();
        }
    }

    bool readHead(int fd, std::string &head)
    {
        char buffer[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            if (m_stop)
                return false;
            pollfd p { fd, POLLIN, 0 };
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return false;
            head.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    Script m_script;
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<long long> m_written { 0 };
    std::atomic<bool> m_clientLeft { false };
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    bool m_busy = false;
    std::vector<std::string> m_heads;
};

} // namespace vantor::testing
