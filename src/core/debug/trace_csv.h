#pragma once
// The trace of a debug session as CSV: a header line, then one line per report, written alike by
// the window's "Save Trace" and `veltrane-cli monitor --csv`. Fields are quoted only where a comma,
// a quote or a line break needs it.

#include "core/debug/report_row.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrane {

// "time_ms,wall_clock,serial_index,status,slave,start,data,values" and a line break.
std::string traceCsvHeader();
// One report: its times, the texts of its row (the data without the trailing space the list shows)
// and its 16-bit values. The wall clock is shown `utcOffsetMinutes` ahead of UTC.
std::string traceCsvLine(const DebugRow& row, int utcOffsetMinutes);
// ISO 8601 with milliseconds and the offset: 2026-12-11T09:14:03.127+00:00.
std::string isoWallClock(std::int64_t epochMs, int utcOffsetMinutes);
// The text as one CSV field: as it is, or in quotes with its quotes doubled.
std::string csvField(std::string_view text);

}  // namespace veltrane
