#pragma once
// The "Select Command" list: a double-click on an entry adds that command under the selected node.
// The list stays open, so several commands can be added in a row.

#include <string>
#include <vector>

namespace veltrane {

class Editor;

// The entry texts, in list order.
std::vector<std::string> selectCommandTexts();

// Whether entry `position` (0-based) is a command the gateway sends, so that choosing it can add
// anything; the others are headings and are shown disabled.
bool selectCommandAddsCommand(int position);

// A double-click on entry `position` (0-based). Entries that are no command the gateway sends
// (07 ... 14) are ignored, as is any entry while no node is selected; any other entry adds its
// command and marks the project modified.
// Returns true when a command was added.
bool selectCommandActivated(Editor& editor, int position);

} // namespace veltrane
