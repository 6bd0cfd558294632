#pragma once
// The colours of the buffer maps as Qt colours, taken from the one colour rule of the core.

#include "core/mapping/conflict_rule.h"

#include <QColor>

namespace veltrane {

// An invalid colour for a free cell: views then keep their default background.
QColor cellQColor(OccupancyColour colour);

}  // namespace veltrane
