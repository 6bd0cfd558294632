#pragma once
// Cuts the serial byte stream into reports. A serial port hands over bytes as they trickle in, so a
// report may arrive in pieces; the gateway sends nothing more until it is answered, so a quiet line
// ends a report whose length its first bytes do not tell.

#include "core/debug/debug_transport.h"

#include <vector>

namespace veltrane {

class SerialReportAssembler {
public:
    // Appends received bytes and returns every report they complete, oldest first.
    std::vector<Bytes> feed(ByteView bytes);
    // Call when the line has been quiet for a while: whatever is left, as one report (empty when
    // nothing is left).
    Bytes flush();
    bool pending() const { return !m_buffer.empty(); }

private:
    Bytes m_buffer;
};

}  // namespace veltrane
