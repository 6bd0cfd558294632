#include "core/editor/select_command.h"

#include "core/editor/editor.h"
#include "core/editor/function_codes.h"
#include "core/editor/tree_items.h"

namespace veltrane {

std::vector<std::string> selectCommandTexts() {
    std::vector<std::string> texts;
    for (Str entry : selectCommandEntries())
        texts.push_back(tr(entry));
    return texts;
}

bool selectCommandAddsCommand(int position) {
    return functionCodeForEntry(position) != FunctionCode::None;
}

bool selectCommandActivated(Editor& editor, int position) {
    if (!selectCommandAddsCommand(position))
        return false;
    // The list stays open while the tree selection moves on; without a node there is nothing to
    // add to, and the project is left as it is.
    if (kindOf(editor.tree(), editor.tree().selected()) != ItemKind::Node)
        return false;
    const bool added = editor.addCommand(position);
    // Marked even when the command limit refused the entry, as every accepted double-click is.
    editor.markModified();
    return added;
}

} // namespace veltrane
