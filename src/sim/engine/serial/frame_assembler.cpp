#include "sim/engine/serial/frame_assembler.h"

namespace veltrane::sim {

void FrameAssembler::feed(ByteView bytes) {
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
}

std::optional<Bytes> FrameAssembler::next() {
    const std::size_t length = serial::completeFrameLength(m_pending);
    if (length == 0)
        return std::nullopt;
    Bytes frame(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(length));
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(length));
    return frame;
}

} // namespace veltrane::sim
