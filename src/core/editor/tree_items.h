#pragma once
// What a tree item stands for, read from the kind and subnet it carries.

#include "core/editor/tree_model.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

ItemKind kindOf(const TreeModel& tree, ItemId id);
// The 1-based subnet an item belongs to, 0 when none.
int subnetOf(const TreeModel& tree, ItemId id);
// The node number of a node item's text: the digits after "Node-", 0 when there are none.
int nodeNumberOfText(const std::string& text);

// The tree label of a command's function code; empty for codes that get no item.
const std::string& commandLabel(const std::string& functionCode);

}  // namespace veltrane
