// veltrane-cli edit: runs a list of editing steps through the editor's own operations, exactly as
// clicks in the tree and the grid would, and saves the result.
#include "cli/cli_prompter.h"
#include "cli/command_registry.h"
#include "core/document/document.h"
#include "core/editor/function_codes.h"
#include "core/editor/select_command.h"
#include "core/editor/tree_items.h"
#include "core/model/text_value.h"

#include <iostream>
#include <optional>
#include <stdexcept>

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
    "        --print-grid  --print-tree  --print-help TITLE\n"
    "      questions are answered by the --answer flags in order (Cancel/No when they run out);\n"
    "      without -o nothing is saved";

struct StepError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string withoutCarriageReturns(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

ItemId findPath(const TreeModel& tree, const std::string& path) {
    ItemId at = kNoItem;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t slash = path.find('/', begin);
        std::string segment =
            path.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin);
        int wanted = 1;
        const std::size_t hash = segment.rfind('#');
        if (hash != std::string::npos && hash + 1 < segment.size() && isCanonical(segment.substr(hash + 1))) {
            wanted = decimalValue(segment.substr(hash + 1));
            segment.erase(hash);
        }
        ItemId found = kNoItem;
        int seen = 0;
        for (ItemId child : tree.children(at)) {
            if (tree.text(child) == segment && ++seen == wanted) {
                found = child;
                break;
            }
        }
        if (found == kNoItem)
            throw StepError("no tree item \"" + path + "\"");
        at = found;
        if (slash == std::string::npos)
            break;
        begin = slash + 1;
    }
    return at;
}

int findRow(const ParameterGrid& grid, const std::string& title) {
    if (title.size() > 1 && title[0] == '#' && isCanonical(title.substr(1))) {
        const int row = decimalValue(title.substr(1));
        if (grid.isCell(row, 1))
            return row;
    }
    const int row = grid.findRow(title);
    if (row < 0)
        throw StepError("the grid has no row \"" + title + "\"");
    return row;
}

void setRow(Editor& editor, const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos)
        throw StepError("--set needs TITLE=VALUE, got \"" + assignment + "\"");
    const std::string title = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    const int row = findRow(editor.grid(), title);
    editor.onGridClick(row, 1);
    const GridState& view = editor.view();
    if (view.optionListVisible) {
        for (std::size_t i = 0; i < view.options.size(); ++i) {
            if (view.options[i] == value) {
                editor.commitOption(static_cast<int>(i));
                return;
            }
        }
        std::string offered;
        for (const std::string& option : view.options)
            offered += (offered.empty() ? "" : ", ") + ("\"" + option + "\"");
        editor.closeOptionList();
        throw StepError("\"" + value + "\" is not an option of \"" + title + "\" (" + offered + ")");
    }
    if (!view.editBoxVisible)
        throw StepError("\"" + title + "\" cannot be edited here");
    editor.setEditBoxText(value);
    editor.commitEdit();
}

void printGrid(const ParameterGrid& grid) {
    for (int row = 0; row < grid.usedRows(); ++row) {
        if (grid.text(row, 0).empty() && grid.text(row, 1).empty())
            continue;
        std::cout << grid.text(row, 0) << " = " << grid.text(row, 1)
                  << (grid.colour(row, 1) == GridCellColour::Grey ? "  [read-only]" : "") << '\n';
    }
}

void printTree(const TreeModel& tree) {
    for (ItemId id : tree.allItems()) {
        int depth = 0;
        for (ItemId at = tree.parent(id); at != kNoItem; at = tree.parent(at))
            ++depth;
        std::cout << std::string(static_cast<std::size_t>(2 * depth), ' ') << tree.text(id)
                  << (tree.selected() == id ? "  *" : "") << '\n';
    }
}

void require(bool enabled, const std::string& command) {
    if (!enabled)
        throw StepError(command + " is not available for the selected item");
}

void addCommand(Editor& editor, const std::string& code) {
    const int entry = isCanonical(code) || (code.size() == 2 && code[0] == '0')
                          ? entryForFunctionCode(decimalValue(code))
                          : -1;
    if (entry < 0)
        throw StepError("\"Select Command\" has no entry for function code \"" + code + "\"");
    require(editor.editFlags().addCommand, "Add Command");
    selectCommandActivated(editor, entry);
}

std::optional<Answer> parseAnswer(const std::string& text) {
    if (text == "ok")
        return Answer::Ok;
    if (text == "cancel")
        return Answer::Cancel;
    if (text == "yes")
        return Answer::Yes;
    if (text == "no")
        return Answer::No;
    return std::nullopt;
}

void runStep(Editor& editor, const std::string& step, const std::string& value) {
    if (step == "--select") {
        editor.selectItem(findPath(editor.tree(), value));
    } else if (step == "--set") {
        setRow(editor, value);
    } else if (step == "--add-node") {
        require(editor.editFlags().addNode, "Add Node");
        editor.addNode();
    } else if (step == "--delete-node") {
        require(editor.editFlags().deleteNode, "Delete Node");
        editor.deleteNode();
    } else if (step == "--add-command") {
        addCommand(editor, value);
    } else if (step == "--delete-command") {
        require(editor.editFlags().deleteCommand, "Delete Command");
        editor.deleteCommand();
    } else if (step == "--copy-node") {
        require(editor.canCopyNode(), "Copy Node");
        editor.copyNode();
    } else if (step == "--paste-node") {
        require(editor.canPasteNode(), "Paste Node");
        editor.pasteNode();
    } else if (step == "--print-grid") {
        printGrid(editor.grid());
    } else if (step == "--print-tree") {
        printTree(editor.tree());
    } else if (step == "--print-help") {
        editor.onGridClick(findRow(editor.grid(), value), 0);
        std::cout << withoutCarriageReturns(editor.helpText()) << '\n';
    } else {
        throw StepError("unknown step \"" + step + "\"");
    }
}

int runEdit(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << "usage: veltrane-cli " << kUsage << '\n';
        return 2;
    }
    // Flags that take a value; everything else starting with "--" is a step without one.
    const auto takesValue = [](const std::string& flag) {
        return flag == "-o" || flag == "--answer" || flag == "--select" || flag == "--set" ||
               flag == "--add-command" || flag == "--print-help";
    };
    std::string output;
    std::vector<Answer> answers;
    std::vector<std::pair<std::string, std::string>> steps;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& flag = args[i];
        std::string value;
        if (takesValue(flag)) {
            if (i + 1 >= args.size()) {
                std::cerr << "veltrane-cli edit: " << flag << " needs a value\n";
                return 2;
            }
            value = args[++i];
        }
        if (flag == "-o") {
            output = value;
        } else if (flag == "--answer") {
            const std::optional<Answer> answer = parseAnswer(value);
            if (!answer) {
                std::cerr << "veltrane-cli edit: --answer takes ok, cancel, yes or no\n";
                return 2;
            }
            answers.push_back(*answer);
        } else if (flag.rfind("--", 0) == 0) {
            steps.emplace_back(flag, value);
        } else {
            std::cerr << "veltrane-cli edit: unexpected argument \"" << flag << "\"\n";
            return 2;
        }
    }

    PrintingPrompter prompter(answers);
    Document document(prompter);
    if (args[0] == "new") {
        document.newDocument();
    } else {
        document.newDocument();
        if (!document.openDocument(args[0]))
            return 1;
    }
    Editor& editor = document.editor();
    try {
        for (const auto& [step, value] : steps)
            runStep(editor, step, value);
        // Leaving the editor commits whatever is still open.
        editor.commitEdit();
    } catch (const StepError& error) {
        std::cerr << "veltrane-cli edit: " << error.what() << '\n';
        return 1;
    }
    if (!output.empty() && !document.saveDocument(output))
        return 1;
    return 0;
}

const Registration registration("edit", kUsage, runEdit);

} // namespace

} // namespace veltrane::cli
