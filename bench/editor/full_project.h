#pragma once
// The largest project the editor holds: both subnets with 48 nodes and 48 commands, every command
// complete enough for Calculate Mapping Address.

#include "core/document/document.h"

#include <string>

namespace veltrane::bench {

inline void fillFullProject(Document& document) {
    for (int k = 0; k < 2; ++k) {
        CONFIG& subnet = document.project().subnets[static_cast<std::size_t>(k)];
        subnet.nodeCount = kMaxNodes;
        subnet.commandCount = kMaxCommands;
        for (int n = 0; n < kMaxNodes; ++n) {
            const auto slot = static_cast<std::size_t>(n);
            subnet.nodes[slot].name = "Node-" + std::to_string(n + 1);
            subnet.nodes[slot].address = std::to_string(n + 1);
            INSTRUCTION& command = subnet.commands[slot];
            command.functionCode = n % 2 == 0 ? "3" : "16";
            command.slaveAddress = subnet.nodes[slot].address;
            command.startAddress = "0";
            command.dataCount = "2";
            command.nodeIndex = n + 1;
        }
    }
}

}  // namespace veltrane::bench
