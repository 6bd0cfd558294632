#pragma once
// Tree items are recognised by their texts, never by stored handles.

#include "core/editor/tree_model.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

enum class ItemKind { None, Fieldbus, Subnet, Node, Command };

bool isSubnetText(const std::string& text);
bool isFieldbusText(const std::string& text);
// 1..4 for a subnet item's text ("Subnet" is subnet 1), 0 otherwise.
int subnetNumberOfText(const std::string& text);

ItemKind kindOf(const TreeModel& tree, ItemId id);
// The 1-based subnet an item belongs to, 0 when none.
int subnetOf(const TreeModel& tree, ItemId id);
// The node number of a node item's text: the digits after "Node-", 0 when there are none.
int nodeNumberOfText(const std::string& text);

// The tree label of a command's function code; empty for codes that get no item.
const std::string& commandLabel(const std::string& functionCode);

}  // namespace veltrane
