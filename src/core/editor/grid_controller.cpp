// The parameter grid's mechanism shared by every item kind: showing a selection, opening an editor
// over a clicked cell, committing it, and the help pane. The rows themselves come from the kind's
// RowProvider.
#include "core/editor/editor.h"
#include "core/common/windows1252.h"
#include "core/model/subnet_protocol.h"
#include "core/editor/tree_items.h"
#include "core/strings/strings.h"

namespace veltrane {

std::string acceptedRange(std::int64_t low, std::int64_t high) {
    return format(Str::AcceptedRange, {std::to_string(low), std::to_string(high)});
}

Editor::Selection Editor::describe(ItemId id) const {
    Selection out;
    if (!m_tree.contains(id))
        return out;
    out.kind = kindOf(m_tree, id);
    ItemId at = id;
    for (int generation = 0; generation < 3 && at != kNoItem; ++generation, at = m_tree.parent(at)) {
        const ItemKind kind = m_tree.kind(at);
        if (kind == ItemKind::Fieldbus)
            out.inFieldbusBranch = true;
        if (kind == ItemKind::Subnet && out.subnetIndex == 0)
            out.subnetIndex = m_tree.subnet(at) - 1;
    }
    return out;
}

RowProvider* Editor::providerFor(ItemKind kind) const {
    switch (kind) {
    case ItemKind::Fieldbus:
        return m_fieldbusRows.get();
    case ItemKind::Subnet:
        return m_subnetRows.get();
    case ItemKind::Node:
        return m_nodeRows.get();
    case ItemKind::Command:
        return m_commandRows.get();
    default:
        return nullptr;
    }
}
bool Editor::selectionUnchanged() const {
    return m_view.selectedItem != kNoItem && m_tree.selected() == m_view.selectedItem;
}

void Editor::showSelection() {
    CommandStateWatch watch(*this);
    m_view.selectionShown = true;
    const ItemId selected = m_tree.selected();
    if (selected != kNoItem)
        m_view.selectedItem = selected;
    const Selection selection = describe(selected);
    m_view.subnetIndex = selection.subnetIndex;
    m_view.inFieldbusBranch = selection.inFieldbusBranch;
    m_view.selectionKind = selection.kind;

    switch (selection.kind) {
    case ItemKind::Fieldbus:
        m_flags = EditFlags{};
        break;
    case ItemKind::Subnet:
        m_flags = EditFlags{};
        m_flags.addNode = isModbusMaster(subnet(selection.subnetIndex));
        break;
    case ItemKind::Node:
        m_flags = EditFlags{true, true, true, false};
        m_view.selectedNodeIndex = m_tree.data(selected);
        break;
    case ItemKind::Command:
        m_flags = EditFlags{false, false, false, true};
        m_view.selectedCommandIndex = m_tree.data(selected);
        break;
    case ItemKind::None:
        return;
    }
    m_grid.clear();
    providerFor(selection.kind)->fillRows(*this);
    m_view.editBoxText = windows1252ToUtf8(m_view.editText);
}

void Editor::onGridClick(int row, int column) {
    if (!m_view.selectionShown || !m_grid.isCell(row, column))
        return;
    // A click on the grid takes the focus from an open editor: the edit box commits, the option
    // list closes without a pick.
    commitEdit();
    closeOptionList();

    const Selection selection = describe(m_tree.selected());
    m_view.selectionKind = selection.kind;
    m_view.subnetIndex = selection.subnetIndex;
    m_view.inFieldbusBranch = selection.inFieldbusBranch;
    m_view.clickedRow = row;
    m_view.clickedColumn = column;
    m_grid.setCurrent(row, column);
    showRowHelp(m_view.subnetIndex);
    if (column == 0 || selection.kind == ItemKind::None)
        return;
    RowProvider* rows = providerFor(selection.kind);
    if (!rows->isEditable(*this, row))
        return;

    m_view.options = rows->optionsFor(*this, row);
    m_view.editorRow = row;
    m_view.editorColumn = column;
    if (m_view.options.empty()) {
        m_view.editBoxText = windows1252ToUtf8(m_grid.text(row, column));
        m_view.editBoxVisible = true;
    } else {
        m_view.currentOption = 0;
        m_view.optionListVisible = true;
    }
}

void Editor::commitOption(int index) {
    if (!m_view.optionListVisible || index < 0 || index >= static_cast<int>(m_view.options.size()))
        return;
    const std::string text = m_view.options[static_cast<std::size_t>(index)];
    m_view.currentOption = index;
    if (selectionUnchanged()) {
        m_grid.setCurrent(m_view.clickedRow, m_view.clickedColumn);
        m_grid.setText(m_view.clickedRow, m_view.clickedColumn, text);
    }
    closeOptionList();
    EditStep step(*this, format(Str::StepEditValue, {m_grid.text(m_view.clickedRow, 0)}), m_view.selectedItem);
    step.showRow(m_view.clickedRow);
    RowProvider* rows = providerFor(m_view.selectionKind);
    const bool modified = rows == nullptr || rows->commitOption(*this, m_view.clickedRow, text);
    if (modified)
        markModified();
}

void Editor::closeOptionList() {
    m_view.optionListVisible = false;
    m_view.options.clear();
    m_view.currentOption = -1;
}

void Editor::setEditBoxText(std::string text) {
    m_view.editBoxText = std::move(text);
}

void Editor::commitEdit() {
    if (!m_view.editBoxVisible)
        return;
    // The shown item may be gone (the tree was rebuilt): there is nothing left to commit to.
    if (!m_tree.contains(m_view.selectedItem)) {
        m_view.editBoxVisible = false;
        return;
    }
    const ItemId item = m_view.selectedItem;
    const Selection selection = describe(item);
    m_view.subnetIndex = selection.subnetIndex;
    if (selection.kind == ItemKind::Node)
        m_view.selectedNodeIndex = m_tree.data(item);
    else if (selection.kind == ItemKind::Command)
        m_view.selectedCommandIndex = m_tree.data(item);
    const std::string shownTyped = m_view.editBoxText;
    Windows1252Refusal unstorable;
    const std::optional<std::string> typed = utf8ToWindows1252(shownTyped, &unstorable);
    if (!typed) {
        // The edit box closes as Escape closes it: the stored value stays.
        cancelEdit();
        refuseUnstorable(shownTyped, unstorable);
        return;
    }
    m_view.editText = *typed;
    if (selection.kind == ItemKind::None)
        return;

    const std::string title = m_grid.text(m_view.clickedRow, 0);
    EditStep step(*this, format(Str::StepEditValue, {title}), item);
    step.showRow(m_view.clickedRow);
    m_refusal.reset();
    providerFor(selection.kind)->commitEdit(*this, m_view.clickedRow, m_view.editText);
    // Typing what is stored already is no refusal, even where the rule takes the refusing path.
    if (m_refusal && *typed != m_view.editText && onInputRefused)
        onInputRefused(format(Str::InputRefused, {shownTyped, title, *m_refusal}));
    m_refusal.reset();

    if (selectionUnchanged()) {
        m_grid.setCurrent(m_view.clickedRow, m_view.clickedColumn);
        // The mapping address is stored without its "H" but always shown with it.
        const bool mappingAddress = selection.kind == ItemKind::Command && m_view.clickedRow == 4;
        m_grid.setText(m_view.clickedRow, m_view.clickedColumn,
                       mappingAddress && !m_view.editText.empty() ? m_view.editText + "H" : m_view.editText);
    }
    m_view.editBoxVisible = false;
    m_view.editBoxText = windows1252ToUtf8(m_view.editText);
    markModified();
}

void Editor::refuseUnstorable(const std::string& typed, const Windows1252Refusal& why) {
    const std::string detail =
        why.notUtf8 ? tr(Str::TextNotStorableNotUtf8)
                    : format(Str::TextNotStorableCharacter, {utf8Character(why.character), codePointName(why.character)});
    m_prompter.messageWithDetail(format(Str::TextNotStorable, {typed}), detail);
}

void Editor::cancelEdit() {
    if (!m_view.editBoxVisible)
        return;
    m_view.editBoxVisible = false;
    // The cell still shows the stored value: the typed text never reached it.
    m_view.editBoxText = windows1252ToUtf8(m_grid.text(m_view.editorRow, m_view.editorColumn));
}

bool Editor::isEditableRow(int row) const {
    if (!m_view.selectionShown || !m_grid.isCell(row, 1))
        return false;
    const RowProvider* rows = providerFor(describe(m_tree.selected()).kind);
    return rows != nullptr && rows->isEditable(*this, row);
}

void Editor::showRowHelp(int subnetIndex) {
    m_view.subnetIndex = subnetIndex;
    RowProvider* rows = providerFor(m_view.selectionKind);
    const HelpText help = rows != nullptr ? rows->helpFor(*this, m_view.clickedRow) : HelpText::unchanged();
    if (help.action == HelpText::Action::Replace)
        m_helpText = help.text;
    else if (help.action == HelpText::Action::Clear)
        m_helpText.clear();
    if (onHelpShown)
        onHelpShown();
}

void Editor::viewResized() {
    commitEdit();
}

} // namespace veltrane
