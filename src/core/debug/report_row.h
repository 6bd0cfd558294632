#pragma once
// What a report becomes for the user: the row of the report list, the lines saved by "Save Content",
// and whether the gateway gets an acknowledgement.

#include "core/debug/debug_report.h"
#include "core/strings/strings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

// When a report arrived: milliseconds since the monitor started, and the wall clock then.
struct ReportTime {
    std::int64_t sinceStartMs = 0;
    std::int64_t wallClockMs = 0;
};

// The texts of one list row. Fields that the row does not show are empty (the serial index over a
// serial line; slave, address and data of an Ethernet time-out).
struct DebugRow {
    std::string serialIndex;
    std::string status;
    std::string slave;
    std::string start;
    std::string data;
    ReportTime time;

    // In the order of columnTitles(transport).
    std::vector<std::string> cells(DebugTransport transport) const;

    friend bool operator==(const DebugRow&, const DebugRow&) = default;
};

struct ReportHandling {
    bool acknowledge = false;      // the gateway gets an acknowledgement (or a pending write)
    std::optional<DebugRow> row;   // the row to show; none for idle and ignored reports
    std::string saveText;          // the lines to append to the saved file; empty: nothing to save
};

// Statuses 0 to 3 are shown, saved and acknowledged; the serial idle status is only acknowledged;
// any other status is ignored and not acknowledged, so the gateway's next report is awaited.
ReportHandling handleReport(const DebugReport& report, DebugTransport transport);

// The list's columns for a transport; none without one.
std::vector<Str> columnTitles(DebugTransport transport);
// The text of a status 0 to 3; empty for any other.
std::string statusText(std::uint8_t status);
// A Modbus exception code as a serial row shows it.
std::string exceptionText(std::uint8_t code);
// Data bytes as two lower-case hexadecimal digits and a space each ("00 01 ").
std::string dataColumnText(ByteView data);

// The lines "Save Content" appends for a row. Every line ends with "\n"; the block ends with an
// empty line over Ethernet. Ethernet time-outs save the status alone.
std::string saveText(const DebugRow& row, std::uint8_t status, DebugTransport transport);

}  // namespace veltrane
