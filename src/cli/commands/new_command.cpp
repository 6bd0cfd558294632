// new OUT.chg: a new project exactly as the application starts one, saved.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"

namespace veltrane::cli {
namespace {

int runNew(const std::vector<std::string>& args) {
    if (args.size() != 1)
        return usageError("new OUT.chg");
    ScriptedPrompter prompter;
    Document document(prompter);
    document.newDocument();
    if (!document.saveDocument(args[0]))
        return failure(prompter);
    return 0;
}

const Registration registration("new", "new OUT.chg", runNew);

}  // namespace
}  // namespace veltrane::cli
