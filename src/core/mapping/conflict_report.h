#pragma once
// A text report of the bytes that conflict or exchange data locally, with the entries that cover
// them; what the command line prints instead of the dialog.

#include "core/mapping/conflict_rule.h"
#include "core/mapping/detection_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

struct ConflictFinding {
    BufferGrid grid = BufferGrid::Input;
    std::int64_t first = 0;  // grid offsets, [first, end)
    std::int64_t end = 0;
    OccupancyColour colour = OccupancyColour::Conflict;  // Conflict or LocalExchange
    bool strictConflict = false;              // a conflict for the download's check as well
    std::vector<std::size_t> entries;         // detection list indices, in list order

    bool operator==(const ConflictFinding&) const = default;
};

// Runs of red and yellow bytes, split wherever the colour, the strict verdict or the covering
// entries change.
std::vector<ConflictFinding> findConflicts(const DetectionList& list, const OccupancyMaps& maps);

// One line per finding, such as
// "conflict 0001: subnet 1 command 1 (03 Read Holding Register), subnet 1 command 2 (...)".
std::vector<std::string> describeFindings(const std::vector<ConflictFinding>& findings,
                                          const DetectionList& list);

// "subnet 1 command 2 (01 Read Coil Status)", or the status entry's label.
std::string describeEntry(const DetectionEntry& entry);

}  // namespace veltrane
