#pragma once
// The debug side of one simulated Ethernet gateway behind a UDP socket: reports on the commands of
// the gateway's stored configuration go to whoever sent the start message, at the chosen rate.

#include "core/common/result.h"
#include "sim/engine/command_line.h"
#include "sim/engine/debug/debug_report_generator.h"
#include "sim/engine/gateway.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>

#include <memory>

namespace veltrane::sim {

// The commands a gateway holding this image polls.
std::vector<PolledCommand> polledCommandsOf(const ethernet::ConfigurationImage& image);

class DebugHost {
public:
    DebugHost(const Gateway& gateway, const DebugOptions& options, std::uint32_t seed);
    DebugHost(const DebugHost&) = delete;
    DebugHost& operator=(const DebugHost&) = delete;

    Status start(const QHostAddress& address);

private:
    void receive();
    void pump();
    void send(const Bytes& report);

    const Gateway& m_gateway;
    DebugOptions m_options;
    std::uint32_t m_seed;
    QUdpSocket m_socket;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    double m_credit = 0;
    std::unique_ptr<DebugReportGenerator> m_generator;
    QHostAddress m_tool;
    quint16 m_toolPort = 0;
    std::uint64_t m_sent = 0;  // since the last start
};

}  // namespace veltrane::sim
