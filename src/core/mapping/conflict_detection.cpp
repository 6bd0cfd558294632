#include "core/mapping/conflict_detection.h"

#include <algorithm>

namespace veltrane {

std::vector<GridRange> gridRangesOf(const Footprint& footprint) {
    std::vector<GridRange> ranges;
    const std::int64_t first = std::max<std::int64_t>(footprint.firstByte(), 0);
    if (footprint.map == MapKind::Input) {
        const std::int64_t end = std::min(footprint.endByte(), kInputMapBytes);
        if (first < end)
            ranges.push_back({BufferGrid::Input, first, end});
    } else if (footprint.map == MapKind::Output) {
        const std::int64_t end = std::min(footprint.endByte(), kOutputMapBytes);
        const std::int64_t split = std::clamp(end, first, kOutputGridBase);
        if (first < split)
            ranges.push_back({BufferGrid::Input, first, split});
        const std::int64_t outFirst = std::max(first, kOutputGridBase);
        if (outFirst < end)
            ranges.push_back({BufferGrid::Output, outFirst - kOutputGridBase, end - kOutputGridBase});
    }
    return ranges;
}

ConflictDetection::ConflictDetection(MappingConflictState& conflictState) : m_conflictState(conflictState) {
    m_conflictState.MappingConflictFound = false;
}

void ConflictDetection::open(const Project& project, const ProjectState& state) {
    m_list = buildDetectionList(project, state);
    countOccupancy(m_list, m_maps);
    m_lines.clear();
    for (std::size_t i = 0; i < m_list.size(); ++i) {
        const std::string& text = detectionLabel(m_list[i]);
        if (!text.empty())
            m_lines.push_back({i, text});
    }
    colour({BufferGrid::Input, 0, kGridBytes});
    colour({BufferGrid::Output, 0, kGridBytes});
}

bool ConflictDetection::isLineChecked(std::size_t line) const {
    return line < m_lines.size() && m_list[m_lines[line].entry].checked();
}

std::vector<GridRange> ConflictDetection::toggleLine(std::size_t line) {
    if (line >= m_lines.size())
        return {};
    return setLineChecked(line, !isLineChecked(line));
}

std::vector<GridRange> ConflictDetection::setLineChecked(std::size_t line, bool checked) {
    if (line >= m_lines.size() || isLineChecked(line) == checked)
        return {};
    const std::size_t index = m_lines[line].entry;
    toggleDetectionEntry(m_list, m_maps, index, -m_list[index].code);
    std::vector<GridRange> ranges = gridRangesOf(m_list[index].footprint);
    for (const GridRange& range : ranges)
        colour(range);
    return ranges;
}

void ConflictDetection::colour(const GridRange& range) {
    for (std::int64_t a = range.first; a < range.end && !m_conflictState.MappingConflictFound; ++a)
        if (cellColour(range.grid, a) == OccupancyColour::Conflict)
            m_conflictState.MappingConflictFound = true;
}

}  // namespace veltrane
