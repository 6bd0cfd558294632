// What the serial download and upload share: the line options and the printed progress.

#include "cli/serial_commands.h"
#include "cli/qt_application.h"
#include "cli/serial_progress_printer.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include <QCoreApplication>

#include "core/link/serial/serial_port_choice.h"
#include "core/strings/strings.h"
#include "core/transfer/download_checks.h"
#include "link/gateway_port.h"
#include "link/steady_clock.h"

namespace veltrane::cli {

SerialLineSettings lineSettingsFor(const SerialLineOptions& line, int deviceType) {
    SerialLineSettings settings = serial::defaultLineSettings(deviceType);
    settings.baudRate = line.baudRate.value_or(settings.baudRate);
    settings.parity = line.parity.value_or(settings.parity);
    settings.dataBits = line.dataBits.value_or(settings.dataBits);
    settings.stopBits = line.stopBits.value_or(settings.stopBits);
    return settings;
}

bool openSerialProject(Document& document, const std::string& path, SerialProjectUse use, std::ostream& err) {
    if (!(use == SerialProjectUse::Sent ? openProjectToSend(document, path) : document.openDocument(path)))
        return false;
    if (document.state().DeviceType == device::EtherNetIP) {
        err << tr(Str::SerialProjectIsEthernet) << '\n';
        return false;
    }
    return true;
}

bool openSerialPort(SerialPortStream& port, const SerialLineOptions& line, int deviceType, std::ostream& err) {
    ensureQtCore();
    if (auto opened = openGatewayPort(port, line.port, lineSettingsFor(line, deviceType)); !opened) {
        err << opened.message() << '\n';
        return false;
    }
    return true;
}

bool runPrintedTransfer(serial::SerialSequence& sequence, bool upload, SerialPortStream& port, std::ostream& out,
                        std::ostream& err) {
    out << tr(upload ? Str::SerialUploadingTitle : Str::SerialDownloadingTitle) << '\n'
        << tr(Str::SerialPleaseWait) << '\n'
        << std::flush;
    SteadyClock clock;
    SerialProgressPrinter printer(upload, out, err);
    const serial::SerialTransferResult result = serial::runSerialTransfer(sequence, port, clock, printer);
    if (!result.status) {
        err << result.status.message() << '\n';
        if (!result.status.detail().empty())
            err << result.status.detail() << '\n';
    }
    return result.status.ok();
}

void SerialProgressPrinter::deviceReported(int deviceCode) {
    m_captions = m_upload ? serial::uploadCaptions(deviceCode) : serial::downloadCaptions(deviceCode);
}

void SerialProgressPrinter::linesDone(const std::vector<int>& lines) {
    for (int line : lines) {
        const std::string& caption = line < serial::kStepLines
                                         ? m_captions.steps[static_cast<std::size_t>(line)]
                                         : m_captions.subnets[static_cast<std::size_t>(line - serial::kStepLines)];
        if (!caption.empty())
            m_out << "[done] " << caption << '\n' << std::flush;
    }
}

void SerialProgressPrinter::notice(const Error& message) { m_err << message.message << '\n'; }

}  // namespace veltrane::cli
