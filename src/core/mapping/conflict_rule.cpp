#include "core/mapping/conflict_rule.h"

namespace veltrane {

OccupancyColour byteColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset) {
    if (grid == BufferGrid::Output) {
        bool used = false;
        for (int p = 0; p < kPlanes; ++p) {
            const std::int32_t count = maps.output(kOutputGridBase + offset, p);
            if (count >= 2)
                return OccupancyColour::Conflict;
            used = used || count == 1;
        }
        return used ? OccupancyColour::Output : OccupancyColour::Free;
    }
    bool exchange = false;
    bool input = false;
    for (int p = 0; p < kPlanes; ++p) {
        const std::int32_t in = maps.input(offset, p);
        const std::int32_t out = maps.output(offset, p);
        if (in >= 2 || out >= 2)
            return OccupancyColour::Conflict;
        exchange = exchange || out == 1;
        input = input || in == 1;
    }
    if (exchange)
        return OccupancyColour::LocalExchange;
    return input ? OccupancyColour::Input : OccupancyColour::Free;
}

OccupancyColour bitColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset, int plane) {
    if (grid == BufferGrid::Output) {
        const std::int32_t count = maps.output(kOutputGridBase + offset, plane);
        if (count > 1)
            return OccupancyColour::Conflict;
        return count == 1 ? OccupancyColour::Output : OccupancyColour::Free;
    }
    const std::int32_t in = maps.input(offset, plane);
    const std::int32_t out = maps.output(offset, plane);
    if (in > 1 || out > 1)
        return OccupancyColour::Conflict;
    if (out == 1)
        return OccupancyColour::LocalExchange;
    return in == 1 ? OccupancyColour::Input : OccupancyColour::Free;
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

std::uint32_t colourValue(OccupancyColour colour) {
    switch (colour) {
    case OccupancyColour::Conflict:
        return 0xFF0000;
    case OccupancyColour::LocalExchange:
        return 0xFFFF00;
    case OccupancyColour::Input:
        return 0x00FF00;
    case OccupancyColour::Output:
        return 0x0000FF;
    case OccupancyColour::Free:
        break;
    }
    return 0;
}

}  // namespace veltrane
