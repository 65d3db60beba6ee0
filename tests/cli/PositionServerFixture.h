#pragma once

#include "CliFixture.h"

#include "DemoServer.h"
#include "position/PositionRun.h"

#include <filesystem>
#include <memory>
#include <string>

namespace vantor::testing {

// The demo server as update server and as the engines of its position
// file: the sample site's domain stands at known places there.
class PositionServerFixture : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        std::filesystem::create_directories(m_dir / "server");
        m_server = std::make_unique<demo::DemoServer>(m_dir / "server");
        m_port = m_server->start();
        ASSERT_GT(m_port, 0);
        PositionRun::resetMakerReport();
        ASSERT_EQ(run({"settings", "set", "updateserver", "127.0.0.1:" + std::to_string(m_port)}), 0);
        ASSERT_EQ(run({"settings", "set", "accesstype", "1", "--number"}), 0);
    }
    void TearDown() override
    {
        m_server.reset();
        CliFixture::TearDown();
    }

    std::unique_ptr<demo::DemoServer> m_server;
    int m_port = 0;
};

} // namespace vantor::testing
