#pragma once
// Importing a command table: each row adds a command to the node of its slave address on its
// subnet, and each cell is entered as typing it into the command grid would enter it, through the
// editor's own operations, over a copy of the project. The copy becomes the project in one step,
// and only when no cell was refused.

#include "core/editor/editor.h"
#include "core/interaction/prompter.h"
#include "core/table/command_table.h"

#include <string>
#include <vector>

namespace veltrane {

struct ImportOptions {
    bool replace = false;                    // the named subnets lose their nodes and commands first
    Answer conversionAnswer = Answer::Cancel;  // the answer to every question a row rule asks
};

// A command the import adds, for a preview.
struct ImportedCommand {
    int line = 0;
    int subnet = 0;  // 1-based
    std::string slaveAddress;
    std::string command;  // the tree's text of the command
    bool newNode = false;
};

struct CommandImport {
    Project project;  // the project as the import leaves it
    std::vector<ImportedCommand> added;
    std::vector<std::string> refusals;  // "line N, COLUMN: message", in table order
    bool accepted() const { return refusals.empty(); }
};

// Runs the whole table over a copy of the project; the project itself is not touched.
CommandImport prepareCommandImport(const Project& project, const ProjectState& state, const CommandTable& table,
                                   const ImportOptions& options);

// Makes an accepted import the editor's project as one edit: the tree is rebuilt and the project
// is marked modified. An import with refusals changes nothing and returns false.
bool applyCommandImport(Editor& editor, const CommandImport& import);

}  // namespace veltrane
