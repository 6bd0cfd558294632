#pragma once
// How the debug monitor reaches a gateway, and the small value types its messages share.

#include "core/common/bytes.h"
#include "core/model/project_state.h"

#include <cstdint>

namespace veltrane {

enum class DebugTransport {
    None,      // the project's gateway offers no debug link: no columns, nothing received
    Ethernet,  // UDP datagrams with the 8-byte message header
    Serial,    // raw bytes on the serial port, no header
};

// Ethernet for the EtherNet/IP gateway without the extended frame model; serial for device type 3
// or any project with the extended frame model; nothing for the rest.
DebugTransport debugTransportFor(const ProjectState& state);

// An IPv4 sender or receiver: the address as a host-order number (127.0.0.1 is 0x7F000001).
struct Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

inline constexpr std::uint16_t kDebugGatewayPort = 18802;  // the gateway listens and reports here
inline constexpr std::uint16_t kDebugLocalPort = 10002;    // the tool binds this port

}  // namespace veltrane
