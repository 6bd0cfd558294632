// commands FILE [-o OUT.csv|OUT.xlsx]: the project's commands as a table, one row per command.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "core/table/command_table.h"
#include "core/table/csv_reader.h"
#include "xlsx/table_workbook.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string path, output;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->path, "the project file")->required();
    command.add_option("-o", args->output, "write the table to this file (.xlsx: a workbook, else CSV)");
    return [args] {
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->path))
            return failure(prompter);
        const auto table = exportCommandTable(document.project(), document.state());
        if (args->output.empty()) {
            std::cout << writeCsv(table);
            return 0;
        }
        if (const Status written = xlsx::writeTableFile(args->output, table); !written) {
            std::cerr << written.message() << '\n';
            return 1;
        }
        return 0;
    };
}

const Registration registration("commands", "commands FILE.chg [-o OUT.csv|OUT.xlsx]",
                                "Prints or writes a project's commands as a table.", setUp);

}  // namespace
}  // namespace veltrane::cli
