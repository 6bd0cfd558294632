#pragma once
// Which commands of the main window are enabled, worked out from the project alone so that the
// rules are testable without a window. The window asks again whenever a menu or the toolbar is
// about to show.

#include "core/editor/editor.h"
#include "core/editor/tree_model.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

struct CommandEnabling {
    bool undo = false;  // from the editor's history; the four-argument form leaves both false
    bool redo = false;
    bool addNode = false;
    bool deleteNode = false;
    bool addCommand = false;
    bool deleteCommand = false;
    bool copyNode = false;
    bool pasteNode = false;
    bool serialConnection = false;
    bool ethernetConnection = false;
    bool calculateMapping = false;
    bool conflictDetection = false;
    bool debug = false;

    bool operator==(const CommandEnabling&) const = default;
};

// What the copy and paste rules need to know about the tree's current selection.
struct TreeSelection {
    bool selectionIsNodeName = false;     // the selected item's text starts like "Node-%d"
    bool selectionIsSubnetOrNode = false; // a subnet item or a node item is selected
    bool copyBufferValid = false;
};

CommandEnabling evaluateCommandEnabling(const ProjectState& state, const Project& project,
                                        const EditFlags& flags, const TreeSelection& selection);

// Why a command that the project's kind switches off is off, for its status tip: the rule is named
// by its member of CommandEnabling. Empty where the command is on, and for the rules that follow
// the tree's selection (the tree shows why).
std::string disabledReason(bool CommandEnabling::*rule, const ProjectState& state, const Project& project);

// The selection facts above, read from an editor.
TreeSelection treeSelectionOf(const Editor& editor);

// Convenience for the window: everything from one editor.
CommandEnabling evaluateCommandEnabling(const Editor& editor);

// Whether a right click on the item shows the tree's context menu: never on the fieldbus item or on
// an item whose subnet is not a Modbus master, nor when the click hit no item.
bool treeContextMenuAllowed(const TreeModel& tree, const Project& project, ItemId id);

} // namespace veltrane
