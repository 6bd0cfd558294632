#include "core/mapping/conflict_check.h"

#include "core/mapping/command_validation.h"
#include "core/mapping/conflict_rule.h"
#include "core/mapping/detection_list.h"

namespace veltrane {

ConflictCheck checkMappingConflicts(const Project& project, const ProjectState& state, Prompter& prompter,
                                    MappingConflictState& conflictState) {
    if (!validateMappedCommands(project, state, prompter))
        return ConflictCheck::Incomplete;
    OccupancyMaps maps;
    countOccupancy(buildDetectionList(project, state), maps);
    if (!anyStrictConflict(maps))
        return ConflictCheck::NoConflict;
    conflictState.MappingConflictFound = true;
    return ConflictCheck::Conflict;
}

}  // namespace veltrane
