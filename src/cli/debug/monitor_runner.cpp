#include "cli/debug/monitor_runner.h"
#include "cli/qt_application.h"

#include "cli/json_writer.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/send_validation.h"
#include "core/common/ipv4.h"
#include "link/serial_port_stream.h"
#include "link/udp_datagram_socket.h"

#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <memory>
#include <ostream>
#include <thread>

namespace veltrane::cli {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted.store(true); }

void installInterruptHandler() {
    g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking wait returns early so the loop sees the flag.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::optional<std::uint32_t> hostOrderAddress(const std::string& text) {
    const auto octets = parseIpv4(text);
    if (!octets)
        return std::nullopt;
    return ipv4Number(*octets);
}

void printRow(const DebugRow& row, DebugTransport transport, bool json, std::ostream& out) {
    if (json) {
        out << "{\"serialIndex\":" << JsonWriter::quote(row.serialIndex) << ",\"status\":" << JsonWriter::quote(row.status)
            << ",\"slave\":" << JsonWriter::quote(row.slave) << ",\"start\":" << JsonWriter::quote(row.start)
            << ",\"data\":" << JsonWriter::quote(row.data) << "}\n";
    } else {
        const auto cells = row.cells(transport);
        for (std::size_t i = 0; i < cells.size(); ++i)
            out << (i ? "\t" : "") << cells[i];
        out << '\n';
    }
    // A reader of a pipe sees each report as it comes.
    out.flush();
}

// One link to the gateway: what is received goes through the monitor, what it answers goes back.
class Link {
public:
    virtual ~Link() = default;
    virtual DebugMonitor& monitor() = 0;
    // Steps for what arrived within `wait`; an Io error when the link broke.
    virtual Result<std::vector<MonitorStep>> poll(milliseconds wait) = 0;
    virtual Status send(const Bytes& bytes) = 0;
    virtual void stop() = 0;
};

class EthernetLink : public Link {
public:
    static Result<std::unique_ptr<EthernetLink>> open(const DebugTarget& target) {
        const auto gateway = hostOrderAddress(target.address);
        if (!gateway)
            return makeError(ErrorKind::Format, "not an IPv4 address: " + target.address);
        auto link = std::unique_ptr<EthernetLink>(new EthernetLink(*gateway, target));
        if (Status bound = link->m_socket.bind("0.0.0.0", target.localPort); !bound)
            return bound.error();
        // Reports can come in bursts faster than one is read; a large buffer keeps them.
        (void)link->m_socket.setReceiveBufferSize(4 << 20);
        if (Status sent = link->send(link->m_monitor.startMessage()); !sent)
            return sent.error();
        return link;
    }

    DebugMonitor& monitor() override { return m_monitor; }

    Result<std::vector<MonitorStep>> poll(milliseconds wait) override {
        std::vector<MonitorStep> steps;
        auto datagram = m_socket.receive(kEthernetReportMaxSize, static_cast<int>(wait.count()));
        while (datagram) {
            const Ipv4Endpoint from{hostOrderAddress(datagram->senderAddress).value_or(0), datagram->senderPort};
            steps.push_back(m_monitor.receiveDatagram(datagram->data, from));
            if (!steps.back().reply.empty())
                if (Status sent = send(steps.back().reply); !sent)
                    return sent.error();
            if (!m_socket.hasPendingDatagram())
                break;
            datagram = m_socket.receive(kEthernetReportMaxSize, 0);
        }
        if (!datagram && datagram.kind() != ErrorKind::Timeout)
            return datagram.error();
        return steps;
    }

    Status send(const Bytes& bytes) override { return m_socket.sendTo(bytes, m_address, m_gatewayPort); }

    void stop() override { (void)send(m_monitor.stopMessage()); }

private:
    EthernetLink(std::uint32_t gateway, const DebugTarget& target)
        : m_monitor(DebugMonitor::ethernet({gateway, target.gatewayPort})), m_address(target.address),
          m_gatewayPort(target.gatewayPort) {}

    DebugMonitor m_monitor;
    UdpDatagramSocket m_socket;
    std::string m_address;
    std::uint16_t m_gatewayPort;
};

class SerialLink : public Link {
public:
    static Result<std::unique_ptr<SerialLink>> open(const DebugTarget& target) {
        auto link = std::unique_ptr<SerialLink>(new SerialLink);
        SerialLineSettings settings;
        settings.baudRate = kDebugBaudRate;
        if (Status opened = link->m_port.open(target.port, settings); !opened)
            return opened.error();
        return link;
    }

    DebugMonitor& monitor() override { return m_monitor; }

    Result<std::vector<MonitorStep>> poll(milliseconds wait) override {
        std::vector<MonitorStep> steps;
        const auto deadline = Clock::now() + wait;
        for (;;) {
            auto waiting = m_port.bytesWaiting();
            if (!waiting)
                return waiting.error();
            if (*waiting > 0) {
                auto bytes = m_port.read(*waiting);
                if (!bytes)
                    return bytes.error();
                m_lastByte = Clock::now();
                m_pending = true;
                for (MonitorStep& step : m_monitor.receiveSerial(*bytes))
                    steps.push_back(std::move(step));
            } else if (m_pending && Clock::now() - m_lastByte > kQuiet) {
                // A report whose length the stream cannot tell ends when the line goes quiet.
                m_pending = false;
                if (auto step = m_monitor.serialQuiet())
                    steps.push_back(std::move(*step));
            }
            if (!steps.empty() || Clock::now() >= deadline || g_interrupted.load())
                break;
            std::this_thread::sleep_for(milliseconds(1));
        }
        for (const MonitorStep& step : steps)
            if (!step.reply.empty())
                if (Status sent = send(step.reply); !sent)
                    return sent.error();
        return steps;
    }

    Status send(const Bytes& bytes) override { return m_port.write(bytes); }
    void stop() override {}  // a serial gateway reports from power-up; there is no stop message

private:
    static constexpr milliseconds kQuiet{20};

    SerialLink() : m_monitor(DebugMonitor::serial()) {}

    DebugMonitor m_monitor;
    SerialPortStream m_port;
    Clock::time_point m_lastByte{};
    bool m_pending = false;
};

Result<std::unique_ptr<Link>> openLink(const DebugTarget& target) {
    ensureQtCore();
    if (!target.port.empty()) {
        auto link = SerialLink::open(target);
        if (!link)
            return link.error();
        return std::unique_ptr<Link>(std::move(*link));
    }
    auto link = EthernetLink::open(target);
    if (!link)
        return link.error();
    return std::unique_ptr<Link>(std::move(*link));
}

}  // namespace

bool interruptRequested() { return g_interrupted.load(); }

int runMonitor(const MonitorOptions& options, std::ostream& out, std::ostream& err) {
    installInterruptHandler();
    auto opened = openLink(options.target);
    if (!opened) {
        err << opened.message() << '\n';
        return 1;
    }
    Link& link = **opened;
    const DebugTransport transport = link.monitor().transport();
    const auto started = Clock::now();
    std::uint64_t shown = 0;
    int exitCode = 0;
    while (!g_interrupted.load()) {
        if (options.count && shown >= *options.count)
            break;
        milliseconds wait(100);
        if (options.duration) {
            const auto left = std::chrono::duration_cast<milliseconds>(started + *options.duration - Clock::now());
            if (left.count() <= 0)
                break;
            wait = std::min(wait, left);
        }
        auto steps = link.poll(wait);
        if (!steps) {
            err << steps.message() << '\n';
            exitCode = 1;
            break;
        }
        for (const MonitorStep& step : *steps) {
            if (!step.row)
                continue;
            printRow(*step.row, transport, options.json, out);
            if (options.count && ++shown >= *options.count)
                break;
        }
    }
    link.stop();
    return out.flush() ? exitCode : 1;
}

int runWrite(const WriteOptions& options, std::ostream& out, std::ostream& err) {
    installInterruptHandler();
    const DebugTransport transport = options.target.port.empty() ? DebugTransport::Ethernet : DebugTransport::Serial;
    auto payload = validateSend(options.address, options.data, transport);
    if (!payload) {
        err << payload.message() << '\n';
        return 1;
    }
    auto opened = openLink(options.target);
    if (!opened) {
        err << opened.message() << '\n';
        return 1;
    }
    Link& link = **opened;
    if (Status queued = link.monitor().queueWrite(*payload); !queued) {
        err << queued.message() << '\n';
        link.stop();
        return 1;
    }
    // The write goes out in place of the acknowledgement of the next report the gateway sends.
    const auto deadline = Clock::now() + options.timeout;
    bool wrote = false;
    int exitCode = 0;
    while (!wrote && !g_interrupted.load()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        auto steps = link.poll(std::min(left, milliseconds(100)));
        if (!steps) {
            err << steps.message() << '\n';
            exitCode = 1;
            break;
        }
        for (const MonitorStep& step : *steps) {
            if (step.row)
                printRow(*step.row, transport, false, out);
            wrote = wrote || step.wroteData;
        }
    }
    link.stop();
    if (!wrote && exitCode == 0) {
        err << "no report arrived from the gateway; nothing was written\n";
        exitCode = 1;
    }
    return out.flush() ? exitCode : 1;
}

}  // namespace veltrane::cli
