// download FILE.chg --port PATH [line settings]: writes the project into a serial gateway.

#include "cli/cli_prompter.h"
#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include <iostream>

#include "core/document/document.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "core/transfer/link_session.h"
#include "link/steady_clock.h"

namespace veltrane::cli {

int runSerialDownload(const SerialDownloadOptions& options, std::ostream& out, std::ostream& err) {
    // Messages and the conflict question go to standard error, the question with its answer.
    PrintingPrompter prompter({options.acceptConflicts ? Answer::Yes : Answer::No}, err, true);
    Document document(prompter);
    if (!openSerialProject(document, options.projectPath, err))
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

    out << tr(Str::SerialDownloadingTitle) << '\n' << tr(Str::SerialPleaseWait) << '\n' << std::flush;
    serial::SerialDownload download(project, state);
    SteadyClock clock;
    SerialProgressPrinter printer(false, out, err);
    const serial::SerialTransferResult result = serial::runSerialTransfer(download, port, clock, printer);
    if (!result.status) {
        err << result.status.message() << '\n';
        return 1;
    }
    out << tr(Str::SerialDownloadSuccess) << '\n';
    return out.flush() ? 0 : 1;
}

}  // namespace veltrane::cli
