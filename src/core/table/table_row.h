#pragma once
// One row of a table read from a file: its cells as texts and the row number a spreadsheet shows.

#include <string>
#include <vector>

namespace veltrane {

struct TableRow {
    int line = 0;  // 1 for the header
    std::vector<std::string> cells;

    bool operator==(const TableRow&) const = default;
};

}  // namespace veltrane
