#pragma once
// The Ethernet endpoints of this run: the gateway's defaults, unless the environment moves them
// (VELTRANE_GATEWAY_UDP_PORT, VELTRANE_GATEWAY_TCP_PORT, VELTRANE_SCAN_LOCAL_PORT,
// VELTRANE_BROADCAST_ADDRESS). Tests use it to keep a simulated network apart from a real one.

#include "core/link/ethernet/ethernet_endpoints.h"

namespace veltrane {

ethernet::EthernetEndpoints endpointsFromEnvironment();

}  // namespace veltrane
