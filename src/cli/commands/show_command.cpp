// show FILE [--json]: every field of a project file and the values opening it leaves.

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/project_printer.h"

#include "core/document/document.h"

#include <iostream>

namespace veltrane::cli {
namespace {

int runShow(const std::vector<std::string>& args) {
    const char* usage = "show FILE.chg [--json]";
    std::string path;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--json")
            json = true;
        else if (path.empty())
            path = arg;
        else
            return usageError(usage);
    }
    if (path.empty())
        return usageError(usage);
    ScriptedPrompter prompter;
    Document document(prompter);
    if (!document.openDocument(path))
        return failure(prompter);
    std::cout << (json ? projectJson(document.project(), document.state())
                       : projectText(document.project(), document.state()));
    return std::cout.flush() ? 0 : 1;
}

const Registration registration("show", "show FILE.chg [--json]", runShow);

}  // namespace
}  // namespace veltrane::cli
