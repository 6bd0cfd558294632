// download FILE.chg --port PATH [line settings]: writes the project into a serial gateway.

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include <iostream>

#include "core/document/document.h"
#include "core/editor/completeness_check.h"
#include "core/mapping/conflict_check.h"
#include "core/strings/strings.h"
#include "link/gateway_port.h"
#include "link/steady_clock.h"

namespace veltrane::cli {

namespace {

void printShown(const ScriptedPrompter& prompter, std::ostream& err) {
    for (const std::string& text : prompter.shown())
        err << text << '\n';
}
}  // namespace

int runSerialDownload(const SerialDownloadOptions& options, std::ostream& out, std::ostream& err) {
    ScriptedPrompter prompter;
    Document document(prompter);
    if (!openSerialProject(document, prompter, options.projectPath, err))
        return 1;
    Project& project = document.project();
    const ProjectState& state = document.state();
    const CompletenessResult complete = checkConfiguration(project, state);
    if (!complete.complete) {
        if (!complete.report.empty())
            err << complete.report << '\n';
        err << tr(Str::DlConfigurationIncomplete) << '\n';
        return 1;
    }

    SerialPortStream port;
    if (!openSerialPort(port, options.line, state.DeviceType, err))
        return 1;
    if (auto ready = serial::checkDownloadPreconditions(project, state); !ready) {
        err << ready.message() << '\n';
        return 1;
    }
    MappingConflictState conflicts;
    checkMappingConflicts(project, state, prompter, conflicts);
    printShown(prompter, err);
    if (conflicts.MappingConflictFound) {
        err << tr(Str::DlMappingConflictQuestion) << (options.acceptConflicts ? " Yes\n" : " No\n");
        if (!options.acceptConflicts)
            return 1;
    }

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
