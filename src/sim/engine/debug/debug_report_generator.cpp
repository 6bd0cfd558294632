#include "sim/engine/debug/debug_report_generator.h"

#include "core/model/text_value.h"

#include <algorithm>

namespace veltrane::sim {

namespace {
// A reply must fit both an Ethernet report and a serial one's count byte.
constexpr std::size_t kMaxReplyBytes = 240;
}  // namespace

std::vector<PolledCommand> polledCommands(const Project& project, const ProjectState& state) {
    std::vector<PolledCommand> out;
    const int subnets = std::clamp(state.SubnetCount, 0, kSubnetSlots);
    for (int s = 0; s < subnets; ++s) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(s)];
        const int count = std::clamp(subnet.commandCount, 0, kMaxCommands);
        for (int c = 0; c < count; ++c) {
            const INSTRUCTION& record = subnet.commands[static_cast<std::size_t>(c)];
            PolledCommand command;
            command.subnet = static_cast<std::uint8_t>(s);
            command.slave = static_cast<std::uint8_t>(std::clamp(decimalValue(record.slaveAddress), 0, 255));
            command.start = static_cast<std::uint16_t>(std::clamp(decimalValue(record.startAddress), 0, 65535));
            command.functionCode = decimalValue(record.functionCode);
            command.dataCount = std::max(1, decimalValue(record.dataCount));
            if (!record.mappingAddress.empty())
                command.mappingAddress = static_cast<std::uint16_t>(std::min<std::uint32_t>(hexValue(record.mappingAddress), 0xFFFF));
            out.push_back(command);
        }
    }
    return out;
}

std::size_t replyByteCount(const PolledCommand& command) {
    const auto count = static_cast<std::size_t>(std::max(1, command.dataCount));
    std::size_t bytes;
    switch (command.functionCode) {
    case 1:
    case 2:
    case 15:
        bytes = (count + 7) / 8;
        break;
    case 5:
        bytes = 1;
        break;
    case 6:
        bytes = 2;
        break;
    default:
        bytes = 2 * count;
        break;
    }
    return std::min(bytes, kMaxReplyBytes);
}

DebugReportGenerator::DebugReportGenerator(std::vector<PolledCommand> commands, ReportGeneratorOptions options)
    : m_commands(std::move(commands)), m_options(options), m_random(options.seed),
      // Only the Ethernet side has start and stop messages; a serial gateway reports from power-up.
      m_running(options.transport == DebugTransport::Serial) {}

void DebugReportGenerator::receive(ByteView bytes) {
    if (m_options.transport == DebugTransport::Ethernet) {
        const auto command = DebugCommand::decodeEthernet(bytes);
        if (command)
            handle(*command);
        else
            ++m_refused;
        return;
    }
    m_serialInput.insert(m_serialInput.end(), bytes.begin(), bytes.end());
    for (;;) {
        bool invalid = false;
        const std::size_t size = DebugCommand::serialMessageSize(m_serialInput, invalid);
        if (invalid) {
            // Resynchronise on the next byte.
            m_serialInput.erase(m_serialInput.begin());
            ++m_refused;
            continue;
        }
        if (size == 0 || m_serialInput.size() < size)
            return;
        const Bytes message(m_serialInput.begin(), m_serialInput.begin() + static_cast<std::ptrdiff_t>(size));
        m_serialInput.erase(m_serialInput.begin(), m_serialInput.begin() + static_cast<std::ptrdiff_t>(size));
        handle(DebugCommand::decodeSerial(message).value());
    }
}

void DebugReportGenerator::handle(const DebugCommand& command) {
    switch (command.kind) {
    case DebugCommand::Kind::Start:
        m_running = true;
        m_awaiting = false;
        return;
    case DebugCommand::Kind::Stop:
        m_running = false;
        m_awaiting = false;
        return;
    case DebugCommand::Kind::Acknowledge:
        ++m_acknowledgements;
        m_awaiting = false;
        return;
    case DebugCommand::Kind::Write: {
        m_writes.push_back(command.write);
        const WritePayload& write = command.write;
        // Bytes beyond the buffer are recorded but not stored.
        for (std::size_t i = 0; i < write.data.size(); ++i) {
            const auto at = static_cast<std::int64_t>(write.address + i);
            if (at >= kOutputBufferFirst && at <= kOutputBufferLast)
                m_output[static_cast<std::size_t>(at - kOutputBufferFirst)] = write.data[i];
        }
        m_awaiting = false;
        return;
    }
    }
}

DebugReport DebugReportGenerator::makeReport(const PolledCommand& command) {
    DebugReport report;
    report.subnet = command.subnet;
    report.slave = command.slave;
    report.start = command.start;
    const int roll = static_cast<int>(m_random() % 100);
    const int exceptionBelow = m_options.exceptionPercent;
    const int timeoutBelow = exceptionBelow + m_options.timeoutPercent;
    const int errorBelow = timeoutBelow + m_options.errorPercent;
    if (roll < exceptionBelow) {
        report.status = report_status::Exception;
        report.exceptionCode = static_cast<std::uint8_t>(1 + m_random() % 8);
        return report;
    }
    if (roll < timeoutBelow) {
        report.status = report_status::Timeout;
        return report;
    }
    report.status = roll < errorBelow ? report_status::Error : report_status::Correct;
    const std::size_t size = replyByteCount(command);
    const bool write = command.functionCode > 4;
    report.data.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        if (!write) {
            report.data[i] = static_cast<std::uint8_t>(m_random());
            continue;
        }
        // A write command sends what the output buffer holds, so the tool's writes show up in its reports.
        const auto at = command.mappingAddress ? static_cast<std::int64_t>(*command.mappingAddress + i) : 0;
        const bool inBuffer = at >= kOutputBufferFirst && at <= kOutputBufferLast;
        report.data[i] = inBuffer ? m_output[static_cast<std::size_t>(at - kOutputBufferFirst)] : 0;
    }
    return report;
}

std::optional<Bytes> DebugReportGenerator::nextReport() {
    if (!m_running || m_commands.empty() || (m_options.waitForAcknowledge && m_awaiting))
        return std::nullopt;
    const PolledCommand& command = m_commands[m_next];
    m_next = (m_next + 1) % m_commands.size();
    const DebugReport report = makeReport(command);
    m_awaiting = true;
    return m_options.transport == DebugTransport::Ethernet ? report.encodeEthernet() : report.encodeSerial();
}

}  // namespace veltrane::sim
