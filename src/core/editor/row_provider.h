#pragma once
// The rows of one item kind in the parameter grid.
//
// The grid controller (Editor::showSelection, onGridClick, commitOption, commitEdit, showRowHelp)
// owns the mechanism every kind shares: working out the selection, clearing the grid, placing the
// edit box or the option list over the clicked cell, writing the committed text back into the cell,
// setting ProjectModified and showing help. Everything that depends on the kind comes from one
// RowProvider per kind (fieldbus, subnet, node, command), created by the make*Rows() functions
// below, each in its own file (fieldbus_rows.cpp, subnet_rows.cpp, node_rows.cpp, command_rows.cpp).
//
// A provider works on the Editor it is handed: editor.project() and editor.state() for the records
// and the device type/model switches, editor.view() for the selection (subnetIndex,
// selectedNodeIndex, selectedCommandIndex, clickedRow, outputPulseEnabled ...), editor.grid() to
// fill or refresh cells, editor.tree() and editor.rebuildSubnetItems() for changes to the tree,
// editor.setEditFlags() for the Edit commands, and editor.prompter() for messages and questions.
//
//   fillRows(editor)            fill the rows of the selection into the (already cleared) grid:
//                               titles, values and value-cell colours (grid.setRow, greyCell ...)
//   isEditable(editor, row)     whether a click on the value cell of `row` opens an editor
//   optionsFor(editor, row)     the option list of an editable row, in display order; empty for a
//                               row that uses the edit box
//   commitOption(editor, row, text)
//                               store a picked option; return false only when the pick must not
//                               mark the project modified (a cancelled question)
//   commitEdit(editor, row, editText)
//                               store the typed text or replace editText by the stored value (or
//                               by what the rule says); the controller then writes editText into
//                               the cell when the selection has not changed
//   helpFor(editor, row)        the help pane's reaction to a click on `row`
//
// editor.selectionUnchanged() tells a commit whether the tree still shows the edited item, which is
// the condition for writing into other cells of the grid.

#include "core/model/project_state.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace veltrane {

class Editor;

struct HelpText {
    enum class Action { Unchanged, Clear, Replace };
    Action action = Action::Unchanged;
    std::string text;

    static HelpText unchanged() { return {}; }
    static HelpText clear() { return {Action::Clear, {}}; }
    static HelpText replace(std::string text) { return {Action::Replace, std::move(text)}; }
};

class RowProvider {
public:
    virtual ~RowProvider() = default;
    virtual void fillRows(Editor& editor) = 0;
    virtual bool isEditable(const Editor& editor, int row) const = 0;
    virtual std::vector<std::string> optionsFor(const Editor& editor, int row) const = 0;
    virtual bool commitOption(Editor& editor, int row, const std::string& text) = 0;
    virtual void commitEdit(Editor& editor, int row, std::string& editText) = 0;
    virtual HelpText helpFor(const Editor& editor, int row) const = 0;
};

std::unique_ptr<RowProvider> makeFieldbusRows();
std::unique_ptr<RowProvider> makeSubnetRows();
std::unique_ptr<RowProvider> makeNodeRows();
std::unique_ptr<RowProvider> makeCommandRows();

// The titles of a command item's rows, in grid order, as a project of this kind shows them.
std::vector<std::string> commandRowTitles(const ProjectState& state);

// "low to high", as the status bar names what a row accepts when it refused a typed value.
std::string acceptedRange(std::int64_t low, std::int64_t high);

// A stored value as a cell shows it: the "not filled in" marker "-1" is an empty cell.
inline std::string shownValue(const std::string& stored) {
    return stored == "-1" ? std::string() : stored;
}

} // namespace veltrane
