#include "core/mapping/detection_list.h"

#include "core/mapping/buffer_layout.h"
#include "core/model/function_code.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane {

std::int32_t commandStatusBytes(const Project& project, const ProjectState& state) {
    if (!state.flags.commandStatusModel)
        return 0;
    const std::int32_t bytes = decimalValue(project.subnets[0].commandStatus);
    return bytes > 0 ? bytes : 0;
}

Footprint detectionFootprint(const INSTRUCTION& command, const ProjectState& state) {
    const FunctionCodeInfo& kind = functionCodeInfo(functionCodeOfNumber(decimalValue(command.functionCode)));
    if (!kind.supported)
        return {};
    const std::int64_t address = hexValue(command.mappingAddress);
    const std::int64_t count = decimalValue(command.dataCount);
    Footprint footprint;
    footprint.map = kind.read ? MapKind::Input : MapKind::Output;
    if (kind.bits) {
        footprint.firstBit = address * kPlanes + decimalValue(command.mappingBit);
        footprint.bitCount = count;
    } else {
        std::int64_t bytesPerRegister = 2;
        if (kind.read) {
            const bool filter = state.flags.dataFilterModel || state.DeviceType == device::ProfibusFilter;
            if (command.filterOrSwap == tr(Str::FilterLowByte) ||
                (command.filterOrSwap == tr(Str::FilterHiByte) && filter))
                bytesPerRegister = 1;
        }
        footprint.firstBit = address * kPlanes;
        footprint.bitCount = bytesPerRegister * count * kPlanes;
    }
    if (footprint.bitCount < 0)
        footprint.bitCount = 0;
    return footprint;
}

DetectionList buildDetectionList(const Project& project, const ProjectState& state) {
    DetectionList list;
    if (const std::int32_t status = commandStatusBytes(project, state); status > 0)
        list.push_back({kCommandStatusCode, 0, 0, {MapKind::Input, 0, std::int64_t{status} * kPlanes}});
    // All four records, whatever SubnetCount and protocol: the gateway holds all of them.
    for (int k = 0; k < kSubnetSlots; ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        const int commands = std::clamp(subnet.commandCount, 0, kMaxCommands);
        for (int i = 0; i < commands; ++i) {
            const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(i)];
            // Only the eight function codes are ever listed or counted; any other text becomes 0,
            // which also keeps the sign trick away from codes that cannot be negated.
            const std::int32_t code = decimalValue(command.functionCode);
            const bool known = functionCodeInfo(functionCodeOfNumber(code)).supported;
            list.push_back({known ? code : 0, k + 1, i + 1, detectionFootprint(command, state)});
        }
    }
    return list;
}

void countOccupancy(const DetectionList& list, OccupancyMaps& maps) {
    maps.clear();
    for (const DetectionEntry& entry : list)
        if (entry.checked())
            maps.add(entry.footprint, 1);
}

void toggleDetectionEntry(DetectionList& list, OccupancyMaps& maps, std::size_t index, std::int32_t newCode) {
    if (index >= list.size())
        return;
    DetectionEntry& entry = list[index];
    const bool wasChecked = entry.checked();
    entry.code = newCode;
    if (entry.checked() != wasChecked)
        maps.add(entry.footprint, entry.checked() ? 1 : -1);
}

const std::string& detectionLabel(const DetectionEntry& entry) {
    static const std::string none;
    const std::int32_t code = entry.code < 0 ? -entry.code : entry.code;
    if (entry.isCommandStatus())
        return tr(Str::CommandStatusEntry);
    const FunctionCodeInfo& info = functionCodeInfo(functionCodeOfNumber(code));
    return info.supported ? tr(info.label) : none;
}

}  // namespace veltrane
