// export FILE OUT.xlsx [--template PATH]: the Excel export of a project file into a workbook made
// from the template (by default the one installed beside the program).

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "xlsx/workbook_export.h"

namespace veltrane::cli {
namespace {

constexpr const char* kUsage = "export FILE.chg OUT.xlsx [--template TEMPLATE.xlsx]";

int runExport(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    QString templatePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--template" && i + 1 < args.size())
            templatePath = QString::fromStdString(args[++i]);
        else if (args[i].starts_with("--"))
            return usageError(kUsage);
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 2)
        return usageError(kUsage);
    if (templatePath.isEmpty())
        templatePath = installedTemplatePath();

    ScriptedPrompter prompter;
    Document document(prompter);
    if (!document.openDocument(positional[0]))
        return failure(prompter);
    const std::string error =
        exportWorkbook(document.project(), document.state(), templatePath, QString::fromStdString(positional[1]));
    if (!error.empty()) {
        prompter.message(error);
        return failure(prompter);
    }
    return 0;
}

const Registration registration("export", kUsage, runExport);

}  // namespace
}  // namespace veltrane::cli
