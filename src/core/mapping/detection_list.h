#pragma once
// The detection list: one entry per command of the four subnets (and one for the command-status
// bytes when the project reserves any), each counted into the occupancy maps while checked.

#include "core/mapping/occupancy_maps.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

inline constexpr std::int32_t kCommandStatusCode = 20;

struct DetectionEntry {
    // The function code (or 20 for the command-status bytes); negated while the entry is unchecked.
    std::int32_t code = 0;
    // Where the entry comes from: 1-based subnet and command slot; both 0 for the status entry.
    int subnet = 0;
    int command = 0;
    // Taken when the list is built, so that unchecking removes exactly what checking added.
    Footprint footprint;

    bool checked() const { return code > 0; }
    bool isCommandStatus() const { return subnet == 0; }
};

using DetectionList = std::vector<DetectionEntry>;

// The number of command-status bytes at the start of the input buffer; 0 when there are none.
std::int32_t commandStatusBytes(const Project& project, const ProjectState& state);

// The bits a command uses by the detection's rule (bit-exact; "Low Byte" registers take one byte).
Footprint detectionFootprint(const INSTRUCTION& command, const ProjectState& state);

DetectionList buildDetectionList(const Project& project, const ProjectState& state);

// Clears both maps and counts every checked entry.
void countOccupancy(const DetectionList& list, OccupancyMaps& maps);

// Sets the entry's code to newCode and moves its bits in or out of the counts. Giving an entry the
// state it already has changes nothing, so the counts always equal those of the checked entries.
void toggleDetectionEntry(DetectionList& list, OccupancyMaps& maps, std::size_t index, std::int32_t newCode);

// The list label of an entry's code; empty for codes that get no line.
const std::string& detectionLabel(const DetectionEntry& entry);

}  // namespace veltrane
