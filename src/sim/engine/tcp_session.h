#pragma once
// One TCP connection to a simulated gateway: gathers the bytes as they arrive into whole requests
// and answers each in turn.

#include "sim/engine/gateway.h"

#include <cstdint>
#include <span>
#include <vector>

namespace veltrane::sim {

class TcpSession {
public:
    explicit TcpSession(Gateway& gateway) : m_gateway(gateway) {}

    // The responses to the requests completed by these bytes, in order. A request with an unknown
    // code or a body longer than an image ends the session: its response asks to close, and
    // nothing after it is read.
    std::vector<TcpResponse> feed(std::span<const std::uint8_t> bytes);

    bool closed() const { return m_closed; }

private:
    Gateway& m_gateway;
    std::vector<std::uint8_t> m_pending;
    bool m_closed = false;
};

}  // namespace veltrane::sim
