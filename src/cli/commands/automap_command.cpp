// automap FILE [-o OUT] [--answer ok|cancel]: Calculate Mapping Address on a project file.

#include "cli/cli_prompter.h"
#include "cli/command_registry.h"

#include "core/document/document.h"
#include "core/mapping/command_validation.h"
#include "core/mapping/mapping_calculator.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <iostream>
#include <memory>

namespace veltrane::cli {
namespace {

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

CommandRun setUp(CLI::App& command) {
    struct Args {
        std::string input, output, answer = "ok";  // asking for the calculation is the user's OK
    };
    auto args = std::make_shared<Args>();
    command.add_option("FILE.chg", args->input, "the project file")->required();
    command.add_option("-o", args->output, "save the result to this file");
    command.add_option("--answer", args->answer, "the answer to the calculation's question")
        ->check(CLI::IsMember({"ok", "cancel"}));
    return [args] {
        PrintingPrompter prompter({args->answer == "ok" ? Answer::Ok : Answer::Cancel});
        Document document(prompter);
        if (!document.openDocument(args->input))
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
        if (!args->output.empty() && !document.saveDocument(args->output))
            return 1;
        return 0;
    };
}

const Registration registration("automap", "automap FILE.chg [-o OUT.chg] [--answer ok|cancel]",
                                "Calculates the mapping addresses of a project.", setUp);

}  // namespace
}  // namespace veltrane::cli
