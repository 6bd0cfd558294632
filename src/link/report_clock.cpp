#include "link/report_clock.h"

#include <ctime>

namespace veltrane {

ReportClock::ReportClock() : m_started(std::chrono::steady_clock::now()) {}

ReportTime ReportClock::now() const {
    using namespace std::chrono;
    ReportTime time;
    time.sinceStartMs = duration_cast<milliseconds>(steady_clock::now() - m_started).count();
    time.wallClockMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return time;
}

int utcOffsetMinutes(std::int64_t epochMs) {
    const std::time_t seconds = static_cast<std::time_t>(epochMs / 1000);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace veltrane
