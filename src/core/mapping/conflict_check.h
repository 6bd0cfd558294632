#pragma once
// The check an Ethernet download runs before it starts.

#include "core/interaction/prompter.h"
#include "core/mapping/conflict_state.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

namespace veltrane {

enum class ConflictCheck {
    Incomplete,  // a command lacks its number of data or start address; the flag was not touched
    NoConflict,
    Conflict,
};

// Validates the commands, counts every entry and sets MappingConflictFound on a conflict by the
// strict rule (a read and a write on the same input bit conflict too). It never clears the flag:
// the caller resets it first when it wants a fresh answer.
ConflictCheck checkMappingConflicts(const Project& project, const ProjectState& state, Prompter& prompter,
                                    MappingConflictState& conflictState);

}  // namespace veltrane
