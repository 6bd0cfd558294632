// compare FILE.chg --port PATH [line settings]: what a serial gateway holds against the project.

#include "cli/cli_prompter.h"
#include "cli/difference_printer.h"
#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include "core/compare/gateway_comparison.h"
#include "core/document/document.h"

#include <iostream>

namespace veltrane::cli {

int runSerialCompare(const SerialCompareOptions& options, std::ostream& out, std::ostream& err) {
    // Standard output holds only the list, so progress and messages go to standard error.
    PrintingPrompter prompter({}, err);
    Document document(prompter);
    if (!openSerialProject(document, options.projectPath, SerialProjectUse::Sent, err))
        return kCompareTrouble;
    const ProjectState& state = document.state();
    SerialPortStream port;
    if (!openSerialPort(port, options.line, state.DeviceType, err))
        return kCompareTrouble;
    serial::SerialUpload upload(state);
    if (!runPrintedTransfer(upload, true, port, err, err))
        return kCompareTrouble;
    const auto differences = compareWithSerialGateway(document.project(), state, upload);
    printDifferences(differences, options.json, out);
    if (!out.flush())
        return kCompareTrouble;
    return differences.empty() ? 0 : 1;
}

}  // namespace veltrane::cli
