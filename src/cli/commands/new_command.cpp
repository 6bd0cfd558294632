// new OUT.chg [--type N] [--model SWITCH]...: a new project as the application makes one, for the
// device type and model switches given, saved.

#include "cli/command_registry.h"
#include "cli/command_support.h"

#include "core/document/document.h"
#include "core/model/project_kind.h"

#include <memory>

namespace veltrane::cli {
namespace {

struct NewArgs {
    std::string output;
    std::int32_t type = device::EtherNetIP;
    std::vector<std::string> switches;
};

CommandRun setUp(CLI::App& command) {
    auto args = std::make_shared<NewArgs>();
    std::vector<std::string> names;
    for (const ModelSwitch& s : modelSwitches())
        names.emplace_back(s.name);
    command.add_option("OUT.chg", args->output, "the project file to write")->required();
    command.add_option("--type", args->type, "the device type, 0 to 7 (default 4, EtherNet/IP)")
        ->type_name("N")
        ->check(CLI::Range(kFirstDeviceType, kLastDeviceType).description(""));
    command.add_option("--model", args->switches, "a model switch to set (repeatable): " + CLI::detail::join(names, ", "))
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false)
        ->type_name("SWITCH")
        ->check(CLI::IsMember(names).description(""));  // the help names them; one line stays short
    return [args] {
        NewProjectKind kind{args->type, {}};
        for (const std::string& name : args->switches)
            kind.flags.*findModelSwitch(name)->flag = true;
        ScriptedPrompter prompter;
        Document document(prompter);
        document.newDocument(kind);
        if (!document.saveDocument(args->output))
            return failure(prompter);
        return 0;
    };
}

const Registration registration("new", "new OUT.chg [--type N] [--model SWITCH]...",
                                "Saves a new project as the application makes one, for a device type and model switches.",
                                setUp);

}  // namespace
}  // namespace veltrane::cli
