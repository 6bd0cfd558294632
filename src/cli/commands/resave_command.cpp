// resave IN OUT: opens a project as the application does at start-up and saves it again.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"

#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string input, output;
    };
    auto args = std::make_shared<Args>();
    command.add_option("IN.chg", args->input, "the project file to open")->required();
    command.add_option("OUT.chg", args->output, "the project file to write")->required();
    return [args] {
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->input) || !document.saveDocument(args->output))
            return failure(prompter);
        return 0;
    };
}

const Registration registration("resave", "resave IN.chg OUT.chg", "Opens a project and saves it again.", setUp);

}  // namespace
}  // namespace veltrane::cli
