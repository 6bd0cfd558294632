#pragma once
// Where the gateways listen and where the tool binds, and the debug serial line's fixed rate.
// Tests and the simulator move the Ethernet ports (see EthernetEndpoints).

#include <cstdint>

namespace veltrane {

inline constexpr std::uint16_t kGatewayPort = 18801;       // UDP discovery and the TCP exchange
inline constexpr std::uint16_t kScanLocalPort = 10002;     // the tool's end of a scan
inline constexpr std::uint16_t kDebugGatewayPort = 18802;  // the gateway listens and reports here
inline constexpr std::uint16_t kDebugLocalPort = 10002;    // the tool binds this port while debugging

// The gateway's serial debug line: 8 data bits, no parity, at this rate.
inline constexpr std::int32_t kDebugBaudRate = 115200;

}  // namespace veltrane
