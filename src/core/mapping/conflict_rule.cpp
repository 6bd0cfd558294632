#include "mapping/conflict_rule.h"

namespace veltrane {

CellColour byteColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset) {
    if (grid == BufferGrid::Output) {
        bool used = false;
        for (int p = 0; p < kPlanes; ++p) {
            const std::int32_t count = maps.output(kOutputGridBase + offset, p);
            if (count >= 2)
                return CellColour::Conflict;
            used = used || count == 1;
        }
        return used ? CellColour::Output : CellColour::Free;
    }
    bool exchange = false;
    bool input = false;
    for (int p = 0; p < kPlanes; ++p) {
        const std::int32_t in = maps.input(offset, p);
        const std::int32_t out = maps.output(offset, p);
        if (in >= 2 || out >= 2)
            return CellColour::Conflict;
        exchange = exchange || out == 1;
        input = input || in == 1;
    }
    if (exchange)
        return CellColour::LocalExchange;
    return input ? CellColour::Input : CellColour::Free;
}

CellColour bitColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset, int plane) {
    if (grid == BufferGrid::Output) {
        const std::int32_t count = maps.output(kOutputGridBase + offset, plane);
        if (count > 1)
            return CellColour::Conflict;
        return count == 1 ? CellColour::Output : CellColour::Free;
    }
    const std::int32_t in = maps.input(offset, plane);
    const std::int32_t out = maps.output(offset, plane);
    if (in > 1 || out > 1)
        return CellColour::Conflict;
    if (out == 1)
        return CellColour::LocalExchange;
    return in == 1 ? CellColour::Input : CellColour::Free;
}

bool strictConflictAt(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset) {
    for (int p = 0; p < kPlanes; ++p) {
        if (grid == BufferGrid::Output) {
            if (maps.output(kOutputGridBase + offset, p) > 1)
                return true;
        } else if (maps.input(offset, p) + maps.output(offset, p) > 1) {
            return true;
        }
    }
    return false;
}

bool anyStrictConflict(const OccupancyMaps& maps) {
    for (std::int64_t a = 0; a < kGridBytes; ++a)
        if (strictConflictAt(maps, BufferGrid::Input, a) || strictConflictAt(maps, BufferGrid::Output, a))
            return true;
    return false;
}

std::uint32_t colourValue(CellColour colour) {
    switch (colour) {
    case CellColour::Conflict:
        return 0xFF0000;
    case CellColour::LocalExchange:
        return 0xFFFF00;
    case CellColour::Input:
        return 0x00FF00;
    case CellColour::Output:
        return 0x0000FF;
    case CellColour::Free:
        break;
    }
    return 0;
}

}  // namespace veltrane
