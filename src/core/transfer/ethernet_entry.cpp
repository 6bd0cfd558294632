#include "core/transfer/ethernet_entry.h"

#include "core/link/ethernet/discovery_messages.h"
#include "core/strings/strings.h"

namespace veltrane {

bool ethernetEntryAllowed(EthernetOperation operation, const ethernet::GatewaySelection& selection,
                          const ProjectState& state, Prompter& prompter) {
    if (operation == EthernetOperation::Download && !selection.RemoteConfigAllowed) {
        prompter.message(tr(Str::EthRemoteDisabled));
        return false;
    }
    const bool single = state.flags.singleSubnetModel;
    if ((selection.GatewayModelCode == ethernet::model::SingleSubnet && !single) ||
        (selection.GatewayModelCode == ethernet::model::TwoSubnets && single)) {
        prompter.message(tr(Str::EthModelMismatch));
        return false;
    }
    return true;
}

}  // namespace veltrane
