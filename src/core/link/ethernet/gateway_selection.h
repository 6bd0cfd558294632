#pragma once
// Which gateway the Ethernet operations talk to, and what the last scan learned about it. Owned by
// the application for the whole run (one per GUI run or CLI invocation), never saved.

#include <cstdint>
#include <string>

namespace veltrane::ethernet {

struct GatewaySelection {
    std::string GatewayAddress;
    bool DirectAddressMode = false;
    bool RemoteConfigAllowed = true;
    std::uint32_t GatewayModelCode = 0;
};

// The Ethernet Connection dialog's OK: with the search box set the scan broadcasts; otherwise the
// typed address is queried directly, unless it is blank ("" or "0.0.0.0"), which broadcasts too.
void applyEthernetConnection(GatewaySelection& selection, bool useSearch, const std::string& typedAddress);

}  // namespace veltrane::ethernet
