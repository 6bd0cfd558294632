#pragma once
// The completeness test that both the mapping calculation and the download's conflict check run
// first: every command of a Modbus-master subnet needs a number of data and a start address.

#include "core/interaction/prompter.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane {

// Shows the first complaint and returns false; returns true when every command is complete.
bool validateMappedCommands(const Project& project, const ProjectState& state, Prompter& prompter);

// The subnets that take part in mapping: the first SubnetCount records whose protocol is
// "Modbus Master". Counts are clamped so that a damaged project never indexes past the slots.
int mappedSubnetCount(const ProjectState& state);
bool isModbusMasterSubnet(const CONFIG& subnet);
int usedCommands(const CONFIG& subnet);
int usedNodes(const CONFIG& subnet);

}  // namespace veltrane
