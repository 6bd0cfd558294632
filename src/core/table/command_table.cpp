#include "core/table/command_table.h"
#include "core/common/windows1252.h"

#include "core/editor/editor.h"
#include "core/editor/row_provider.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace veltrane {

namespace {

// The grid rows that the table's own columns stand for, and those holding numbers.
constexpr int kSlaveAddressRow = 0;
constexpr int kFunctionCodeRow = 1;
constexpr int kStartingAddressRow = 2;
constexpr int kMappingAddressRow = 4;
constexpr int kMappingBitRow = 5;

// A number stored with leading zeros ("0010", "00A0" shown as "00A0H") is exported without them,
// the form typing accepts for the same value; any other text as the grid shows it.
std::string exportedValue(int gridRow, const std::string& shown) {
    const auto stripped = [](const std::string& digits, bool hex) {
        const bool number = !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](unsigned char c) {
            return (hex ? std::isxdigit(c) : std::isdigit(c)) != 0;
        });
        if (!number)
            return std::optional<std::string>();
        const std::size_t first = digits.find_first_not_of('0');
        return std::optional<std::string>(first == std::string::npos ? "0" : digits.substr(first));
    };
    if (gridRow == kMappingAddressRow && shown.size() > 1 && (shown.back() == 'H' || shown.back() == 'h')) {
        const std::optional<std::string> digits = stripped(shown.substr(0, shown.size() - 1), true);
        return digits ? *digits + shown.back() : shown;
    }
    if (gridRow >= kStartingAddressRow && gridRow <= kMappingBitRow && gridRow != kMappingAddressRow)
        return stripped(shown, false).value_or(shown);
    return shown;
}

// A title as it is compared: lower case, bracketed parts gone, blanks trimmed and single.
std::string titleKey(const std::string& title) {
    std::string out;
    int depth = 0;
    bool blank = false;
    for (char c : title) {
        if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
        } else if (depth == 0) {
            if (std::isspace(static_cast<unsigned char>(c))) {
                blank = !out.empty();
            } else {
                if (blank)
                    out += ' ';
                blank = false;
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
    }
    return out;
}

std::map<std::string, ColumnRole> knownColumns() {
    std::map<std::string, ColumnRole> known;
    known[titleKey(tr(Str::TableSubnet))] = {TableColumn::Subnet, -1, {}};
    known[titleKey(tr(Str::TableSlaveAddress))] = {TableColumn::SlaveAddress, kSlaveAddressRow, {}};
    known[titleKey(tr(Str::RowFunctionCode))] = {TableColumn::FunctionCode, kFunctionCodeRow, {}};
    // Both kinds of gateway name the filter / swap row; either title stands for it.
    for (const bool filter : {false, true}) {
        ProjectState state;
        state.flags.dataFilterModel = filter;
        const std::vector<std::string> titles = commandRowTitles(state);
        for (int row = kFunctionCodeRow + 1; row < static_cast<int>(titles.size()); ++row)
            known[titleKey(titles[static_cast<std::size_t>(row)])] = {TableColumn::GridRow, row, {}};
    }
    return known;
}

}  // namespace

std::string refusalText(int line, const std::string& column, const std::string& message) {
    return format(Str::TableRefusal, {std::to_string(line), column, message});
}

std::vector<std::string> commandTableHeader(const ProjectState& state) {
    std::vector<std::string> header{tr(Str::TableSubnet), tr(Str::TableSlaveAddress), tr(Str::RowFunctionCode)};
    const std::vector<std::string> titles = commandRowTitles(state);
    header.insert(header.end(), titles.begin() + kFunctionCodeRow + 1, titles.end());
    return header;
}

std::vector<std::vector<std::string>> exportCommandTable(const Project& project, const ProjectState& state) {
    // The grid's texts come from the grid itself, shown over a copy so that nothing is touched.
    Project copy = project;
    ProjectState copyState = state;
    copyState.ProjectPrepared = true;
    ScriptedPrompter prompter;
    Editor editor(copy, copyState, prompter);
    editor.rebuildTree();

    std::vector<std::vector<std::string>> table{commandTableHeader(state)};
    const std::size_t rowCount = table.front().size() - 1;  // the Subnet column is no grid row
    for (ItemId subnetItem : editor.tree().topLevel()) {
        if (editor.tree().kind(subnetItem) != ItemKind::Subnet)
            continue;
        std::vector<ItemId> commands;
        for (ItemId node : editor.tree().children(subnetItem))
            for (ItemId command : editor.tree().children(node))
                commands.push_back(command);
        std::sort(commands.begin(), commands.end(),
                  [&](ItemId a, ItemId b) { return editor.tree().data(a) < editor.tree().data(b); });
        for (ItemId command : commands) {
            editor.selectItem(command);
            std::vector<std::string> row{std::to_string(editor.tree().subnet(subnetItem))};
            for (int r = 0; r < static_cast<int>(rowCount); ++r)
                row.push_back(windows1252ToUtf8(exportedValue(r, editor.grid().text(r, 1))));
            table.push_back(std::move(row));
        }
    }
    return table;
}

Result<CommandTable> readCommandTable(std::vector<TableRow> rows) {
    if (rows.empty())
        return makeError(ErrorKind::Format, tr(Str::TableEmpty));
    const std::map<std::string, ColumnRole> known = knownColumns();
    CommandTable table;
    std::string problems;
    const auto problem = [&](const std::string& text) { problems += (problems.empty() ? "" : "\n") + text; };
    std::map<std::string, bool> seen;
    const TableRow& header = rows.front();
    for (const std::string& title : header.cells) {
        const std::string key = titleKey(title);
        const auto found = known.find(key);
        if (found == known.end()) {
            problem(refusalText(header.line, title, tr(Str::TableUnknownColumn)));
            table.columns.push_back({TableColumn::GridRow, -1, title});
            continue;
        }
        ColumnRole role = found->second;
        role.title = title;
        const std::string roleKey = std::to_string(static_cast<int>(role.kind)) + "/" + std::to_string(role.gridRow);
        if (seen[roleKey])
            problem(refusalText(header.line, title, tr(Str::TableRepeatedColumn)));
        seen[roleKey] = true;
        table.columns.push_back(std::move(role));
    }
    for (const Str own : {Str::TableSubnet, Str::TableSlaveAddress, Str::RowFunctionCode}) {
        const ColumnRole& role = known.at(titleKey(tr(own)));
        const std::string roleKey = std::to_string(static_cast<int>(role.kind)) + "/" + std::to_string(role.gridRow);
        if (!seen[roleKey])
            problem(format(Str::TableMissingColumn, {tr(own)}));
    }
    if (!problems.empty())
        return makeError(ErrorKind::Format, problems);
    table.rows.assign(std::make_move_iterator(rows.begin() + 1), std::make_move_iterator(rows.end()));
    return table;
}

}  // namespace veltrane
