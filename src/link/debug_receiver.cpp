#include "link/debug_receiver.h"

#include "core/common/ipv4.h"
#include "link/serial_port_stream.h"
#include "link/udp_datagram_socket.h"

#include <algorithm>

namespace veltrane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long the thread waits for input before it looks at the stop flag again.
constexpr int kTurnMs = 20;
// Datagrams handled in one turn before the queue gets them; bounds the work between two looks at
// the stop flag under a flood.
constexpr int kDatagramsPerTurn = 256;
// Datagrams read with one system call.
constexpr std::size_t kDatagramsAtOnce = 64;
// The most read from a serial port in one turn.
constexpr std::size_t kSerialChunk = 4096;
// A serial report whose length the stream cannot tell ends when the line goes quiet this long.
constexpr milliseconds kSerialQuiet{20};
// After the stop message: how long reports still waiting are taken, and the quiet that ends it.
constexpr milliseconds kDrainTime{300};
constexpr int kDrainQuietMs = 5;
// Room for bursts of reports between two reads.
constexpr int kReceiveBufferBytes = 4 << 20;

// Steps the caller has a use for; the others are only counted.
bool worthTelling(const MonitorStep& step) {
    return step.report || step.row || !step.saveText.empty() || step.wroteData;
}

}  // namespace

DebugReceiver::DebugReceiver(const DebugEndpoint& endpoint)
    : m_endpoint(endpoint),
      m_monitor(endpoint.transport == DebugTransport::Ethernet
                    ? DebugMonitor::ethernet({ipv4Number(parseIpv4(endpoint.gatewayAddress).value_or(Ipv4Octets{})),
                                              endpoint.gatewayPort},
                                             endpoint.historyLimit)
                    : DebugMonitor::serial(endpoint.historyLimit)) {}

Result<std::unique_ptr<DebugReceiver>> DebugReceiver::open(const DebugEndpoint& endpoint) {
    if (endpoint.transport == DebugTransport::Ethernet && !parseIpv4(endpoint.gatewayAddress))
        return makeError(ErrorKind::Format, "not an IPv4 address: " + endpoint.gatewayAddress);
    if (endpoint.transport == DebugTransport::None)
        return makeError(ErrorKind::Refused, "no debug link");
    auto receiver = std::unique_ptr<DebugReceiver>(new DebugReceiver(endpoint));
    std::promise<Status> opened;
    std::future<Status> result = opened.get_future();
    DebugReceiver* self = receiver.get();
    receiver->m_thread = std::thread([self, &opened] {
        if (self->m_endpoint.transport == DebugTransport::Ethernet)
            self->runEthernet(opened);
        else
            self->runSerial(opened);
    });
    Status status = result.get();
    if (!status) {
        receiver->m_thread.join();
        return status.error();
    }
    return receiver;
}

DebugReceiver::~DebugReceiver() { stop(); }

void DebugReceiver::stop() {
    m_stopping.store(true);
    if (m_thread.joinable())
        m_thread.join();
    m_queued.notify_all();
}

void DebugReceiver::runEthernet(std::promise<Status>& opened) {
    UdpDatagramSocket socket;
    const std::string& gateway = m_endpoint.gatewayAddress;
    const std::uint16_t gatewayPort = m_endpoint.gatewayPort;
    Status ready = socket.bind("0.0.0.0", m_endpoint.localPort);
    if (ready) {
        (void)socket.setReceiveBufferSize(kReceiveBufferBytes);
        ready = socket.sendTo(m_monitor.startMessage(), gateway, gatewayPort);
    }
    opened.set_value(ready);
    if (!ready)
        return;

    std::vector<MonitorStep> steps;
    std::vector<Bytes> replies;
    // Handles what arrives within `waitMs`, up to a turn's worth; false when nothing came or the
    // link broke (then failure() is set).
    const auto turn = [&](int waitMs) {
        // One byte more than the longest report: a longer datagram is seen, and refused, as such.
        auto first = socket.receive(kEthernetReportMaxSize + 1, waitMs);
        if (!first) {
            if (first.kind() != ErrorKind::Timeout)
                fail(first.error());
            return false;
        }
        std::vector<Datagram> datagrams;
        datagrams.push_back(std::move(*first));
        for (int handled = 0;;) {
            for (const Datagram& datagram : datagrams) {
                const Ipv4Endpoint from{ipv4Number(parseIpv4(datagram.senderAddress).value_or(Ipv4Octets{})),
                                        datagram.senderPort};
                const ReportTime arrived = m_clock.now();
                MonitorStep step =
                    onMonitor([&](DebugMonitor& m) { return m.receiveDatagram(datagram.data, from, arrived); });
                if (!step.reply.empty())
                    replies.push_back(std::move(step.reply));
                if (worthTelling(step))
                    steps.push_back(std::move(step));
            }
            handled += static_cast<int>(datagrams.size());
            // The answers of a batch go out together, before the next batch is read.
            const Status sent = socket.sendAllTo(replies, gateway, gatewayPort);
            replies.clear();
            if (!sent) {
                fail(sent.error());
                return false;
            }
            if (handled >= kDatagramsPerTurn)
                break;
            auto waiting = socket.receiveWaiting(kDatagramsAtOnce, kEthernetReportMaxSize + 1);
            if (!waiting) {
                fail(waiting.error());
                return false;
            }
            if (waiting->empty())
                break;
            datagrams = std::move(*waiting);
        }
        deliver(steps);
        return true;
    };
    while (!m_stopping.load())
        if (!turn(kTurnMs) && failure())
            return;
    (void)socket.sendTo(m_monitor.stopMessage(), gateway, gatewayPort);
    // Reports the gateway sent before it stopped may still wait in the socket: they are taken and
    // answered too, for a bounded time against a gateway that does not stop.
    const auto drainUntil = Clock::now() + kDrainTime;
    while (Clock::now() < drainUntil && turn(kDrainQuietMs)) {
    }
}

void DebugReceiver::runSerial(std::promise<Status>& opened) {
    SerialPortStream port;
    SerialLineSettings settings;
    settings.baudRate = kDebugBaudRate;
    Status ready = port.open(m_endpoint.device, settings);
    opened.set_value(ready);
    if (!ready)
        return;

    std::vector<MonitorStep> steps;
    Clock::time_point lastByte{};
    ReportTime lastArrival;
    bool pending = false;
    while (!m_stopping.load()) {
        auto waiting = port.bytesWaiting();
        if (!waiting)
            return fail(waiting.error());
        if (*waiting > 0) {
            auto bytes = port.read(std::min(*waiting, kSerialChunk));
            if (!bytes)
                return fail(bytes.error());
            lastByte = Clock::now();
            lastArrival = m_clock.now();
            pending = true;
            for (MonitorStep& step : onMonitor([&](DebugMonitor& m) { return m.receiveSerial(*bytes, lastArrival); }))
                steps.push_back(std::move(step));
        } else if (pending && Clock::now() - lastByte > kSerialQuiet) {
            pending = false;
            if (auto step = onMonitor([&](DebugMonitor& m) { return m.serialQuiet(lastArrival); }))
                steps.push_back(std::move(*step));
        } else {
            std::this_thread::sleep_for(milliseconds(1));
        }
        for (const MonitorStep& step : steps)
            if (!step.reply.empty())
                if (Status sent = port.write(step.reply); !sent)
                    return fail(sent.error());
        std::erase_if(steps, [](const MonitorStep& step) { return !worthTelling(step); });
        deliver(steps);
    }
}

void DebugReceiver::deliver(std::vector<MonitorStep>& steps) {
    if (steps.empty())
        return;
    {
        std::lock_guard lock(m_queueMutex);
        for (MonitorStep& step : steps) {
            if (m_queue.size() < m_endpoint.queueLimit)
                m_queue.push_back(std::move(step));
            else
                ++m_dropped;
        }
    }
    steps.clear();
    m_queued.notify_all();
}

void DebugReceiver::fail(Error error) {
    {
        std::lock_guard lock(m_queueMutex);
        m_failure = std::move(error);
    }
    m_queued.notify_all();
}

std::vector<MonitorStep> DebugReceiver::take(std::size_t max, milliseconds wait) {
    std::unique_lock lock(m_queueMutex);
    m_queued.wait_for(lock, wait, [this] { return !m_queue.empty() || m_failure || m_stopping.load(); });
    std::vector<MonitorStep> steps;
    const std::size_t count = std::min(max, m_queue.size());
    steps.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        steps.push_back(std::move(m_queue.front()));
        m_queue.pop_front();
    }
    return steps;
}

std::uint64_t DebugReceiver::dropped() const {
    std::lock_guard lock(m_queueMutex);
    return m_dropped;
}

std::optional<Error> DebugReceiver::failure() const {
    std::lock_guard lock(m_queueMutex);
    return m_failure;
}

void DebugReceiver::setPaused(bool paused) {
    onMonitor([&](DebugMonitor& m) { m.setPaused(paused); });
}

Status DebugReceiver::queueWrite(WritePayload payload) {
    return onMonitor([&](DebugMonitor& m) { return m.queueWrite(std::move(payload)); });
}

void DebugReceiver::cancelWrite() {
    onMonitor([](DebugMonitor& m) { m.cancelWrite(); });
}

bool DebugReceiver::writePending() const {
    std::lock_guard lock(m_monitorMutex);
    return m_monitor.writePending();
}

MonitorCounts DebugReceiver::counts() const {
    std::lock_guard lock(m_monitorMutex);
    return m_monitor.counts();
}

}  // namespace veltrane
