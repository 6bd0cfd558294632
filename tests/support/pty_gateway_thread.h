#pragma once
// A simulated serial gateway on a pseudo-terminal, served by a thread for the test's lifetime.

#include <atomic>
#include <string>
#include <thread>

#include "sim/engine/serial/pty_gateway.h"

namespace veltrane::testing {

class PtyGatewayThread {
public:
    explicit PtyGatewayThread(sim::SerialGatewayConfig config, int baudRate = 0)
        : m_engine(std::move(config)), m_gateway(m_engine, baudRate) {
        if (auto opened = m_gateway.open(); !opened)
            m_problem = opened.message();
        else
            m_thread = std::thread([this] { m_gateway.serve(m_stop); });
    }
    ~PtyGatewayThread() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    const std::string& problem() const { return m_problem; }
    const std::string& path() const { return m_gateway.slavePath(); }
    // Read it only while no transfer runs.
    sim::SerialGatewayEngine& engine() { return m_engine; }
    const sim::PtyGateway& gateway() const { return m_gateway; }

private:
    sim::SerialGatewayEngine m_engine;
    sim::PtyGateway m_gateway;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::string m_problem;
};

}  // namespace veltrane::testing
