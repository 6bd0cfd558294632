#pragma once
// The real clock: monotonic, unaffected by changes of the wall-clock time.

#include "core/link/transport/clock.h"

namespace veltrane {

class SteadyClock : public Clock {
public:
    std::int64_t nowMs() const override;
    void sleepMs(std::int64_t ms) override;
};

}  // namespace veltrane
