#include "core/link/ethernet/gateway_selection.h"

namespace veltrane::ethernet {

void applyEthernetConnection(GatewaySelection& selection, bool useSearch, const std::string& typedAddress) {
    if (useSearch) {
        selection.GatewayAddress.clear();
        selection.DirectAddressMode = false;
        return;
    }
    selection.GatewayAddress = typedAddress;
    selection.DirectAddressMode = !typedAddress.empty() && typedAddress != "0.0.0.0";
}

}  // namespace veltrane::ethernet
