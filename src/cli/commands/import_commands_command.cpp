// import-commands FILE TABLE [--replace] [--answer ok|cancel] -o OUT: adds a table's commands to a
// project as typing them into the grid would, all or nothing.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "core/table/command_import.h"
#include "xlsx/table_workbook.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string project, table, output, answer = "cancel";
        bool replace = false;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->project, "the project file")->required();
    command.add_option("TABLE", args->table, "the table (.csv or .xlsx)")->required();
    command.add_option("-o", args->output, "the project file to write")->required();
    command.add_flag("--replace", args->replace, "remove the named subnets' nodes and commands first");
    command.add_option("--answer", args->answer, "the answer to the PLC address question (cancel when not given)")
        ->check(CLI::IsMember({"ok", "cancel"}));
    return [args] {
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->project))
            return failure(prompter);
        const Result<std::vector<TableRow>> rows = xlsx::readTableFile(args->table);
        if (!rows) {
            std::cerr << rows.message() << '\n';
            return 1;
        }
        const Result<CommandTable> table = readCommandTable(*rows);
        if (!table) {
            std::cerr << table.message() << '\n';
            return 1;
        }
        const ImportOptions options{args->replace, args->answer == "ok" ? Answer::Ok : Answer::Cancel};
        const CommandImport import = prepareCommandImport(document.project(), document.state(), *table, options);
        for (const std::string& refusal : import.refusals)
            std::cerr << refusal << '\n';
        if (!applyCommandImport(document.editor(), import))
            return 1;
        if (!document.saveDocument(args->output))
            return failure(prompter);
        return 0;
    };
}

const Registration registration("import-commands",
                                "import-commands FILE.chg TABLE.csv|TABLE.xlsx [--replace] [--answer ok|cancel] -o OUT.chg",
                                "Adds the commands of a table to a project.", setUp);

}  // namespace
}  // namespace veltrane::cli
