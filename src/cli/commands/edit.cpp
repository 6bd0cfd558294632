// veltrane-cli edit: runs a list of editing steps through the editor's own operations, exactly as
// clicks in the tree and the grid would, and saves the result.
#include "cli/cli_prompter.h"
#include "cli/command_registry.h"
#include "core/document/command_enabling.h"
#include "core/document/document.h"
#include "core/editor/function_codes.h"
#include "core/editor/select_command.h"
#include "core/editor/tree_paths.h"
#include "core/editor/tree_items.h"
#include "core/common/result.h"
#include "core/common/windows1252.h"
#include "core/mapping/mapping_calculator.h"
#include "core/model/text_value.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {

namespace {

const char* const kUsage =
    "edit FILE|new [-o OUT] [--answer ok|cancel|yes|no]... STEP...\n"
    "      steps, run in order:\n"
    "        --select PATH         select a tree item by its texts, e.g. \"Subnet 1/Node-1/03 Read Holding "
    "Register\";\n"
    "                              TEXT#n picks the n-th of several equal texts\n"
    "        --set \"TITLE=VALUE\"   click the row's value cell, then type VALUE into the edit box or pick "
    "it from\n"
    "                              the option list (\"#ROW=VALUE\" names the row by number)\n"
    "        --add-node  --delete-node  --add-command CODE  --delete-command  --copy-node  --paste-node\n"
    "        --automap             Calculate Mapping Address\n"
    "        --undo  --redo        take back the last change, apply it again (nothing to do is no error)\n"
    "        --print-grid  --print-tree  --print-help TITLE\n"
    "      questions are answered by the --answer flags in order (Cancel/No when they run out);\n"
    "      without -o nothing is saved";

// A step that cannot run; the message follows "veltrane-cli edit: ".
Error stepError(std::string message) { return makeError(ErrorKind::Refused, std::move(message)); }

std::string withoutCarriageReturns(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

Result<ItemId> findPath(const TreeModel& tree, const std::string& path) {
    if (const std::optional<ItemId> item = findItemByPath(tree, path))
        return *item;
    return stepError("no tree item \"" + path + "\"");
}

Result<int> findRow(const ParameterGrid& grid, const std::string& title) {
    if (title.size() > 1 && title[0] == '#' && isCanonical(title.substr(1))) {
        const int row = decimalValue(title.substr(1));
        if (grid.isCell(row, 1))
            return row;
    }
    const int row = grid.findRow(title);
    if (row < 0)
        return stepError("the grid has no row \"" + title + "\"");
    return row;
}

Status setRow(Editor& editor, const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos)
        return stepError("--set needs TITLE=VALUE, got \"" + assignment + "\"");
    const std::string title = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    const Result<int> row = findRow(editor.grid(), title);
    if (!row)
        return row.error();
    editor.onGridClick(*row, 1);
    const GridState& view = editor.view();
    if (view.optionListVisible) {
        for (std::size_t i = 0; i < view.options.size(); ++i) {
            if (windows1252ToUtf8(view.options[i]) == value) {
                editor.commitOption(static_cast<int>(i));
                return {};
            }
        }
        std::string offered;
        for (const std::string& option : view.options)
            offered += (offered.empty() ? "" : ", ") + ("\"" + windows1252ToUtf8(option) + "\"");
        editor.closeOptionList();
        return stepError("\"" + value + "\" is not an option of \"" + title + "\" (" + offered + ")");
    }
    if (!view.editBoxVisible)
        return stepError("\"" + title + "\" cannot be edited here");
    editor.setEditBoxText(value);
    editor.commitEdit();
    return {};
}

void printGrid(const ParameterGrid& grid) {
    for (int row = 0; row < grid.usedRows(); ++row) {
        if (grid.text(row, 0).empty() && grid.text(row, 1).empty())
            continue;
        std::cout << windows1252ToUtf8(grid.text(row, 0)) << " = " << windows1252ToUtf8(grid.text(row, 1))
                  << (grid.colour(row, 1) == GridCellColour::Grey ? "  [read-only]" : "") << '\n';
    }
}

void printTree(const TreeModel& tree) {
    for (ItemId id : tree.allItems()) {
        int depth = 0;
        for (ItemId at = tree.parent(id); at != kNoItem; at = tree.parent(at))
            ++depth;
        std::cout << std::string(static_cast<std::size_t>(2 * depth), ' ') << windows1252ToUtf8(tree.text(id))
                  << (tree.selected() == id ? "  *" : "") << '\n';
    }
}

Status require(bool enabled, const std::string& command) {
    if (!enabled)
        return stepError(command + " is not available for the selected item");
    return {};
}

Status addCommand(Editor& editor, const std::string& code) {
    const int entry = isCanonical(code) || (code.size() == 2 && code[0] == '0')
                          ? entryForFunctionCode(decimalValue(code))
                          : -1;
    if (entry < 0)
        return stepError("\"Select Command\" has no entry for function code \"" + code + "\"");
    if (Status enabled = require(editor.editFlags().addCommand, "Add Command"); !enabled)
        return enabled;
    selectCommandActivated(editor, entry);
    return {};
}

Answer parseAnswer(const std::string& text) {
    if (text == "ok")
        return Answer::Ok;
    if (text == "cancel")
        return Answer::Cancel;
    return text == "yes" ? Answer::Yes : Answer::No;
}

// Runs an edit once the command it stands for is enabled, as a disabled menu entry would refuse it.
template <typename Edit>
Status whenEnabled(bool enabled, const std::string& command, Edit&& edit) {
    if (Status allowed = require(enabled, command); !allowed)
        return allowed;
    edit();
    return {};
}

Status runStep(Editor& editor, const std::string& step, const std::string& value) {
    if (step == "--select") {
        const Result<ItemId> item = findPath(editor.tree(), value);
        if (!item)
            return item.error();
        editor.selectItem(*item);
        return {};
    }
    if (step == "--set")
        return setRow(editor, value);
    if (step == "--add-node")
        return whenEnabled(editor.editFlags().addNode, "Add Node", [&] { editor.addNode(); });
    if (step == "--delete-node")
        return whenEnabled(editor.editFlags().deleteNode, "Delete Node", [&] { editor.deleteNode(); });
    if (step == "--add-command")
        return addCommand(editor, value);
    if (step == "--delete-command")
        return whenEnabled(editor.editFlags().deleteCommand, "Delete Command", [&] { editor.deleteCommand(); });
    if (step == "--copy-node")
        return whenEnabled(editor.canCopyNode(), "Copy Node", [&] { editor.copyNode(); });
    if (step == "--paste-node")
        return whenEnabled(editor.canPasteNode(), "Paste Node", [&] { editor.pasteNode(); });
    if (step == "--automap")
        return whenEnabled(evaluateCommandEnabling(editor).calculateMapping, "Calculate Mapping Address",
                           [&] { runCalculateMappingAddress(editor); });
    if (step == "--undo") {
        editor.undo();
        return {};
    }
    if (step == "--redo") {
        editor.redo();
        return {};
    }
    if (step == "--print-grid") {
        printGrid(editor.grid());
    } else if (step == "--print-tree") {
        printTree(editor.tree());
    } else if (step == "--print-help") {
        const Result<int> row = findRow(editor.grid(), value);
        if (!row)
            return row.error();
        editor.onGridClick(*row, 0);
        std::cout << withoutCarriageReturns(editor.helpText()) << '\n';
    } else {
        return stepError("unknown step \"" + step + "\"");
    }
    return {};
}

// The steps as options of the command line, in the order the steps are given.
void declareSteps(CLI::App& command) {
    addRepeatable(command, "--select", "select a tree item by its texts");
    addRepeatable(command, "--set", "set a grid row: \"TITLE=VALUE\" or \"#ROW=VALUE\"");
    addRepeatable(command, "--add-command", "add a command of this function code to the selected node");
    addRepeatable(command, "--print-help", "print the help of a grid row");
    for (const char* flag : {"--add-node", "--delete-node", "--delete-command", "--copy-node", "--paste-node",
                             "--automap", "--undo", "--redo", "--print-grid", "--print-tree"})
        command.add_flag(flag)->description("a step without a value");
}

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string project, output;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE", args->project, "the project file, or \"new\" for a new project")->required();
    command.add_option("-o", args->output, "save the result to this file (without it nothing is saved)");
    addRepeatable(command, "--answer", "the answer to the next question")
        ->check(CLI::IsMember({"ok", "cancel", "yes", "no"}));
    declareSteps(command);
    return [args, &command] {
        std::vector<Answer> answers;
        std::vector<std::pair<std::string, std::string>> steps;
        forEachInOrder(command, [&](const CLI::Option& option, const std::string& value) {
            const std::string name = option.get_name();
            if (name == "--answer")
                answers.push_back(parseAnswer(value));
            else if (name != "-o")
                steps.emplace_back(name, value);
        });

        PrintingPrompter prompter(answers);
        Document document(prompter);
        document.newDocument();
        if (args->project != "new" && !document.openDocument(args->project))
            return 1;
        Editor& editor = document.editor();
        for (const auto& [step, value] : steps) {
            if (const Status done = runStep(editor, step, value); !done) {
                std::cerr << "veltrane-cli edit: " << done.message() << '\n';
                return 1;
            }
        }
        // Leaving the editor commits whatever is still open.
        editor.commitEdit();
        if (!args->output.empty() && !document.saveDocument(args->output))
            return 1;
        return 0;
    };
}

const Registration registration("edit", kUsage, "Runs editing steps on a project, as clicks in the editor would.", setUp);

} // namespace

} // namespace veltrane::cli
