#include "core/mapping/mapping_calculator.h"

#include "core/editor/completeness_check.h"
#include "core/editor/editor.h"
#include "core/mapping/buffer_layout.h"
#include "core/mapping/byte_count_rules.h"
#include "core/mapping/command_validation.h"
#include "core/model/function_code.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

std::int64_t mappingFootprint(const INSTRUCTION& command) {
    const FunctionCodeInfo& kind = functionCodeInfo(command.functionCode);
    const std::int64_t count = decimalValue(command.dataCount);
    std::int64_t bytes = 0;
    if (kind.bits)
        bytes = mappedByteCount(decimalValue(command.mappingBit), count);
    else if (kind.supported)
        bytes = 2 * count;
    // A negative count would move the cursor backwards and hand later commands addresses that
    // overlap or lie before their buffer.
    return std::max<std::int64_t>(bytes, 0);
}

namespace {

struct Cursor {
    std::int64_t input = kInputBufferFirst;
    std::int64_t output = kOutputBufferFirst;
};

bool startOutOfRange(bool input, std::int64_t cursor) {
    return input ? cursor > kInputBufferLast : (cursor < kOutputBufferFirst || cursor > kOutputBufferLast);
}

bool endOutOfRange(bool input, std::int64_t cursor) {
    return cursor - 1 > (input ? kInputBufferLast : kOutputBufferLast);
}

// Names the buffer a stopped command did not fit and the address it would have taken.
std::string bufferDetail(Str pattern, bool input, std::int64_t address) {
    const BufferBounds buffer = bufferBounds(input);
    return format(pattern, {tr(input ? Str::BufferInput : Str::BufferOutput), decimalText(buffer.size()),
                            bufferAddressText(buffer.first), bufferAddressText(buffer.last),
                            bufferAddressText(address)});
}

// The calculation packs into the whole buffers; the fieldbus exchanges only the sizes the project
// sets, and a download refuses what lies past them. Said now, while the user is mapping.
void warnPastFieldbusSizes(const Project& project, const ProjectState& state, const Cursor& cursor,
                           Prompter& prompter) {
    const std::optional<FieldbusBufferSizes> sizes = fieldbusBufferSizes(project, state);
    if (!sizes || !sizes->valid)
        return;
    const std::int64_t inputNeeded = cursor.input - kInputBufferFirst;
    const std::int64_t outputNeeded = cursor.output - kOutputBufferFirst;
    std::string detail;
    if (sizes->input && inputNeeded > *sizes->input)
        detail += format(Str::MappingInputExceeds, {decimalText(inputNeeded), decimalText(*sizes->input)}) + '\n';
    if (sizes->output && outputNeeded > *sizes->output)
        detail += format(Str::MappingOutputExceeds, {decimalText(outputNeeded), decimalText(*sizes->output)}) + '\n';
    if (detail.empty())
        return;
    prompter.messageWithDetail(tr(Str::MappingExceedsFieldbus), detail + tr(Str::MappingExceedsAdvice));
}

}  // namespace

MappingOutcome calculateMappingAddresses(Project& project, const ProjectState& state, Prompter& prompter) {
    if (prompter.ask(tr(Str::MappingRecalculateQuestion), Buttons::OkCancel) != Answer::Ok)
        return MappingOutcome::Cancelled;
    if (!validateMappedCommands(project, state, prompter))
        return MappingOutcome::Incomplete;

    Cursor cursor;
    for (int k = 0; k < mappedSubnetCount(state); ++k) {
        CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        if (!isModbusMasterSubnet(subnet))
            continue;
        for (int n = 0; n < usedNodes(subnet); ++n) {
            const std::string& nodeAddress = subnet.nodes[static_cast<std::size_t>(n)].address;
            for (int i = 0; i < usedCommands(subnet); ++i) {
                INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(i)];
                if (command.slaveAddress != nodeAddress)
                    continue;
                const FunctionCodeInfo& kind = functionCodeInfo(command.functionCode);
                if (!kind.supported)
                    continue;
                const bool input = kind.read;
                std::int64_t& at = input ? cursor.input : cursor.output;
                const std::string subnetNumber = decimalText(k + 1);
                const std::string commandNumber = decimalText(i + 1);
                if (startOutOfRange(input, at)) {
                    prompter.messageWithDetail(format(Str::MappingStartOutOfRange, {subnetNumber, commandNumber}),
                                               bufferDetail(Str::MappingStartDetail, input, at));
                    return MappingOutcome::OutOfRange;
                }
                command.mappingAddress = mappingAddressText(at);
                if (kind.bits && command.mappingBit.empty())
                    command.mappingBit.assign(1, '0');  // not = "0": GCC 12 warns falsely (-Wrestrict) at -O2
                const std::int64_t footprint = mappingFootprint(command);
                command.byteCount = decimalText(footprint);
                at += footprint;
                if (endOutOfRange(input, at)) {
                    prompter.messageWithDetail(format(Str::MappingEndOutOfRange, {subnetNumber, commandNumber}),
                                               bufferDetail(Str::MappingEndDetail, input, at - 1));
                    return MappingOutcome::OutOfRange;
                }
            }
        }
    }
    warnPastFieldbusSizes(project, state, cursor, prompter);
    return MappingOutcome::Done;
}

MappingOutcome runCalculateMappingAddress(Editor& editor) {
    // Whatever the calculation rewrote, also before it stopped at a command out of range, is an
    // edit: closing without saving must ask instead of dropping the new addresses.
    const Project before = editor.project();
    Editor::EditStep step(editor, tr(Str::StepCalculateMapping));
    const MappingOutcome outcome =
        calculateMappingAddresses(editor.project(), editor.state(), editor.prompter());
    if (editor.project() != before)
        editor.markModified();
    if (outcome == MappingOutcome::Done) {
        editor.rebuildTree();
        editor.expandAll();
    }
    return outcome;
}

}  // namespace veltrane
