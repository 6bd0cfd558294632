#include "core/mapping/command_validation.h"
#include "core/model/subnet_protocol.h"

#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

int mappedSubnetCount(const ProjectState& state) {
    return std::clamp(state.SubnetCount, 0, kSubnetSlots);
}

bool isModbusMasterSubnet(const CONFIG& subnet) {
    return isModbusMaster(subnet);
}

int usedCommands(const CONFIG& subnet) {
    return std::clamp(subnet.commandCount, 0, kMaxCommands);
}

int usedNodes(const CONFIG& subnet) {
    return std::clamp(subnet.nodeCount, 0, kMaxNodes);
}

bool validateMappedCommands(const Project& project, const ProjectState& state, Prompter& prompter) {
    for (int k = 0; k < mappedSubnetCount(state); ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        if (!isModbusMasterSubnet(subnet))
            continue;
        for (int i = 0; i < usedCommands(subnet); ++i) {
            const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(i)];
            Str complaint = Str::Count_;
            if (command.dataCount.empty())
                complaint = Str::MappingDataCountMissing;
            else if (command.startAddress.empty())
                complaint = Str::MappingStartAddressMissing;
            if (complaint != Str::Count_) {
                prompter.message(
                    format(complaint, {decimalText(i + 1), decimalText(k + 1), command.functionCode}));
                return false;
            }
        }
    }
    return true;
}

}  // namespace veltrane
