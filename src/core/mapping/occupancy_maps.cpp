#include "core/mapping/occupancy_maps.h"

#include <algorithm>

namespace veltrane {

namespace {
std::int64_t floorDiv8(std::int64_t value) {
    return value >= 0 ? value / 8 : -((-value + 7) / 8);
}
}  // namespace

std::int64_t Footprint::firstByte() const {
    return floorDiv8(firstBit);
}

std::int64_t Footprint::endByte() const {
    if (map == MapKind::None || bitCount <= 0)
        return firstByte();
    return floorDiv8(firstBit + bitCount - 1) + 1;
}

OccupancyMaps::OccupancyMaps()
    : m_input(static_cast<std::size_t>(kInputMapBytes * kPlanes), 0),
      m_output(static_cast<std::size_t>(kOutputMapBytes * kPlanes), 0) {}

void OccupancyMaps::clear() {
    std::fill(m_input.begin(), m_input.end(), 0);
    std::fill(m_output.begin(), m_output.end(), 0);
}

void OccupancyMaps::add(const Footprint& footprint, std::int32_t delta) {
    std::vector<std::int32_t>* counters = nullptr;
    if (footprint.map == MapKind::Input)
        counters = &m_input;
    else if (footprint.map == MapKind::Output)
        counters = &m_output;
    if (counters == nullptr || footprint.bitCount <= 0)
        return;
    const auto size = static_cast<std::int64_t>(counters->size());
    const std::int64_t first = std::clamp<std::int64_t>(footprint.firstBit, 0, size);
    const std::int64_t end = std::clamp<std::int64_t>(footprint.firstBit + footprint.bitCount, 0, size);
    for (std::int64_t bit = first; bit < end; ++bit)
        (*counters)[static_cast<std::size_t>(bit)] += delta;
}

}  // namespace veltrane
