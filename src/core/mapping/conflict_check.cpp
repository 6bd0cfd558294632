#include "mapping/conflict_check.h"

#include "mapping/command_validation.h"
#include "mapping/conflict_rule.h"
#include "mapping/detection_list.h"

namespace veltrane {

ConflictCheck CheckMappingConflicts(const Project& project, const ProjectState& state, Prompter& prompter,
                                    MappingConflictState& conflictState) {
    if (!validateMappedCommands(project, state, prompter))
        return ConflictCheck::Incomplete;
    OccupancyMaps maps;
    CountOccupancy(BuildDetectionList(project, state), maps);
    if (!anyStrictConflict(maps))
        return ConflictCheck::NoConflict;
    conflictState.MappingConflictFound = true;
    return ConflictCheck::Conflict;
}

}  // namespace veltrane
