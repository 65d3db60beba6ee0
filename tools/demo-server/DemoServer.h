#pragma once

#include <httplib.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace vantor::demo {

// Stands in for the maker's web server on the developer's machine and in
// the tests: data files and the version file from a directory, the support
// script that takes feedback, the newsletter page and the marketing
// documents. Later parts add simulated engines and research services to the
// same server through server().
class DemoServer
{
public:
    explicit DemoServer(std::filesystem::path root);
    // Stops a server started with start().
    ~DemoServer();
    DemoServer(const DemoServer &) = delete;
    DemoServer &operator=(const DemoServer &) = delete;

    httplib::Server &server() { return m_server; }
    const std::filesystem::path &root() const { return m_root; }
    // Where the support script appends every message it gets.
    std::filesystem::path supportLog() const { return m_root / "support.log"; }

    // Binds to 127.0.0.1; port 0 takes a free one. Returns the port, or -1.
    int bind(int port);
    // Serves until stop(); blocks.
    bool listen();
    void stop() { m_server.stop(); }
    // Binds and serves in a thread of its own until the server is
    // destroyed, for tests inside one process. Add routes before. Returns
    // the port, or -1.
    int start(int port = 0);

private:
    void addRoutes();

    std::filesystem::path m_root;
    httplib::Server m_server;
    std::mutex m_logMutex;
    std::thread m_thread;
};

} // namespace vantor::demo
