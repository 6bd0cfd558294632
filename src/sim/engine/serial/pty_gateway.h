#pragma once
// A simulated gateway behind a pseudo-terminal: the tool opens slavePath() like any serial port.
// Bytes are paced as a line at the chosen baud rate would carry them, both ways, so timings seen
// through it are those of a real cable.

#include "core/common/result.h"
#include "sim/engine/serial/frame_assembler.h"
#include "sim/engine/serial/serial_gateway_engine.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace veltrane::sim {

class PtyGateway {
public:
    // baudRate 0: no pacing. Bits per byte on the line: start, 8 data, stop.
    PtyGateway(SerialGatewayEngine& engine, int baudRate);
    ~PtyGateway();
    PtyGateway(const PtyGateway&) = delete;
    PtyGateway& operator=(const PtyGateway&) = delete;

    // Creates the pseudo-terminal pair (raw, both ends).
    Status open();
    const std::string& slavePath() const { return m_slavePath; }

    // Answers requests until `stop` is set (looked at every few milliseconds). `afterRequest`
    // runs after each answered request, for example to save the gateway's state.
    void serve(const std::atomic<bool>& stop, const std::function<void()>& afterRequest = {});

    // For other exchanges on the same line (debug reports): the master end, and a paced write.
    int masterFd() const { return m_master; }
    void writePaced(const Bytes& bytes);

    std::uint64_t bytesReceived() const { return m_received; }
    std::uint64_t bytesSent() const { return m_sent; }

private:
    std::int64_t byteTimeUs() const;

    SerialGatewayEngine& m_engine;
    int m_baudRate;
    int m_master = -1;
    int m_slave = -1; // held open so the master never sees a hang-up between clients
    std::string m_slavePath;
    FrameAssembler m_assembler;
    std::atomic<std::uint64_t> m_received{0};
    std::atomic<std::uint64_t> m_sent{0};
};

} // namespace veltrane::sim
