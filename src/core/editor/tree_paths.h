#pragma once
// Tree items named by their texts: "Subnet 1/Node-1/03 Read Holding Register", with "TEXT#n" for
// the n-th of equal texts under one parent. `edit --select` reads these paths and the project
// comparison writes them, so both name an item the same way.

#include "core/editor/tree_model.h"

#include <optional>
#include <string>

namespace veltrane {

// The item a path names; nothing when a segment names no child.
std::optional<ItemId> findItemByPath(const TreeModel& tree, const std::string& path);

// The path that names the item: "#n" is added to a text only where it repeats under its parent.
std::string itemPathOf(const TreeModel& tree, ItemId id);

}  // namespace veltrane
