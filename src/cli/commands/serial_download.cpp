// download FILE.chg --port PATH [line settings]: writes the project into a serial gateway.

#include "cli/cli_prompter.h"
#include "cli/difference_printer.h"
#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include <iostream>

#include "core/compare/gateway_comparison.h"
#include "core/document/document.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/link_session.h"

namespace veltrane::cli {

int runSerialDownload(const SerialDownloadOptions& options, std::ostream& out, std::ostream& err) {
    // Messages and the conflict question go to standard error, the question with its answer.
    PrintingPrompter prompter({options.acceptConflicts ? Answer::Yes : Answer::No}, err, true);
    Document document(prompter);
    if (!openSerialProject(document, options.projectPath, SerialProjectUse::Sent, err))
        return 1;
    Project& project = document.project();
    const ProjectState& state = document.state();
    if (!serialDownloadMayOpen(project, state, prompter))
        return 1;
    SerialPortStream port;
    if (!openSerialPort(port, options.line, state.DeviceType, err))
        return 1;
    LinkSession session;
    if (!prepareSerialDownload(project, state, prompter, session.conflicts))
        return 1;

    serial::SerialDownload download(project, state);
    if (!runPrintedTransfer(download, false, port, out, err))
        return 1;
    out << tr(Str::SerialDownloadSuccess) << '\n';
    if (options.verify) {
        serial::SerialUpload readBack(state);
        if (!runPrintedTransfer(readBack, true, port, out, err))
            return 1;
        const auto differences = compareWithSerialGateway(project, state, readBack);
        if (!differences.empty()) {
            err << kReadBackDiffers << '\n';
            printDifferences(differences, false, out);
            out.flush();
            return kWrittenButDifferent;
        }
    }
    return out.flush() ? 0 : 1;
}

}  // namespace veltrane::cli
