// automap FILE [-o OUT] [--answer ok|cancel]: Calculate Mapping Address on a project file.

#include "cli/cli_prompter.h"
#include "cli/command_registry.h"

#include "core/document/document.h"
#include "core/mapping/command_validation.h"
#include "core/mapping/mapping_calculator.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <iostream>

namespace veltrane::cli {
namespace {

constexpr const char* kUsage = "automap FILE.chg [-o OUT.chg] [--answer ok|cancel]";

int usageError() {
    std::cerr << "usage: veltrane-cli " << kUsage << '\n';
    return 2;
}

void printPlacements(const Project& project, const ProjectState& state) {
    for (int k = 0; k < mappedSubnetCount(state); ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        if (!isModbusMasterSubnet(subnet))
            continue;
        for (int i = 0; i < usedCommands(subnet); ++i) {
            const INSTRUCTION& command = subnet.commands[static_cast<std::size_t>(i)];
            std::cout << format(Str::ReportMappedCommand, {decimalText(k + 1), decimalText(i + 1),
                                                           command.mappingAddress, command.byteCount})
                      << '\n';
        }
    }
}

int runAutomap(const std::vector<std::string>& args) {
    std::string input, output;
    Answer answer = Answer::Ok;  // asking for the calculation is the user's OK
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (args[i] == "--answer" && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (value != "ok" && value != "cancel")
                return usageError();
            answer = value == "ok" ? Answer::Ok : Answer::Cancel;
        } else if (input.empty() && !args[i].empty() && args[i][0] != '-') {
            input = args[i];
        } else {
            return usageError();
        }
    }
    if (input.empty())
        return usageError();

    PrintingPrompter prompter({answer});
    Document document(prompter);
    if (!document.openDocument(input))
        return 1;
    switch (runCalculateMappingAddress(document.editor())) {
    case MappingOutcome::Cancelled:
        std::cout << tr(Str::ReportMappingCancelled) << '\n';
        return 1;
    case MappingOutcome::Incomplete:
    case MappingOutcome::OutOfRange:
        return 1;  // the message has been printed; nothing is saved
    case MappingOutcome::Done:
        break;
    }
    printPlacements(document.project(), document.state());
    std::cout << tr(Str::ReportMappingDone) << '\n';
    if (!output.empty() && !document.saveDocument(output))
        return 1;
    return 0;
}

const Registration registration("automap", kUsage, runAutomap);

}  // namespace
}  // namespace veltrane::cli
