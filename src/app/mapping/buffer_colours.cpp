#include "buffer_colours.h"

namespace veltrane {

QColor cellQColor(CellColour colour) {
    if (colour == CellColour::Free)
        return {};
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | colourValue(colour)));
}

}  // namespace veltrane
