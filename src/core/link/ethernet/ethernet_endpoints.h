#pragma once
// Where the Ethernet operations send and listen. The defaults are the gateway's; tests move them
// (other ports, a loopback broadcast) so that nothing they do can reach a real network.

#include "core/link/ethernet/message_header.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::ethernet {

struct EthernetEndpoints {
    std::string broadcastAddress = "255.255.255.255";
    std::uint16_t gatewayUdpPort = kGatewayPort;
    std::uint16_t gatewayTcpPort = kGatewayPort;
    std::uint16_t localUdpPort = kScanLocalPort;
};

}  // namespace veltrane::ethernet
