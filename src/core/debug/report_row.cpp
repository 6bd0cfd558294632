#include "core/debug/report_row.h"

#include "core/common/hex.h"
#include "core/debug/live_table.h"
#include "core/model/text_value.h"

#include <array>

namespace veltrane {

std::vector<std::string> DebugRow::cells(DebugTransport transport) const {
    switch (transport) {
    case DebugTransport::Ethernet:
        return {serialIndex, status, slave, start, data};
    case DebugTransport::Serial:
        return {status, slave, start, data};
    case DebugTransport::None:
        break;
    }
    return {};
}

std::vector<Str> columnTitles(DebugTransport transport) {
    switch (transport) {
    case DebugTransport::Ethernet:
        return {Str::DebugColumnSerialIndex, Str::DebugColumnStatus, Str::DebugColumnSlave, Str::DebugColumnStart,
                Str::DebugColumnData};
    case DebugTransport::Serial:
        return {Str::DebugColumnStatus, Str::DebugColumnSlave, Str::DebugColumnStart, Str::DebugColumnData};
    case DebugTransport::None:
        break;
    }
    return {};
}

std::string statusText(std::uint8_t status) {
    static constexpr std::array<Str, 4> texts = {Str::DebugStatusCorrect, Str::DebugStatusAbnormal,
                                                 Str::DebugStatusError, Str::DebugStatusTimeout};
    return status < texts.size() ? tr(texts[status]) : std::string();
}

std::string exceptionText(std::uint8_t code) {
    static constexpr std::array<Str, 8> texts = {Str::DebugException01, Str::DebugException02, Str::DebugException03,
                                                 Str::DebugException04, Str::DebugException05, Str::DebugException06,
                                                 Str::DebugException07, Str::DebugException08};
    // Gateways report only 1 to 8; anything else has always read as an illegal function code.
    if (code >= 1 && code <= texts.size())
        return tr(texts[code - 1u]);
    return tr(Str::DebugException01);
}

std::string dataColumnText(ByteView data) { return hexBytesText(data, " ", SeparatorAfterLast::Yes); }

std::string saveText(const DebugRow& row, std::uint8_t status, DebugTransport transport) {
    const auto line = [](Str title, const std::string& value) { return tr(title) + '\t' + value + '\n'; };
    if (transport == DebugTransport::Ethernet) {
        const bool timeout = status == report_status::Timeout;
        const std::string none;
        return line(Str::DebugColumnSerialIndex, timeout ? none : row.serialIndex) +
               tr(Str::DebugColumnStatus) + "\t\t" + row.status + '\n' +
               line(Str::DebugColumnSlave, timeout ? none : row.slave) +
               line(Str::DebugColumnStart, timeout ? none : row.start) +
               line(Str::DebugColumnData, timeout ? none : row.data) + '\n';
    }
    if (transport == DebugTransport::Serial)
        return tr(Str::DebugColumnStatus) + "\t\t" + row.status + '\n' + line(Str::DebugColumnSlave, row.slave) +
               line(Str::DebugColumnStart, row.start) + line(Str::DebugColumnData, row.data);
    return {};
}

ReportHandling handleReport(const DebugReport& report, DebugTransport transport) {
    ReportHandling handling;
    if (transport == DebugTransport::Serial && report.status == report_status::Idle) {
        handling.acknowledge = true;
        return handling;
    }
    if (report.status > report_status::Timeout || transport == DebugTransport::None)
        return handling;

    DebugRow row;
    row.status = statusText(report.status);
    const bool ethernet = transport == DebugTransport::Ethernet;
    if (ethernet)
        row.serialIndex = decimalText(report.subnet + 1);
    if (!ethernet || report.status != report_status::Timeout) {
        row.slave = decimalText(report.slave);
        row.start = decimalText(report.start);
        if (report.status == report_status::Exception)
            row.data = ethernet ? decimalText(report.exceptionCode) : exceptionText(report.exceptionCode);
        else if (report.status == report_status::Timeout)
            row.data = tr(Str::DebugNoResponse);
        else {
            row.data = dataColumnText(report.data);
            row.values = registerText(report.data);
        }
    }
    handling.acknowledge = true;
    handling.saveText = saveText(row, report.status, transport);
    handling.row = std::move(row);
    return handling;
}

}  // namespace veltrane
