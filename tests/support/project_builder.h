#pragma once
// Small helpers that build projects in memory for the mapping tests.

#include "core/model/project_defaults.h"
#include "core/model/project_state.h"
#include "core/model/records.h"
#include "core/strings/strings.h"

#include <string>

namespace veltrane::testing {

struct CommandFields {
    std::string functionCode;
    std::string dataCount;
    std::string mappingAddress = "";
    std::string mappingBit = "";
    std::string filterOrSwap = "No Swap";
    std::string startAddress = "0";
};

class ProjectBuilder {
public:
    ProjectBuilder() { initializeNewProject(project, state); }

    // Adds a node with the given slave address to subnet k (1-based); returns its slot.
    int node(int k, const std::string& address) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(k - 1)];
        NodeEntry& entry = subnet.nodes[static_cast<std::size_t>(subnet.nodeCount)];
        entry.address = address;
        entry.name = "Node-" + address;
        return ++subnet.nodeCount;
    }

    // Adds a command of node slot n to subnet k; returns its 1-based slot.
    int command(int k, int n, const CommandFields& fields) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(k - 1)];
        INSTRUCTION& c = subnet.commands[static_cast<std::size_t>(subnet.commandCount)];
        c.nodeIndex = n;
        c.slaveAddress = subnet.nodes[static_cast<std::size_t>(n - 1)].address;
        c.functionCode = fields.functionCode;
        c.dataCount = fields.dataCount;
        c.startAddress = fields.startAddress;
        c.mappingAddress = fields.mappingAddress;
        c.mappingBit = fields.mappingBit;
        c.filterOrSwap = fields.filterOrSwap;
        c.checkType = "CRC";
        return ++subnet.commandCount;
    }

    INSTRUCTION& at(int k, int i) {
        return project.subnets[static_cast<std::size_t>(k - 1)].commands[static_cast<std::size_t>(i - 1)];
    }

    Project project;
    ProjectState state;
};

}  // namespace veltrane::testing
