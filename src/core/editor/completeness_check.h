#pragma once
// The check a serial download runs first: every value the gateway needs is filled in, the
// DeviceNet sizes are a combination the gateway accepts, and every command of subnet 1 lies
// inside the fieldbus buffers the project declares.

#include "core/interaction/prompter.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

struct CompletenessResult {
    bool complete = true;
    std::string report;  // the one message to show; empty when the failure has none of its own
};

// Brings the byte counts of subnet 1's commands up to date (the range test needs them) and
// returns the first failure, if any. Nothing else in the project changes.
CompletenessResult checkConfiguration(Project& project, const ProjectState& state);

// The same, showing the report (when there is one) through the prompter.
bool checkConfigurationComplete(Project& project, const ProjectState& state, Prompter& prompter);

}  // namespace veltrane
