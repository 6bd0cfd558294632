// show FILE [--json]: every field of a project file and the values opening it leaves.

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/project_printer.h"

#include "core/document/document.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string path;
        bool json = false;
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->path, "the project file")->required();
    command.add_flag("--json", args->json, "print JSON; each stored byte is the Latin-1 character of its value");
    return [args] {
        ScriptedPrompter prompter;
        Document document(prompter);
        if (!document.openDocument(args->path))
            return failure(prompter);
        std::cout << (args->json ? projectJson(document.project(), document.state())
                                 : projectText(document.project(), document.state()));
        return 0;
    };
}

const Registration registration("show", "show FILE.chg [--json]", "Prints every field of a project file.", setUp);

}  // namespace
}  // namespace veltrane::cli
