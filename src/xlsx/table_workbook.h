#pragma once
// A table as a workbook of one sheet: written from rows of texts, and read back from the first
// sheet of any workbook as spreadsheet applications save it.

#include "core/common/result.h"
#include "core/table/table_row.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace veltrane::xlsx {

// A workbook whose first sheet holds the rows; a cell of a whole number is stored as that number,
// so a spreadsheet shows and sorts it as one.
Result<QByteArray> tableWorkbook(const std::vector<std::vector<std::string>>& rows);

// The first sheet's rows, each numbered as the sheet numbers it; rows without any text are left
// out. A number cell that holds a whole number reads as that integer ("100", also when saved as
// 100.0). Bounded like a template: an absurd or damaged workbook is refused with the kind Format.
Result<std::vector<TableRow>> readTableWorkbook(const QByteArray& bytes);

// A table file by its name: a workbook for ".xlsx" (any case), else comma- or semicolon-separated text.
Result<std::vector<TableRow>> readTableFile(const std::string& path);
// Written atomically, as a workbook or as CSV by the same rule.
Status writeTableFile(const std::string& path, const std::vector<std::vector<std::string>>& rows);

}  // namespace veltrane::xlsx
