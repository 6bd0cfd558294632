#pragma once
// What one row of the parameter grid shows. The fieldbus and subnet rules describe their rows with
// this; their row providers put them into the grid.

#include "core/editor/parameter_grid.h"
#include "core/editor/row_provider.h"
#include "core/strings/strings.h"

#include <string>
#include <vector>

namespace veltrane {

struct ParameterRow {
    std::string title;
    std::string value;
    bool grey = false;  // display only; editability is decided by the rules

    bool operator==(const ParameterRow&) const = default;
};

// Puts described rows into the grid by position; a row with neither title nor value stays as the
// grid has it.
inline void showRows(ParameterGrid& grid, const std::vector<ParameterRow>& rows) {
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const ParameterRow& shown = rows[row];
        if (shown.title.empty() && shown.value.empty())
            continue;
        grid.setRow(static_cast<int>(row), shown.title, shown.value,
                    shown.grey ? GridCellColour::Grey : GridCellColour::White);
    }
}

}  // namespace veltrane
