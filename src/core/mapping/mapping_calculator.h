#pragma once
// Calculate Mapping Address: packs the commands of every Modbus-master subnet, grouped by node,
// one after another from the start of their buffer.

#include "core/interaction/prompter.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>

namespace veltrane {

class Editor;

enum class MappingOutcome {
    Cancelled,  // the question was not answered with OK; nothing changed
    Incomplete,  // a command lacks its number of data or start address; nothing changed
    OutOfRange,  // a command did not fit its buffer; the commands placed before it keep their values
    Done,
};

// Asks, validates and rewrites mappingAddress, mappingBit (only an empty one of a bit command) and
// byteCount. Does not touch ProjectModified and does not rebuild any tree.
MappingOutcome calculateMappingAddresses(Project& project, const ProjectState& state, Prompter& prompter);

// The command behind menu, toolbar and Ctrl+M: the calculation on the editor's project, then the
// tree rebuilt and expanded when it succeeded. ProjectModified is set when any value changed.
MappingOutcome runCalculateMappingAddress(Editor& editor);

// Bytes of buffer a command takes by the calculation's rule; never negative.
std::int64_t mappingFootprint(const INSTRUCTION& command);

}  // namespace veltrane
