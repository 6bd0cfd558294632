// check FILE: the completeness check a serial download runs first. Prints the report and exits
// with 1 when the project is not complete, 0 when it is.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "core/editor/completeness_check.h"
#include "core/strings/strings.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    command.add_option("FILE.chg", *path, "the project file")->required();
    return [path] {
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(*path))
            return failure(prompter);
        // The check brings the byte counts up to date in memory only; the file is left as it is.
        const CompletenessResult result = checkConfiguration(document.project(), document.state());
        if (result.complete) {
            std::cout << tr(Str::CheckComplete) << '\n';
            return 0;
        }
        if (!result.report.empty())
            std::cout << result.report << '\n';
        // What the download shows after every refusal, also after one without a report of its own.
        std::cout << tr(Str::CheckNotComplete) << '\n';
        return 1;
    };
}

const Registration registration("check", "check FILE.chg", "Runs the completeness check of a download.", setUp);

}  // namespace
}  // namespace veltrane::cli
