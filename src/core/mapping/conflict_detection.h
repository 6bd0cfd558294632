#pragma once
// What the Conflict Detection dialog shows, without the widgets: the list of entries with their
// check state, the occupancy of both buffers and the colour of every cell, and the conflict flag
// that colouring sets. The dialog owns one for as long as it is open.

#include "core/mapping/conflict_rule.h"
#include "core/mapping/conflict_state.h"
#include "core/mapping/detection_list.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane {

// A run of grid bytes, [first, end), in one grid.
struct GridRange {
    BufferGrid grid = BufferGrid::Input;
    std::int64_t first = 0;
    std::int64_t end = 0;
};

class ConflictDetection {
public:
    struct Line {
        std::size_t entry;  // index into the detection list
        std::string text;
    };

    // A new detection clears the conflict flag, as every opening of the dialog does.
    explicit ConflictDetection(MappingConflictState& conflictState);

    // Builds the list from the project, counts every entry as checked and colours both grids.
    void open(const Project& project, const ProjectState& state);

    const std::vector<Line>& lines() const { return m_lines; }
    bool isLineChecked(std::size_t line) const;
    // Flips the line's entry and recolours what it covers; returns the grid ranges to repaint.
    std::vector<GridRange> toggleLine(std::size_t line);
    // Sets the line's check state; returns what to repaint (nothing when it already had it).
    std::vector<GridRange> setLineChecked(std::size_t line, bool checked);

    OccupancyColour cellColour(BufferGrid grid, std::int64_t offset) const {
        return byteColour(m_maps, grid, offset);
    }
    OccupancyColour bitCellColour(BufferGrid grid, std::int64_t offset, int plane) const {
        return bitColour(m_maps, grid, offset, plane);
    }

    const DetectionList& detectionList() const { return m_list; }
    const OccupancyMaps& maps() const { return m_maps; }

private:
    // The colouring of a range: any red cell raises the conflict flag.
    void colour(const GridRange& range);

    MappingConflictState& m_conflictState;
    DetectionList m_list;
    OccupancyMaps m_maps;
    std::vector<Line> m_lines;
};

// The grid ranges a footprint touches: input-map bytes lie in the input grid; output-map bytes
// below 0x4000 in the input grid too (local data exchange), the others in the output grid.
std::vector<GridRange> gridRangesOf(const Footprint& footprint);

}  // namespace veltrane
