#pragma once
// The debug monitor's link on a thread of its own, shared by the window and veltrane-cli. The thread
// reads what the gateway sends, answers each report at once, and hands what is to be shown to the
// caller through a bounded queue. A gateway that reports faster than the caller takes the steps can
// neither grow memory nor hold the caller up: steps that do not fit are dropped and counted. Limits
// and interrupts stay with the caller: take() returns within the wait it is given, at any rate.

#include "core/common/result.h"
#include "core/debug/debug_monitor.h"
#include "core/link/gateway_ports.h"
#include "link/report_clock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace veltrane {

// Steps waiting for the caller: over a second of the fastest gateway, a few megabytes at most.
inline constexpr std::size_t kDefaultDebugQueueLimit = 32768;

struct DebugEndpoint {
    DebugTransport transport = DebugTransport::None;
    std::string gatewayAddress;  // Ethernet: dotted IPv4
    std::uint16_t gatewayPort = kDebugGatewayPort;
    std::uint16_t localPort = kDebugLocalPort;
    std::string device;  // Serial: a device path or name
    std::size_t historyLimit = kDefaultDebugHistory;
    std::size_t queueLimit = kDefaultDebugQueueLimit;
};

class DebugReceiver {
public:
    // Opens the link on the receiver's thread (Qt's sockets and ports belong to the thread that
    // makes them); over Ethernet the start message is sent. The error says why it could not open:
    // ErrorKind::LineSettings when a serial port opened but refused the debug line's settings.
    static Result<std::unique_ptr<DebugReceiver>> open(const DebugEndpoint& endpoint);
    ~DebugReceiver();

    DebugReceiver(const DebugReceiver&) = delete;
    DebugReceiver& operator=(const DebugReceiver&) = delete;

    DebugTransport transport() const { return m_endpoint.transport; }

    // Steps with something to show, save or tell (a report, a row, a write carried), oldest first:
    // at most `max` of them, waiting up to `wait` for the first.
    std::vector<MonitorStep> take(std::size_t max, std::chrono::milliseconds wait);
    // Steps dropped because the queue was full when they came.
    std::uint64_t dropped() const;
    // Set when the link broke; the thread has then ended.
    std::optional<Error> failure() const;

    void setPaused(bool paused);
    Status queueWrite(WritePayload payload);
    void cancelWrite();
    bool writePending() const;
    MonitorCounts counts() const;

    // Tells an Ethernet gateway to stop reporting, ends the thread and closes the link. The
    // destructor calls it; later calls do nothing.
    void stop();

private:
    explicit DebugReceiver(const DebugEndpoint& endpoint);
    void runEthernet(std::promise<Status>& opened);
    void runSerial(std::promise<Status>& opened);
    // Runs `receive` on the monitor under its lock.
    template <class Receive>
    auto onMonitor(Receive receive) {
        std::lock_guard lock(m_monitorMutex);
        return receive(m_monitor);
    }
    void deliver(std::vector<MonitorStep>& steps);
    void fail(Error error);

    DebugEndpoint m_endpoint;
    ReportClock m_clock;  // started when the monitor opens; stamps each report as it arrives
    mutable std::mutex m_monitorMutex;
    DebugMonitor m_monitor;

    mutable std::mutex m_queueMutex;
    std::condition_variable m_queued;
    std::deque<MonitorStep> m_queue;
    std::uint64_t m_dropped = 0;
    std::optional<Error> m_failure;

    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace veltrane
