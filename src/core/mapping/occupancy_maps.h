#pragma once
// Bit-exact occupancy of the gateway's buffers: for every bit of every byte address, how many
// detection entries use it.

#include <cstdint>
#include <vector>

namespace veltrane {

// Byte addresses covered by each map. Input: the input buffer's address space. Output: write
// commands, including those mapped below 0x4000 into the input buffer's space.
inline constexpr std::int64_t kInputMapBytes = 0x4000;
inline constexpr std::int64_t kOutputMapBytes = 0x8000;
inline constexpr int kPlanes = 8;

enum class MapKind { None, Input, Output };

// The bits an entry uses, as one run of bit positions (byte * 8 + plane). Every footprint of the
// detection is such a run, whether it counts bits or whole bytes.
struct Footprint {
    MapKind map = MapKind::None;
    std::int64_t firstBit = 0;
    std::int64_t bitCount = 0;

    bool operator==(const Footprint&) const = default;

    // The byte addresses touched, [firstByte, endByte); empty when nothing is counted.
    std::int64_t firstByte() const;
    std::int64_t endByte() const;
};

class OccupancyMaps {
public:
    OccupancyMaps();

    void clear();
    // Adds delta to every bit of the footprint that lies inside its map. Bits outside the map have
    // no counter and are ignored: a footprint is clipped to the map, never wrapped.
    void add(const Footprint& footprint, std::int32_t delta);

    std::int32_t input(std::int64_t byte, int plane) const {
        return m_input[static_cast<std::size_t>(byte * kPlanes + plane)];
    }
    std::int32_t output(std::int64_t byte, int plane) const {
        return m_output[static_cast<std::size_t>(byte * kPlanes + plane)];
    }

private:
    std::vector<std::int32_t> m_input;
    std::vector<std::int32_t> m_output;
};

}  // namespace veltrane
