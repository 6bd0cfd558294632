#pragma once
// Every field of a project and its process-wide values, as JSON or as readable text.

#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>

namespace veltrane::cli {

// Keys are the field names of the records and values; subnets appear under "CONFIG", only the
// used node and command slots are listed.
std::string projectJson(const Project& project, const ProjectState& state);

std::string projectText(const Project& project, const ProjectState& state);

}  // namespace veltrane::cli
