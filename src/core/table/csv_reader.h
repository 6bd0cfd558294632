#pragma once
// Comma- or semicolon-separated tables as spreadsheet applications save them: UTF-8 with an
// optional byte-order mark, cells in double quotes where they hold a separator, a quote or a line
// break. The header line tells the separator.

#include "core/common/result.h"
#include "core/table/table_row.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// Every row, the header first; a quoted line break stays inside its cell, so a row's line is its
// row number, not the count of physical lines before it. Rows without any text are left out.
Result<std::vector<TableRow>> readCsv(std::string_view bytes);

// The rows as one text, separated by commas, lines ending in CR LF, cells quoted where needed.
std::string writeCsv(const std::vector<std::vector<std::string>>& rows);

}  // namespace veltrane
