#pragma once

#include "GuardedServer.h"
#include "IndexNowEndpoint.h"
#include "ResearchServices.h"
#include "SimulatedEngines.h"
#include "StaticSite.h"

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vantor::demo {

// Where the build put the packed data files (submit_d.dat,
// submit_lists_d.dat, research_d.dat and position_d.dat, made from
// data/demo-server/*.txt).
std::filesystem::path builtDataDirectory();

// Stands in for the maker's web server on the developer's machine and in
// the tests: data files and the version file from a directory, the support
// script that takes feedback, the newsletter page and the marketing
// documents, the simulated search engines, the services the keyword
// research asks, the result pages the position check reads, and on request
// a copy of the user's web site.
class DemoServer
{
public:
    struct Options {
        GuardedServer::Limits limits;
        // Past this size the support log moves to support.log.1 (replacing
        // an older one there) and starts again, so the two never hold much
        // more than twice this. A message larger than the whole of it is
        // refused with 413.
        std::uintmax_t supportLogMax = 4u * 1024 * 1024;
        // Data files not found in the root are looked for here.
        std::filesystem::path builtData = builtDataDirectory();
        // Where the support log goes; empty: the root. An installed server's
        // root is read-only, so its log lives with the user's state instead.
        std::filesystem::path logDirectory;
        // Served at "/" when not empty; without it "/" is a short page about
        // this server and everything else there is 404.
        std::filesystem::path site;
        SimulatedEngines::Timing engines;
        // The IndexNow endpoint looks for key files in site.
        IndexNowEndpoint::Settings indexNow;
        // Where the research services find their words.
        ResearchServices::Settings research;
    };

    // The address the shipped engine definitions name. A server on another
    // port hands them out with its own port instead.
    static constexpr const char *kDefaultAddress = "127.0.0.1:8080";

    explicit DemoServer(std::filesystem::path root);
    DemoServer(std::filesystem::path root, const Options &options);
    // Stops a server started with start().
    ~DemoServer();
    DemoServer(const DemoServer &) = delete;
    DemoServer &operator=(const DemoServer &) = delete;

    httplib::Server &server() { return m_server; }
    const std::filesystem::path &root() const { return m_root; }
    // Where the support script appends every message it gets.
    std::filesystem::path supportLog() const { return logDirectory() / "support.log"; }
    // Where the log went when it last reached its cap.
    std::filesystem::path supportLogBefore() const { return logDirectory() / "support.log.1"; }
    // A value as the log holds it: one line, whatever it contains, so that
    // no message can end its entry early or forge another. CR and LF are
    // written as \r and \n, a backslash is doubled.
    static std::string supportLogValue(const std::string &value);
    const std::filesystem::path &logDirectory() const
    {
        return m_options.logDirectory.empty() ? m_root : m_options.logDirectory;
    }

    // Binds to 127.0.0.1; port 0 takes a free one. Returns the port, or -1.
    int bind(int port);
    // Serves until stop(); blocks.
    bool listen();
    // Also ends the waits of the slow and the silent engine.
    void stop();
    // Binds and serves in a thread of its own until the server is
    // destroyed, for tests inside one process. Add routes before. Returns
    // the port, or -1.
    int start(int port = 0);
    // The port bound to, 0 before.
    int port() const { return m_port; }

    const SimulatedEngines &engines() const { return m_engines; }
    const IndexNowEndpoint &indexNow() const { return m_indexNow; }

    // A data file as this server hands it out: one that names
    // kDefaultAddress names this server's own address instead, packed anew.
    // Anything that is no data file stays as it is.
    std::string servedDataFile(const std::string &stored) const;

private:
    void addRoutes();
    // The file of that name in the root, after every symbolic link is
    // followed; nothing when it is no plain name, missing, or ends up
    // outside the root.
    std::optional<std::filesystem::path> fileInRoot(const std::string &name) const { return fileIn(m_root, name); }
    static std::optional<std::filesystem::path> fileIn(const std::filesystem::path &directory, const std::string &name);
    // Appends one entry to the support log; false when it is larger than the
    // whole log may be, or cannot be written.
    bool appendSupportEntry(const std::string &entry);

    std::filesystem::path m_root;
    Options m_options;
    GuardedServer m_server;
    SimulatedEngines m_engines;
    IndexNowEndpoint m_indexNow;
    ResearchServices m_research;
    std::optional<StaticSite> m_site;
    std::atomic<int> m_port{0};
    std::mutex m_logMutex;
    std::thread m_thread;
};

} // namespace vantor::demo
