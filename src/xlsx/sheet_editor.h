#pragma once
// Writes texts into the cells of one worksheet part (xl/worksheets/sheetN.xml) of a workbook.
// Everything outside the cell table is kept character for character (styles, column widths,
// frozen panes, page setup and the like); inside it, every row and cell keeps its attributes,
// in particular its style index, and untouched cells keep their content as it was.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace veltrane::xlsx {

struct CellText {
    int row = 0;     // 1-based
    int column = 0;  // 1-based
    QString text;    // written as an inline string; an empty text leaves the cell blank
};

// The worksheet with the texts written, or nothing when the part is not a worksheet the editor
// can read (not well-formed, no cell table, duplicate or out-of-range cells). A cell written twice
// keeps the last text. A new cell takes the style of its row, or else of its column, as a
// spreadsheet application gives a cell typed into.
std::optional<QByteArray> writeCellTexts(const QByteArray& worksheetXml, const std::vector<CellText>& cells);

}  // namespace veltrane::xlsx
