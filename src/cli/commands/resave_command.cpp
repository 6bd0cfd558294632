// resave IN OUT: opens a project as the application does at start-up and saves it again.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"

namespace veltrane::cli {
namespace {

int runResave(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return usageError("resave IN.chg OUT.chg");
    ScriptedPrompter prompter;
    Document document(prompter);
    if (!document.openDocument(args[0]) || !document.saveDocument(args[1]))
        return failure(prompter);
    return 0;
}

const Registration registration("resave", "resave IN.chg OUT.chg", runResave);

}  // namespace
}  // namespace veltrane::cli
