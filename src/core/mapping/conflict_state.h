#pragma once
// The mapping conflict state of a run. Owned by the application (one per run, not per project) and
// handed by reference to the conflict detection, the downloads and the check before them.

namespace veltrane {

struct MappingConflictState {
    // True when the last colouring of the detection or the last check found a conflict. Editing
    // the project never clears it; a new detection or the Ethernet download does.
    bool MappingConflictFound = false;
};

}  // namespace veltrane
