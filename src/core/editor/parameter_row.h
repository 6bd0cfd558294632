#pragma once
// What one row of the parameter grid shows. The fieldbus and subnet rules describe their rows with
// this; their row providers put them into the grid.

#include "editor/row_provider.h"
#include "strings/strings.h"

#include <string>

namespace veltrane {

struct ParameterRow {
    std::string title;
    std::string value;
    bool grey = false;  // display only; editability is decided by the rules

    bool operator==(const ParameterRow&) const = default;
};

}  // namespace veltrane
