#include "sim/debug_host.h"

#include "core/common/hex.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/model/project_defaults.h"

#include <QNetworkDatagram>
#include <QVariant>

#include <algorithm>
#include <cstdio>

namespace veltrane::sim {

namespace {

QByteArray toByteArray(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// With no rate, reports are sent in bursts of this size per turn of the event loop.
constexpr int kBurst = 64;

}  // namespace

std::vector<PolledCommand> polledCommandsOf(const ethernet::ConfigurationImage& image) {
    Project project;
    ProjectState state;
    ethernet::decodeConfigurationImage(image, project, state);
    return polledCommands(project, state);
}

DebugHost::DebugHost(const Gateway& gateway, const DebugOptions& options, std::uint32_t seed)
    : m_gateway(gateway), m_options(options), m_seed(seed) {
    QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] { receive(); });
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { pump(); });
    m_timer.setTimerType(Qt::PreciseTimer);
    // A fast tick for high rates, one tick per report for slow ones.
    const double interval = m_options.rate > 0 ? std::clamp(1000.0 / m_options.rate, 1.0, 100.0) : 0.0;
    m_timer.setInterval(static_cast<int>(interval));
}

Status DebugHost::start(const QHostAddress& address) {
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    if (!m_socket.bind(address, m_options.port, mode))
        return makeError(ErrorKind::Io, "udp " + address.toString().toStdString() + " debug: " +
                                            m_socket.errorString().toStdString());
    // High report rates need room for the tool's answers arriving in bursts.
    m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1 << 20);
    m_socket.setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 1 << 20);
    return {};
}

void DebugHost::receive() {
    const std::string& ip = m_gateway.identity().ipAddress;
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        const QByteArray data = datagram.data();
        const ByteView bytes(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size()));
        const auto command = DebugCommand::decodeEthernet(bytes);
        if (command && command->kind == DebugCommand::Kind::Start) {
            // Each start polls the configuration stored at that moment, so a download shows up.
            ReportGeneratorOptions options;
            options.transport = DebugTransport::Ethernet;
            options.seed = m_seed;
            options.exceptionPercent = m_options.exceptionPercent;
            options.timeoutPercent = m_options.timeoutPercent;
            options.errorPercent = m_options.errorPercent;
            options.waitForAcknowledge = m_options.waitForAcknowledge;
            m_generator = std::make_unique<DebugReportGenerator>(polledCommandsOf(m_gateway.image()), options);
            m_tool = datagram.senderAddress();
            m_toolPort = static_cast<quint16>(datagram.senderPort());
            m_clock.start();
            m_lastTick = 0;
            m_credit = 1;
            m_sent = 0;
            m_timer.start();
            std::printf("debug start %s\n", ip.c_str());
            std::fflush(stdout);
        }
        if (!m_generator)
            continue;
        m_generator->receive(bytes);
        if (command && command->kind == DebugCommand::Kind::Stop) {
            m_timer.stop();
            std::printf("debug stop %s reports %llu\n", ip.c_str(), static_cast<unsigned long long>(m_sent));
            std::fflush(stdout);
        } else if (command && command->kind == DebugCommand::Kind::Write) {
            std::printf("debug write %s %04x %s\n", ip.c_str(), unsigned{command->write.address},
                        hexBytesText(command->write.data).c_str());
            std::fflush(stdout);
        }
    }
    pump();
}

void DebugHost::pump() {
    if (!m_generator || !m_generator->running())
        return;
    if (m_options.rate <= 0) {
        for (int i = 0; i < kBurst; ++i) {
            const auto report = m_generator->nextReport();
            if (!report)
                break;
            send(*report);
        }
        return;
    }
    const qint64 now = m_clock.elapsed();
    // Credit for at most a twentieth of a second, so a stall is not followed by a flood.
    m_credit = std::min(m_credit + m_options.rate * static_cast<double>(now - m_lastTick) / 1000.0,
                        std::max(1.0, m_options.rate / 20));
    m_lastTick = now;
    while (m_credit >= 1) {
        const auto report = m_generator->nextReport();
        if (!report)
            break;
        send(*report);
        m_credit -= 1;
    }
}

void DebugHost::send(const Bytes& report) {
    if (m_socket.writeDatagram(toByteArray(report), m_tool, m_toolPort) > 0)
        ++m_sent;
}

}  // namespace veltrane::sim
