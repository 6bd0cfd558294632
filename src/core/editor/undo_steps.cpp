// Undo and redo on the editor: the steps edits record and how an undo or redo is shown.
#include "core/editor/editor.h"

namespace veltrane {

Editor::EditStep::EditStep(Editor& editor, std::string name, ItemId shown)
    : m_editor(editor), m_outermost(editor.m_openSteps++ == 0), m_name(std::move(name)) {
    if (!m_outermost)
        return;
    m_editor.followOutsideChange();
    m_undoFocus = m_editor.locate(shown != kNoItem ? shown : m_editor.m_tree.selected());
}

Editor::EditStep::~EditStep() {
    --m_editor.m_openSteps;
    if (!m_outermost)
        return;
    ItemLocator redoFocus = m_redoFocus.value_or(m_editor.locate(m_editor.m_tree.selected()));
    if (redoFocus.kind == ItemKind::None)
        redoFocus = m_undoFocus;
    else if (redoFocus.kind == m_undoFocus.kind && redoFocus.subnet == m_undoFocus.subnet &&
             redoFocus.slot == m_undoFocus.slot)
        redoFocus.row = m_undoFocus.row;
    m_editor.m_history.record(std::move(m_name), m_editor.m_project, m_undoFocus, redoFocus);
}

void Editor::EditStep::showAfterRedo(ItemId item) {
    m_redoFocus = m_editor.locate(item);
}

void Editor::EditStep::showRow(int row) {
    m_undoFocus.row = row;
}

ItemLocator Editor::locate(ItemId id) const {
    ItemLocator at;
    if (!m_tree.contains(id))
        return at;
    at.kind = m_tree.kind(id);
    at.subnet = m_tree.subnet(id);
    if (at.kind == ItemKind::Node || at.kind == ItemKind::Command)
        at.slot = m_tree.data(id);
    return at;
}

void Editor::followOutsideChange() {
    if (!m_history.isCurrent(m_project))
        m_history.reset(m_project, !m_state.ProjectModified);
}

void Editor::startNewHistory(bool saved) {
    m_history.reset(m_project, saved);
}

void Editor::markHistorySaved() {
    if (m_history.isCurrent(m_project))
        m_history.markSaved();
    else
        m_history.reset(m_project, true);
}

bool Editor::canUndo() const {
    return m_history.canUndo() && m_history.isCurrent(m_project);
}

bool Editor::canRedo() const {
    return m_history.canRedo() && m_history.isCurrent(m_project);
}

std::string Editor::undoName() const {
    return canUndo() ? m_history.undoName() : std::string();
}

std::string Editor::redoName() const {
    return canRedo() ? m_history.redoName() : std::string();
}

bool Editor::undo() {
    return moveInHistory(&UndoHistory::undo);
}

bool Editor::redo() {
    return moveInHistory(&UndoHistory::redo);
}

bool Editor::moveInHistory(std::optional<ItemLocator> (UndoHistory::*move)(Project&)) {
    commitEdit();
    closeOptionList();
    followOutsideChange();
    const std::optional<ItemLocator> focus = (m_history.*move)(m_project);
    if (!focus)
        return false;
    showStep(*focus);
    return true;
}

void Editor::showStep(const ItemLocator& focus) {
    CommandStateWatch watch(*this);
    // Any item may have come or gone, and a protocol may have changed: the whole tree is built
    // again, as after opening a file.
    rebuildTree();
    expandAll();
    ItemId shown = kNoItem;
    ItemId subnetItem = kNoItem;
    for (ItemId id : m_tree.allItems()) {
        if (m_tree.subnet(id) != focus.subnet)
            continue;
        if (m_tree.kind(id) == ItemKind::Subnet)
            subnetItem = id;
        const bool slotted = focus.kind == ItemKind::Node || focus.kind == ItemKind::Command;
        if (m_tree.kind(id) == focus.kind && (!slotted || m_tree.data(id) == focus.slot)) {
            shown = id;
            break;
        }
    }
    // An item the step took away shows its subnet instead.
    if (shown == kNoItem)
        shown = subnetItem;
    if (shown != kNoItem)
        selectItem(shown);
    if (focus.row >= 0 && m_grid.isCell(focus.row, 1))
        m_grid.setCurrent(focus.row, 1);
    m_state.ProjectModified = !m_history.atSavedState();
    m_projectChanges.notify(ProjectChange::Edited);
}

}  // namespace veltrane
