#pragma once
// The live view of a gateway's commands: one row per (serial index, slave, starting address) with
// the latest outcome and how often each outcome came, next to the scrolling report list.

#include "core/debug/debug_report.h"

#include <array>
#include <chrono>
#include <compare>
#include <optional>
#include <string>
#include <vector>

namespace veltrane {

struct LiveKey {
    int serialIndex = 0;  // subnet + 1 over Ethernet; 0 over a serial line, whose reports name no subnet
    std::uint8_t slave = 0;
    std::uint16_t start = 0;

    friend auto operator<=>(const LiveKey&, const LiveKey&) = default;
    friend bool operator==(const LiveKey&, const LiveKey&) = default;
};

struct LiveRow {
    using Clock = std::chrono::system_clock;

    LiveKey key;
    std::uint8_t lastStatus = report_status::Correct;
    std::uint8_t lastException = 0;  // of the latest exception
    Bytes lastData;                  // of the latest report; empty after an exception or a time-out,
                                     // whose values would be stale
    std::array<std::uint64_t, 4> counts{};  // by status: correct, exception, error, time-out
    Clock::time_point lastReport{};

    std::uint64_t count(std::uint8_t status) const { return status < counts.size() ? counts[status] : 0; }
};

class LiveTable {
public:
    struct Change {
        std::size_t row = 0;    // index into rows()
        bool inserted = false;  // a new row at that index; rows after it moved down by one
    };

    // Takes a report with status 0 to 3; any other changes nothing and returns nothing.
    std::optional<Change> record(const DebugReport& report, DebugTransport transport, LiveRow::Clock::time_point now);
    void reset() { m_rows.clear(); }

    // Sorted by key.
    const std::vector<LiveRow>& rows() const { return m_rows; }

private:
    std::vector<LiveRow> m_rows;
};

// The live-table row a report belongs to.
LiveKey liveKey(const DebugReport& report, DebugTransport transport);

// Data bytes read as big-endian 16-bit register values; an odd last byte is a value of its own.
std::vector<std::uint16_t> registerValues(ByteView data);
// The values in decimal, separated by spaces.
std::string registerText(ByteView data);

}  // namespace veltrane
