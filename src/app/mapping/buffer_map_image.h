#pragma once
// A picture of both buffer maps with the dialog's colours and legend, for reports and the command
// line. Needs a QGuiApplication for its texts (the offscreen platform will do).

#include "core/mapping/occupancy_maps.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace veltrane {

// Grid rows (16 bytes each) the picture shows: those of the 492-byte buffers, then every row with
// a coloured cell in either grid. Rows that are all free beyond the buffers are left out.
std::vector<std::int64_t> picturedRows(const OccupancyMaps& maps);

QImage renderBufferMaps(const OccupancyMaps& maps);

}  // namespace veltrane
