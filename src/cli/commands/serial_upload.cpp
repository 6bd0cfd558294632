// upload --port PATH [--into BASE.chg] -o OUT.chg [line settings]: reads a serial gateway's
// configuration into a new project file, over the base project or a new project of the gateway's type.

#include "cli/cli_prompter.h"
#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include <iostream>

#include "core/document/document.h"
#include "core/model/file_io.h"
#include "core/strings/strings.h"
#include "core/transfer/upload_adoption.h"

namespace veltrane::cli {

int runSerialUpload(const SerialUploadOptions& options, std::ostream& out, std::ostream& err) {
    PrintingPrompter prompter({}, err);
    Document document(prompter);
    if (options.basePath) {
        if (!openSerialProject(document, *options.basePath, SerialProjectUse::UploadBase, err))
            return 1;
    } else {
        // The line settings and the reading start as for the most usual serial gateway; the
        // gateway's own type takes over once it has told it.
        document.newDocument(NewProjectKind{device::DeviceNet, {}});
    }
    // An output that could never be saved is told before the gateway is read.
    if (const Status usable = checkSaveTarget(options.outputPath); !usable) {
        prompter.message(usable.message());
        return 1;
    }
    const ProjectState state = document.state();
    SerialPortStream port;
    if (!openSerialPort(port, options.line, state.DeviceType, err))
        return 1;
    serial::SerialUpload upload(state, options.basePath ? serial::SerialUpload::Base::OpenProject
                                                        : serial::SerialUpload::Base::GatewayType);
    if (!runPrintedTransfer(upload, true, port, out, err))
        return 1;
    adoptSerialUpload(document, upload, options.line.port);
    if (!document.saveDocument(options.outputPath))
        return 1;
    out << tr(Str::SerialUploadSuccess) << '\n' << serialUploadNotCarried() << '\n';
    return out.flush() ? 0 : 1;
}

}  // namespace veltrane::cli
