#pragma once

#include "core/model/project_kind.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane {

// Writes the defaults of a new project into the fieldbus record and all four subnets, for the
// device type and model switches as they stand. Delimiters and the doubleFaultClear of subnets 2 to
// 4 are left as they were.
void applyProjectDefaults(Project& project, const ProjectState& state);

// The new-project initialisation: sets the kind's device type and model switches (by default an
// EtherNet/IP gateway without switches) and two subnets, applies the defaults and sets the fieldbus
// type. With any switch set the format version becomes the current one, so that the file stores
// every switch and reads them back; otherwise it stays as it is. The tree is built by the caller.
void initializeNewProject(Project& project, ProjectState& state, const NewProjectKind& kind = {});

// The fieldbus type text of a device type; empty for a type that has none (2 and unknown values).
const std::string& fieldbusTypeFor(std::int32_t deviceType);

// The default filterOrSwap of a new command.
const std::string& defaultFilterOrSwap(const ProjectState& state);

}  // namespace veltrane
