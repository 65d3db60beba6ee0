#pragma once

#include "DemoServer.h"

#include "platform/SettingsStore.h"
#include "project/ProgramSettings.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace vantor::guitest {

// The demo server as the maker's server, on 127.0.0.1 and a free port, with
// its root in the test's temporary directory and "updateserver" pointing at
// it. Direct access and no dial-up prompt, unless a test wants one.
class MakerServerFixture
{
public:
    explicit MakerServerFixture(const std::filesystem::path &root, const std::string &version = "4.01 0")
        : m_root(root)
    {
        std::filesystem::create_directories(m_root);
        setVersion(version);
        m_server = std::make_unique<demo::DemoServer>(m_root);
        m_port = m_server->start();
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(m_port));
        programSettings().accessType = ProgramSettings::kAccessDirect;
        programSettings().httpInform = 0;
    }
    ~MakerServerFixture()
    {
        if (m_refused >= 0)
            ::close(m_refused);
    }
    MakerServerFixture(const MakerServerFixture &) = delete;
    MakerServerFixture &operator=(const MakerServerFixture &) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }

    void setVersion(const std::string &content)
    {
        std::ofstream(m_root / "version.txt", std::ios::binary) << content;
    }

    // What the support script wrote, as the bytes it decoded (cp1252).
    std::string supportLog() const
    {
        std::ifstream in(m_root / "support.log", std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    bool supportLogExists() const { return std::filesystem::exists(m_root / "support.log"); }

    // Points "updateserver" at a port held bound but not listening: every
    // connection is refused at once, and no other server can take the port.
    bool refuseConnections()
    {
        m_refused = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_refused < 0 || ::bind(m_refused, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::getsockname(m_refused, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return false;
        settingsStore().writeText("updateserver", "127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
        return true;
    }

private:
    std::filesystem::path m_root;
    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = -1;
    int m_refused = -1;
};

} // namespace vantor::guitest
