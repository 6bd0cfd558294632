#pragma once
// A clock that moves only when someone sleeps on it or a test advances it.

#include <cstdint>

#include "core/link/transport/clock.h"

namespace veltrane::testing {

class FakeClock : public Clock {
public:
    std::int64_t nowMs() const override { return m_now; }
    void sleepMs(std::int64_t ms) override {
        if (ms > 0)
            m_now += ms;
        ++m_sleeps;
    }
    void advance(std::int64_t ms) { m_now += ms; }
    int sleeps() const { return m_sleeps; }

private:
    std::int64_t m_now = 0;
    int m_sleeps = 0;
};

}  // namespace veltrane::testing
