#pragma once
// Time as the link layer sees it. Exchanges measure their bounds and pace their polling only
// through this, so a fake clock makes every time-out deterministic in tests.

#include <cstdint>

namespace veltrane {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a monotonic scale; only differences mean anything.
    virtual std::int64_t nowMs() const = 0;
    // Blocks the calling thread for about the given time (a fake clock just moves on).
    virtual void sleepMs(std::int64_t ms) = 0;
};

}  // namespace veltrane
