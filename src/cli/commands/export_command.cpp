// export FILE OUT.xlsx [--template PATH]: the Excel export of a project file into a workbook made
// from the template (by default the one installed beside the program).

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "xlsx/workbook_export.h"

#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string project, workbook, templatePath;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->project, "the project file")->required();
    command.add_option("OUT.xlsx", args->workbook, "the workbook to write")->required();
    command.add_option("--template", args->templatePath, "the template workbook (default: the one installed with the program)");
    return [args] {
        const QString templatePath =
            args->templatePath.empty() ? installedTemplatePath() : QString::fromStdString(args->templatePath);
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->project))
            return failure(prompter);
        const Status exported = exportWorkbook(document.project(), document.state(), templatePath,
                                               QString::fromStdString(args->workbook));
        if (!exported) {
            prompter.message(exported.message());
            return failure(prompter);
        }
        return 0;
    };
}

const Registration registration("export", "export FILE.chg OUT.xlsx [--template TEMPLATE.xlsx]",
                                "Exports an EtherNet/IP project into an Excel workbook.", setUp);

}  // namespace
}  // namespace veltrane::cli
