#include "app/mapping/buffer_colours.h"

namespace veltrane {

QColor cellQColor(OccupancyColour colour) {
    if (colour == OccupancyColour::Free)
        return {};
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | colourValue(colour)));
}

}  // namespace veltrane
