#pragma once
// How a byte (or one bit) of either buffer is classified from the occupancy counts. The dialog's
// grids, its bit pop-up, the buffer picture and the command-line report all use this one rule.

#include "core/mapping/occupancy_maps.h"

#include <cstdint>

namespace veltrane {

enum class BufferGrid { Input, Output };

enum class OccupancyColour { Free, Input, Output, Conflict, LocalExchange };

// Bytes per grid: the input grid shows 0x0000..0x3FFF, the output grid 0x4000..0x7FFF.
inline constexpr std::int64_t kGridBytes = 0x4000;
inline constexpr std::int64_t kOutputGridBase = 0x4000;

// Colour of grid byte `offset` (0..0x3FFF) of the given grid.
OccupancyColour byteColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset);
// Colour of one bit of that byte, as the bit pop-up shows it.
OccupancyColour bitColour(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset, int plane);

// The download's stricter rule: a read and a write on the same input bit also conflict.
bool strictConflictAt(const OccupancyMaps& maps, BufferGrid grid, std::int64_t offset);
bool anyStrictConflict(const OccupancyMaps& maps);

// 0xRRGGBB of a colour; 0 for a free cell, which means "the grid's default background".
std::uint32_t colourValue(OccupancyColour colour);

}  // namespace veltrane
