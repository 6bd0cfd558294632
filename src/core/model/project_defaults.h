#pragma once

#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane {

// Writes the defaults of a new project into the fieldbus record and all four subnets, for the
// device type and model switches as they stand. Delimiters and the doubleFaultClear of subnets 2 to
// 4 are left as they were.
void applyProjectDefaults(Project& project, const ProjectState& state);

// The new-project initialisation: clears the model switches, makes an EtherNet/IP gateway with two
// subnets, applies the defaults and sets the fieldbus type. The tree is built by the caller.
void initializeNewProject(Project& project, ProjectState& state);

// The fieldbus type text of a device type; empty for a type that has none (2 and unknown values).
const std::string& fieldbusTypeFor(std::int32_t deviceType);

// The default filterOrSwap of a new command.
const std::string& defaultFilterOrSwap(const ProjectState& state);

}  // namespace veltrane
