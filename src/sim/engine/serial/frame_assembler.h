#pragma once
// Bytes arrive on a pseudo-terminal in pieces; this gathers them into whole frames.

#include "core/link/serial/serial_frame.h"

#include <optional>

namespace veltrane::sim {

class FrameAssembler {
public:
    void feed(ByteView bytes);

    // The next complete frame (checksum unchecked: the engine decides what a bad one gets).
    std::optional<Bytes> next();

    // Drops a partial frame, for example after a pause longer than any frame takes to arrive, so
    // that one garbled length byte cannot stall every later request.
    void clear() { m_pending.clear(); }
    std::size_t pending() const { return m_pending.size(); }

private:
    Bytes m_pending;
};

} // namespace veltrane::sim
