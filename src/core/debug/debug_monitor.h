#pragma once
// The debug monitor's exchange without any I/O: the caller feeds it what the socket or serial port
// received and sends back what it returns. Every report is answered as it arrives; the shown rows
// form a bounded history, newest last.

#include "core/common/ipv4.h"
#include "core/debug/debug_command.h"
#include "core/debug/debug_report.h"
#include "core/debug/report_row.h"
#include "core/debug/serial_report_assembler.h"

#include <deque>
#include <optional>
#include <string>

namespace veltrane {

inline constexpr std::size_t kDefaultDebugHistory = 1000;

// What one received message led to.
struct MonitorStep {
    enum class Outcome {
        Shown,         // acknowledged and appended to the rows
        Acknowledged,  // acknowledged, not shown (paused, or the serial idle status)
        Ignored,       // a status that is not known: dropped, not acknowledged
        Malformed,     // bytes without a report's layout: dropped, not acknowledged
        Foreign,       // a datagram from someone other than the gateway: dropped
    };

    Outcome outcome = Outcome::Ignored;
    std::optional<DebugReport> report;  // Shown and Acknowledged: the report
    ReportTime time;                    // when the message arrived
    std::optional<DebugRow> row;        // Shown: the row appended to rows()
    std::size_t droppedRows = 0;        // Shown: oldest rows removed from the front of rows() first
    std::string saveText;               // lines for "Save Content"; empty when nothing is saved
    Bytes reply;                        // to send back now; empty when nothing is sent
    bool wroteData = false;             // the reply is the pending write, sent instead of the acknowledgement
};

struct MonitorCounts {
    std::uint64_t shown = 0;
    std::uint64_t acknowledged = 0;  // every answered report, shown or not
    std::uint64_t ignored = 0;
    std::uint64_t malformed = 0;
    std::uint64_t foreign = 0;
};

class DebugMonitor {
public:
    // Ethernet: reports are taken only from `gateway` (its address and port 18802).
    static DebugMonitor ethernet(Ipv4Endpoint gateway, std::size_t historyLimit = kDefaultDebugHistory);
    static DebugMonitor serial(std::size_t historyLimit = kDefaultDebugHistory);

    DebugTransport transport() const { return m_transport; }

    // Ethernet: the messages sent when the dialog opens and when it closes.
    Bytes startMessage() const { return DebugCommand::start().encodeEthernet(); }
    Bytes stopMessage() const { return DebugCommand::stop().encodeEthernet(); }

    // One received datagram, who sent it and when it arrived.
    MonitorStep receiveDatagram(ByteView datagram, const Ipv4Endpoint& sender, ReportTime arrived = {});
    // Bytes read from the serial port, in whatever pieces they came: one step per completed report.
    std::vector<MonitorStep> receiveSerial(ByteView bytes, ReportTime arrived = {});
    // The serial line has been quiet: bytes still waiting are taken as one report, which arrived
    // with the last of them.
    std::optional<MonitorStep> serialQuiet(ReportTime arrived = {});
    // One whole serial report.
    MonitorStep receiveSerialReport(ByteView report, ReportTime arrived = {});

    // "Stop Displaying": while paused, reports are still answered and saved but no rows are added.
    // Resuming empties the rows.
    void setPaused(bool paused);
    bool paused() const { return m_paused; }

    // "Send": the next answered report gets this write instead of its acknowledgement. A later call
    // replaces a write still waiting. Refused when the transport cannot carry it.
    Status queueWrite(WritePayload payload);
    void cancelWrite() { m_pendingWrite.reset(); }
    bool writePending() const { return m_pendingWrite.has_value(); }

    const std::deque<DebugRow>& rows() const { return m_rows; }
    std::size_t historyLimit() const { return m_historyLimit; }
    const MonitorCounts& counts() const { return m_counts; }

private:
    DebugMonitor(DebugTransport transport, std::optional<Ipv4Endpoint> gateway, std::size_t historyLimit);
    MonitorStep accept(Result<DebugReport> decoded, ReportTime arrived);
    Bytes encode(const DebugCommand& command) const;

    DebugTransport m_transport;
    std::optional<Ipv4Endpoint> m_gateway;
    std::size_t m_historyLimit;
    std::deque<DebugRow> m_rows;
    bool m_paused = false;
    std::optional<WritePayload> m_pendingWrite;
    SerialReportAssembler m_assembler;
    MonitorCounts m_counts;
};

}  // namespace veltrane
