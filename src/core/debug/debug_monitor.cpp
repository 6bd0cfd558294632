#include "core/debug/debug_monitor.h"

#include <algorithm>

namespace veltrane {

DebugMonitor::DebugMonitor(DebugTransport transport, std::optional<Ipv4Endpoint> gateway, std::size_t historyLimit)
    : m_transport(transport), m_gateway(gateway), m_historyLimit(std::max<std::size_t>(historyLimit, 1)) {}

DebugMonitor DebugMonitor::ethernet(Ipv4Endpoint gateway, std::size_t historyLimit) {
    return DebugMonitor(DebugTransport::Ethernet, gateway, historyLimit);
}

DebugMonitor DebugMonitor::serial(std::size_t historyLimit) {
    return DebugMonitor(DebugTransport::Serial, std::nullopt, historyLimit);
}

Bytes DebugMonitor::encode(const DebugCommand& command) const {
    return m_transport == DebugTransport::Ethernet ? command.encodeEthernet() : command.encodeSerial();
}

MonitorStep DebugMonitor::receiveDatagram(ByteView datagram, const Ipv4Endpoint& sender, ReportTime arrived) {
    MonitorStep step;
    step.time = arrived;
    if (m_transport != DebugTransport::Ethernet || !m_gateway || sender != *m_gateway) {
        step.outcome = MonitorStep::Outcome::Foreign;
        ++m_counts.foreign;
        return step;
    }
    return accept(DebugReport::decodeEthernet(datagram), arrived);
}

std::vector<MonitorStep> DebugMonitor::receiveSerial(ByteView bytes, ReportTime arrived) {
    std::vector<MonitorStep> steps;
    for (const Bytes& report : m_assembler.feed(bytes))
        steps.push_back(receiveSerialReport(report, arrived));
    return steps;
}

std::optional<MonitorStep> DebugMonitor::serialQuiet(ReportTime arrived) {
    if (!m_assembler.pending())
        return std::nullopt;
    const Bytes rest = m_assembler.flush();
    return receiveSerialReport(rest, arrived);
}

MonitorStep DebugMonitor::receiveSerialReport(ByteView report, ReportTime arrived) {
    if (m_transport != DebugTransport::Serial) {
        ++m_counts.foreign;
        MonitorStep step;
        step.outcome = MonitorStep::Outcome::Foreign;
        step.time = arrived;
        return step;
    }
    return accept(DebugReport::decodeSerial(report), arrived);
}

MonitorStep DebugMonitor::accept(Result<DebugReport> decoded, ReportTime arrived) {
    MonitorStep step;
    step.time = arrived;
    if (!decoded) {
        // Treated like an unknown status: no answer, so the gateway's next report is awaited.
        step.outcome = MonitorStep::Outcome::Malformed;
        ++m_counts.malformed;
        return step;
    }
    ReportHandling handling = handleReport(*decoded, m_transport);
    if (!handling.acknowledge) {
        step.outcome = MonitorStep::Outcome::Ignored;
        ++m_counts.ignored;
        return step;
    }

    ++m_counts.acknowledged;
    if (m_pendingWrite) {
        step.reply = encode(DebugCommand::writeTo(std::move(*m_pendingWrite)));
        step.wroteData = true;
        m_pendingWrite.reset();
    } else {
        step.reply = encode(DebugCommand::acknowledge());
    }
    step.saveText = std::move(handling.saveText);
    step.report = std::move(decoded).value();
    step.outcome = MonitorStep::Outcome::Acknowledged;
    if (handling.row && !m_paused) {
        handling.row->time = arrived;
        while (m_rows.size() >= m_historyLimit) {
            m_rows.pop_front();
            ++step.droppedRows;
        }
        m_rows.push_back(*handling.row);
        step.row = std::move(handling.row);
        step.outcome = MonitorStep::Outcome::Shown;
        ++m_counts.shown;
    }
    return step;
}

void DebugMonitor::setPaused(bool paused) {
    if (m_paused && !paused)
        m_rows.clear();
    m_paused = paused;
}

Status DebugMonitor::queueWrite(WritePayload payload) {
    if (m_transport == DebugTransport::None || encode(DebugCommand::writeTo(payload)).empty())
        return makeError(ErrorKind::Refused, tr(Str::DebugFormatIncorrect));
    m_pendingWrite = std::move(payload);
    return {};
}

}  // namespace veltrane
