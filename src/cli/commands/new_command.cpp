// new OUT.chg: a new project exactly as the application starts one, saved.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"

#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    auto output = std::make_shared<std::string>();
    command.add_option("OUT.chg", *output, "the project file to write")->required();
    return [output] {
        ScriptedPrompter prompter;
        Document document(prompter);
        document.newDocument();
        if (!document.saveDocument(*output))
            return failure(prompter);
        return 0;
    };
}

const Registration registration("new", "new OUT.chg", "Saves a new project as the application starts one.", setUp);

}  // namespace
}  // namespace veltrane::cli
