#include "core/debug/trace_csv.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace veltrane {

std::string traceCsvHeader() { return "time_ms,wall_clock,serial_index,status,slave,start,data,values\n"; }

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string isoWallClock(std::int64_t epochMs, int utcOffsetMinutes) {
    using namespace std::chrono;
    const sys_time<milliseconds> local{milliseconds(epochMs) + minutes(utcOffsetMinutes)};
    const sys_days day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss<milliseconds> time{local - day};
    const int offset = std::abs(utcOffsetMinutes);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03d%c%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()),
                  utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::string traceCsvLine(const DebugRow& row, int utcOffsetMinutes) {
    std::string_view data = row.data;
    while (!data.empty() && data.back() == ' ')
        data.remove_suffix(1);
    const std::string wallClock = isoWallClock(row.time.wallClockMs, utcOffsetMinutes);
    std::string line = std::to_string(row.time.sinceStartMs);
    for (const std::string_view field : {std::string_view(wallClock),
                                         std::string_view(row.serialIndex), std::string_view(row.status),
                                         std::string_view(row.slave), std::string_view(row.start), data,
                                         std::string_view(row.values)}) {
        line += ',';
        line += csvField(field);
    }
    line += '\n';
    return line;
}

}  // namespace veltrane
