#pragma once
// The command table: one row per command with its subnet, its node's slave address, its function
// code and the command grid's other rows, titled and filled as the grid shows them.

#include "core/common/result.h"
#include "core/model/project_state.h"
#include "core/model/records.h"
#include "core/table/table_row.h"

#include <string>
#include <vector>

namespace veltrane {

enum class TableColumn { Subnet, SlaveAddress, FunctionCode, GridRow };

struct ColumnRole {
    TableColumn kind = TableColumn::GridRow;
    int gridRow = -1;   // the command grid's row, for GridRow
    std::string title;  // as the table names it
};

// A table whose header was understood: every column has its role.
struct CommandTable {
    std::vector<ColumnRole> columns;
    std::vector<TableRow> rows;  // below the header
};

// The header of an exported table for a project of this kind.
std::vector<std::string> commandTableHeader(const ProjectState& state);

// The header, then one row per command each subnet shows, in the order of the subnet's commands.
std::vector<std::vector<std::string>> exportCommandTable(const Project& project, const ProjectState& state);

// Finds the columns by their titles, without regard to case or to a bracketed range ("Mapping
// Address (HEX)" is "mapping address"). Either title of the filter / swap row is taken. Every
// unknown or repeated column, and a missing one of the table's own three, is named in the error.
Result<CommandTable> readCommandTable(std::vector<TableRow> rows);

// The refusal as reported: "line N, COLUMN: message".
std::string refusalText(int line, const std::string& column, const std::string& message);

}  // namespace veltrane
