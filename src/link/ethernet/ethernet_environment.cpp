#include "link/ethernet/ethernet_environment.h"

#include <cstdlib>
#include <string>

namespace veltrane {

namespace {

void readPort(const char* name, std::uint16_t& port) {
    const char* value = std::getenv(name);
    if (!value)
        return;
    const long number = std::strtol(value, nullptr, 10);
    if (number > 0 && number < 65536)
        port = static_cast<std::uint16_t>(number);
}

}  // namespace

ethernet::EthernetEndpoints endpointsFromEnvironment() {
    ethernet::EthernetEndpoints endpoints;
    readPort("VELTRANE_GATEWAY_UDP_PORT", endpoints.gatewayUdpPort);
    readPort("VELTRANE_GATEWAY_TCP_PORT", endpoints.gatewayTcpPort);
    readPort("VELTRANE_SCAN_LOCAL_PORT", endpoints.localUdpPort);
    if (const char* broadcast = std::getenv("VELTRANE_BROADCAST_ADDRESS"))
        endpoints.broadcastAddress = broadcast;
    return endpoints;
}

}  // namespace veltrane
