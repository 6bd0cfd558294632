#pragma once
// A1-style cell references of spreadsheet XML.

#include <QString>

namespace veltrane::xlsx {

// "A" for 1, "Z" for 26, "AA" for 27; the workbook format ends at "XFD" (16384).
QString columnLetters(int column);

// The reference of a cell, for example "H1".
QString cellReference(int row, int column);

// Reads "AB12" into its row and column (both 1-based); false for anything else.
bool parseCellReference(const QString& reference, int& row, int& column);

inline constexpr int kMaxColumn = 16384;
inline constexpr int kMaxRow = 1048576;

}  // namespace veltrane::xlsx
