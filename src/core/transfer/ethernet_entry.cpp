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
        // Named by what sets them apart, the number of subnets, and by the model code the scan read.
        const auto product = [](bool oneSubnet) {
            return tr(oneSubnet ? Str::EthModelSingleSubnet : Str::EthModelTwoSubnets);
        };
        const auto subnets = [](bool oneSubnet) { return tr(oneSubnet ? Str::EthKindOneSubnet : Str::EthKindTwoSubnets); };
        prompter.messageWithDetail(
            tr(Str::EthModelMismatch),
            format(Str::EthModelMismatchDetail, {product(single), subnets(single), product(!single),
                                                 std::to_string(selection.GatewayModelCode)}));
        return false;
    }
    return true;
}

}  // namespace veltrane
