#pragma once
// What the editor remembers about the grid between notifications: the item whose rows are shown,
// the last clicked cell, the text exchanged with the edit box, and the two cell editors.

#include "core/editor/tree_items.h"
#include "core/editor/tree_model.h"

#include <string>
#include <vector>

namespace veltrane {

struct GridState {
    ItemId selectedItem = kNoItem; // the item whose rows are shown
    ItemKind selectionKind = ItemKind::None;
    int subnetIndex = 0;          // 0-based; 0 outside any subnet
    int selectedNodeIndex = 0;    // 1-based slot of the shown node
    int selectedCommandIndex = 0; // 1-based slot of the shown command
    int clickedRow = 0;
    int clickedColumn = 0;
    std::string editText; // the edit box's text as the last commit left it
    bool inFieldbusBranch = false;
    bool outputPulseEnabled = false; // kept by the subnet rows
    bool selectionShown = false;     // false until rows were shown once: clicks do nothing before

    // The edit box and the option list lie over cell (editorRow, editorColumn) while visible.
    bool editBoxVisible = false;
    std::string editBoxText; // what the edit box holds now (typed text)
    bool optionListVisible = false;
    std::vector<std::string> options;
    int currentOption = -1;
    int editorRow = -1;
    int editorColumn = -1;
};

} // namespace veltrane
