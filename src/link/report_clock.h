#pragma once
// The clocks a report's arrival is read from: the time since the monitor started (monotonic, so a
// change of the system time cannot reorder a trace) and the wall-clock time.

#include "core/debug/report_row.h"

#include <chrono>
#include <cstdint>

namespace veltrane {

class ReportClock {
public:
    ReportClock();
    ReportTime now() const;

private:
    std::chrono::steady_clock::time_point m_started;
};

// How far the local time zone is ahead of UTC at that moment, in minutes.
int utcOffsetMinutes(std::int64_t epochMs);

}  // namespace veltrane
