#include "core/table/command_import.h"
#include "core/common/windows1252.h"

#include "core/editor/function_codes.h"
#include "core/editor/select_command.h"
#include "core/editor/tree_items.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

namespace veltrane {

namespace {

// Records what the rules show; every question gets the import's one answer.
class ImportPrompter : public Prompter {
public:
    explicit ImportPrompter(Answer answer) : m_answer(answer) {}
    void message(const std::string& text) override { m_shown.push_back(text); }
    Answer ask(const std::string&, Buttons) override { return m_answer; }
    std::vector<std::string> take() { return std::exchange(m_shown, {}); }

private:
    Answer m_answer;
    std::vector<std::string> m_shown;
};

std::string trimmed(const std::string& text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    const auto begin = std::find_if_not(text.begin(), text.end(), blank);
    const auto end = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return begin < end ? std::string(begin, end) : std::string();
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The "Select Command" entry a cell names: the code (3 or 03) or the entry's text; -1 for none.
int commandEntry(const std::string& text) {
    if (!text.empty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return entryForFunctionCode(decimalValue(text));
    const std::vector<std::string> entries = selectCommandTexts();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (lower(entries[i]) == lower(text))
            return static_cast<int>(i);
    return -1;
}

ItemId childWithData(const TreeModel& tree, ItemId parent, int data) {
    for (ItemId child : tree.children(parent))
        if (tree.data(child) == data)
            return child;
    return kNoItem;
}

class TableImporter {
public:
    TableImporter(const Project& project, const ProjectState& state, const CommandTable& table,
                  const ImportOptions& options)
        : m_project(project), m_state(state), m_table(table), m_options(options), m_prompter(options.conversionAnswer),
          m_editor(m_project, m_state, m_prompter) {
        m_state.ProjectPrepared = true;
        m_editor.onInputRefused = [this](const std::string& note) { m_prompter.message(note); };
        m_editor.rebuildTree();
    }

    CommandImport run() {
        if (m_options.replace)
            clearNamedSubnets();
        for (const TableRow& row : m_table.rows)
            importRow(row);
        return CommandImport{m_project, std::move(m_added), std::move(m_refusals)};
    }

private:
    std::string cell(const TableRow& row, TableColumn kind, int gridRow = -1) const {
        for (std::size_t i = 0; i < m_table.columns.size() && i < row.cells.size(); ++i) {
            const ColumnRole& role = m_table.columns[i];
            if (role.kind == kind && (kind != TableColumn::GridRow || role.gridRow == gridRow))
                return trimmed(row.cells[i]);
        }
        return {};
    }
    std::string title(TableColumn kind, int gridRow = -1) const {
        for (const ColumnRole& role : m_table.columns)
            if (role.kind == kind && (kind != TableColumn::GridRow || role.gridRow == gridRow))
                return role.title;
        return {};
    }

    void refuse(int line, const std::string& column, const std::string& message) {
        m_refusals.push_back(refusalText(line, column, message));
    }
    // Whatever the rules showed since the last look is a refusal of the cell just entered.
    bool refusedShown(int line, const std::string& column) {
        const std::vector<std::string> shown = m_prompter.take();
        for (const std::string& text : shown)
            refuse(line, column, text);
        return !shown.empty();
    }

    ItemId subnetItem(const std::string& text) const {
        if (!isCanonical(text))
            return kNoItem;
        const int number = decimalValue(text);
        for (ItemId item : m_editor.tree().topLevel())
            if (m_editor.tree().kind(item) == ItemKind::Subnet && m_editor.tree().subnet(item) == number)
                return item;
        return kNoItem;
    }

    void clearNamedSubnets() {
        std::set<ItemId> named;
        for (const TableRow& row : m_table.rows)
            if (const ItemId item = subnetItem(cell(row, TableColumn::Subnet)); item != kNoItem)
                named.insert(item);
        for (ItemId item : named) {
            m_editor.selectItem(item);
            if (!m_editor.editFlags().addNode)
                continue;  // no Modbus master: its rows are refused below
            const int index = m_editor.tree().subnet(item) - 1;
            CONFIG& subnet = m_editor.subnet(index);
            subnet.nodeCount = 0;
            subnet.commandCount = 0;
            subnet.nodes = {};
            subnet.commands = {};
            m_editor.rebuildSubnetItems(item, index);
        }
    }

    // The node with the row's slave address, made as Add Node makes one when there is none.
    ItemId nodeFor(const TableRow& row, ItemId subnetItem, bool& created) {
        const std::string address = cell(row, TableColumn::SlaveAddress);
        const std::string column = title(TableColumn::SlaveAddress);
        const int index = m_editor.tree().subnet(subnetItem) - 1;
        const CONFIG& subnet = m_editor.subnet(index);
        for (int n = 1; n <= std::clamp(subnet.nodeCount, 0, kMaxNodes); ++n)
            if (!address.empty() && subnet.nodes[static_cast<std::size_t>(n - 1)].address == address)
                return childWithData(m_editor.tree(), subnetItem, n);
        m_editor.selectItem(subnetItem);
        const bool added = m_editor.addNode();
        if (refusedShown(row.line, column) || !added)
            return kNoItem;
        created = true;
        const ItemId node = childWithData(m_editor.tree(), subnetItem, subnet.nodeCount);
        m_editor.selectItem(node);
        if (!typeInto(row.line, column, 0, address))
            return kNoItem;
        return node;
    }

    // Clicks a value cell and types the text, or picks it from the option list. False when refused.
    bool typeInto(int line, const std::string& column, int gridRow, const std::string& text) {
        m_editor.onGridClick(gridRow, 1);
        const GridState& view = m_editor.view();
        if (view.optionListVisible) {
            for (std::size_t i = 0; i < view.options.size(); ++i) {
                if (lower(windows1252ToUtf8(view.options[i])) == lower(text)) {
                    m_editor.commitOption(static_cast<int>(i));
                    return !refusedShown(line, column);
                }
            }
            std::string offered;
            for (const std::string& option : view.options)
                offered += (offered.empty() ? "\"" : ", \"") + windows1252ToUtf8(option) + "\"";
            m_editor.closeOptionList();
            refuse(line, column, format(Str::ImportNotAnOption, {text, offered}));
            return false;
        }
        if (view.editBoxVisible) {
            m_editor.setEditBoxText(text);
            m_editor.commitEdit();
        }
        return !refusedShown(line, column);
    }

    void importRow(const TableRow& row) {
        for (std::size_t i = m_table.columns.size(); i < row.cells.size(); ++i)
            if (!trimmed(row.cells[i]).empty())
                refuse(row.line, "#" + std::to_string(i + 1), tr(Str::TableCellOutsideHeader));
        const std::string subnetText = cell(row, TableColumn::Subnet);
        const ItemId subnet = subnetItem(subnetText);
        if (subnet == kNoItem) {
            refuse(row.line, title(TableColumn::Subnet), format(Str::ImportNoSubnet, {subnetText}));
            return;
        }
        m_editor.selectItem(subnet);
        if (!m_editor.editFlags().addNode) {
            refuse(row.line, title(TableColumn::Subnet), format(Str::ImportNotMaster, {subnetText}));
            return;
        }
        const std::string codeText = cell(row, TableColumn::FunctionCode);
        const int entry = commandEntry(codeText);
        if (entry < 0 || !selectCommandAddsCommand(entry)) {
            refuse(row.line, title(TableColumn::FunctionCode), format(Str::ImportNoFunctionCode, {codeText}));
            return;
        }
        bool newNode = false;
        const ItemId node = nodeFor(row, subnet, newNode);
        if (node == kNoItem)
            return;
        m_editor.selectItem(node);
        const bool added = selectCommandActivated(m_editor, entry);
        if (refusedShown(row.line, title(TableColumn::FunctionCode)) || !added)
            return;
        const CONFIG& config = m_editor.subnet(m_editor.tree().subnet(subnet) - 1);
        const ItemId command = childWithData(m_editor.tree(), node, config.commandCount);
        m_editor.selectItem(command);
        // The other cells in the grid's row order; rows the grid does not let a user type are
        // exported for reading only.
        const int rowCount = static_cast<int>(commandRowTitles(m_state).size());
        for (int gridRow = 2; gridRow < rowCount; ++gridRow) {
            const std::string text = cell(row, TableColumn::GridRow, gridRow);
            if (text.empty() || !m_editor.isEditableRow(gridRow))
                continue;
            typeInto(row.line, title(TableColumn::GridRow, gridRow), gridRow, text);
        }
        m_added.push_back({row.line, m_editor.tree().subnet(subnet), cell(row, TableColumn::SlaveAddress),
                           windows1252ToUtf8(m_editor.tree().text(command)), newNode});
    }

    Project m_project;
    ProjectState m_state;
    const CommandTable& m_table;
    ImportOptions m_options;
    ImportPrompter m_prompter;
    Editor m_editor;
    std::vector<ImportedCommand> m_added;
    std::vector<std::string> m_refusals;
};

}  // namespace

CommandImport prepareCommandImport(const Project& project, const ProjectState& state, const CommandTable& table,
                                   const ImportOptions& options) {
    return TableImporter(project, state, table, options).run();
}

bool applyCommandImport(Editor& editor, const CommandImport& import) {
    if (!import.accepted())
        return false;
    // An open edit box belongs to the records being replaced: it is committed to them first.
    editor.commitEdit();
    editor.closeOptionList();
    // The whole import is one step of the undo history.
    Editor::EditStep step(editor, tr(Str::StepImportCommands));
    editor.project() = import.project;
    editor.rebuildTree();
    editor.expandAll();
    editor.markModified();
    return true;
}

}  // namespace veltrane
