#pragma once
// The debug side of a simulated gateway: it reports on the Modbus commands of its last downloaded
// configuration as if it were polling real slaves, answers the tool's start, stop, acknowledge and
// write messages, and keeps what the tool wrote into its output buffer. No I/O and no clock: the
// program calls nextReport() at the rate it wants.

#include "core/debug/debug_command.h"
#include "core/debug/debug_report.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace veltrane::sim {

// One Modbus command the gateway polls.
struct PolledCommand {
    std::uint8_t subnet = 0;  // 0-based
    std::uint8_t slave = 1;
    std::uint16_t start = 0;
    int functionCode = 3;
    int dataCount = 1;
    std::optional<std::uint16_t> mappingAddress;  // where a write command takes its data from
};

// The filled command slots of the project's subnets, in order.
std::vector<PolledCommand> polledCommands(const Project& project, const ProjectState& state);
// The data bytes a reply to the command carries: bits packed eight to a byte, registers two bytes.
std::size_t replyByteCount(const PolledCommand& command);

struct ReportGeneratorOptions {
    DebugTransport transport = DebugTransport::Ethernet;
    std::uint32_t seed = 1;
    // Out of every hundred reports, about this many of each kind; the rest are correct.
    int exceptionPercent = 5;
    int timeoutPercent = 3;
    int errorPercent = 1;
    // Send the next report only after the tool has answered the last one.
    bool waitForAcknowledge = true;
};

inline constexpr auto kOutputBufferSize = static_cast<std::size_t>(kOutputBufferLast - kOutputBufferFirst + 1);

class DebugReportGenerator {
public:
    DebugReportGenerator(std::vector<PolledCommand> commands, ReportGeneratorOptions options);

    // What the tool sent: one datagram over Ethernet, any piece of the byte stream over a serial line.
    void receive(ByteView bytes);
    // The next report when one is due: over Ethernet only between start and stop, and never while
    // an answer is awaited (when waiting for them) or without commands.
    std::optional<Bytes> nextReport();

    bool running() const { return m_running; }
    bool awaitingAnswer() const { return m_awaiting; }
    const std::vector<WritePayload>& writes() const { return m_writes; }
    const std::array<std::uint8_t, kOutputBufferSize>& outputBuffer() const { return m_output; }
    std::uint64_t acknowledgements() const { return m_acknowledgements; }
    std::uint64_t refusedMessages() const { return m_refused; }

private:
    void handle(const DebugCommand& command);
    DebugReport makeReport(const PolledCommand& command);

    std::vector<PolledCommand> m_commands;
    ReportGeneratorOptions m_options;
    std::mt19937 m_random;
    std::size_t m_next = 0;
    bool m_running;
    bool m_awaiting = false;
    Bytes m_serialInput;
    std::vector<WritePayload> m_writes;
    std::array<std::uint8_t, kOutputBufferSize> m_output{};
    std::uint64_t m_acknowledgements = 0;
    std::uint64_t m_refused = 0;
};

}  // namespace veltrane::sim
