#pragma once
// The check a serial download runs first: every value the gateway needs is filled in, the
// DeviceNet sizes are a combination the gateway accepts, and every command of subnet 1 lies
// inside the fieldbus buffers the project declares.

#include "core/interaction/prompter.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>
#include <optional>
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

// The bytes each fieldbus buffer exchanges as the project declares them: the sizes chosen (none
// while a size is not filled in), a model's fixed sizes, or what the PROFIBUS configuration data
// adds up to (valid false when that data does not parse). Nothing for gateways whose fieldbus is
// not sized this way (EtherNet/IP, the four-subnet gateway).
struct FieldbusBufferSizes {
    std::optional<std::int64_t> input;
    std::optional<std::int64_t> output;
    bool valid = true;
};
std::optional<FieldbusBufferSizes> fieldbusBufferSizes(const Project& project, const ProjectState& state);

}  // namespace veltrane
