#pragma once
// What one row of the parameter grid shows, and what a click on a row does to the help pane.
// The fieldbus and subnet rules describe their rows with these; the grid displays them.

#include "strings/strings.h"

#include <string>

namespace veltrane {

struct ParameterRow {
    std::string title;
    std::string value;
    bool grey = false;  // display only; editability is decided by the rules

    bool operator==(const ParameterRow&) const = default;
};

enum class HelpAction { Keep, Clear, Show };

struct RowHelp {
    HelpAction action = HelpAction::Keep;
    std::string text;

    static RowHelp keep() { return {}; }
    static RowHelp clear() { return {HelpAction::Clear, {}}; }
    static RowHelp show(Str id) { return {HelpAction::Show, tr(id)}; }
    bool operator==(const RowHelp&) const = default;
};

// A stored "-1" marks a value not given yet; the grid shows it as an empty cell.
inline std::string shownValue(const std::string& stored) { return stored == "-1" ? std::string() : stored; }

}  // namespace veltrane
