#pragma once
// The colours of the debug window's outcomes, in one place for the report list, the live table and
// the plot's marks: light backgrounds that keep dark text readable, and stronger tones for marks.

#include <QColor>

#include <cstdint>
#include <optional>

namespace veltrane {

// The background of a row whose report says `status`; none for a correct answer.
std::optional<QColor> statusRowBackground(std::uint8_t status);
// The text on a coloured row, dark whatever the window's palette.
QColor statusRowText();
// A mark on the plot's time axis.
QColor statusMarkColour(std::uint8_t status);

}  // namespace veltrane
