#pragma once
// Prints a serial transfer's progress lines as they are done, and its notices.

#include <iosfwd>
#include <vector>

#include "cli/serial_commands.h"
#include "cli/qt_application.h"
#include "core/link/serial/serial_transfer.h"
#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_upload.h"
#include "core/document/document.h"
#include "link/serial_port_stream.h"

#include <string>

namespace veltrane::cli {

class SerialProgressPrinter : public serial::SerialTransferObserver {
public:
    SerialProgressPrinter(bool upload, std::ostream& out, std::ostream& err)
        : m_upload(upload), m_out(out), m_err(err) {}
    void deviceReported(int deviceCode) override;
    void linesDone(const std::vector<int>& lines) override;
    void notice(const Error& message) override;

private:
    bool m_upload;
    std::ostream& m_out;
    std::ostream& m_err;
    serial::StepCaptions m_captions;
};

// The line settings: the options given, the device type's usual ones for the rest.
SerialLineSettings lineSettingsFor(const SerialLineOptions& line, int deviceType);

// Opens the project whose device type selects what the gateway is asked; false when it cannot be
// opened (the document's prompter said why) or belongs to the Ethernet gateway. A project to be
// sent must hold one: an empty file is refused; an upload's base may be empty.
enum class SerialProjectUse { Sent, UploadBase };
bool openSerialProject(Document& document, const std::string& path, SerialProjectUse use, std::ostream& err);
// Opens the gateway's port with the project's line settings; false, with the message printed.
bool openSerialPort(SerialPortStream& port, const SerialLineOptions& line, int deviceType, std::ostream& err);

// Prints the title lines, runs the sequence with its progress printed as the dialog shows it, and
// prints why it stopped; true when it finished.
bool runPrintedTransfer(serial::SerialSequence& sequence, bool upload, SerialPortStream& port, std::ostream& out,
                        std::ostream& err);

}  // namespace veltrane::cli
