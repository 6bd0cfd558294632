#pragma once
// How the debug monitor reaches a gateway, and the small value types its messages share.

#include "core/model/device_profile.h"
#include "core/model/project_state.h"

#include <cstdint>
#include <span>
#include <vector>

namespace veltrane {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// The device type's debug link (DebugTransport is one of its profile's columns); serial for any
// project with the extended frame model.
DebugTransport debugTransportFor(const ProjectState& state);

// An IPv4 sender or receiver: the address as a host-order number (127.0.0.1 is 0x7F000001).
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

inline constexpr std::uint16_t kDebugGatewayPort = 18802;  // the gateway listens and reports here
inline constexpr std::uint16_t kDebugLocalPort = 10002;    // the tool binds this port

// The gateway's output buffer, the only place "Send" may write.
inline constexpr std::uint16_t kOutputBufferFirst = 0x4000;
inline constexpr std::uint16_t kOutputBufferLast = 0x41EB;

}  // namespace veltrane
