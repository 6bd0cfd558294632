// What the serial download and upload share: the line options and the printed progress.

#include "cli/serial_commands.h"
#include "cli/serial_progress_printer.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include <QCoreApplication>

#include "core/link/serial/serial_port_choice.h"

namespace veltrane::cli {

namespace {
bool readNumber(const std::string& text, int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}
}  // namespace

bool parseSerialLineOption(const std::vector<std::string>& args, std::size_t& i, SerialLineOptions& line,
                           std::string& error) {
    const std::string& arg = args[i];
    if (arg != "--port" && arg != "--baud" && arg != "--parity" && arg != "--data-bits" && arg != "--stop-bits")
        return false;
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return true;
    }
    const std::string& value = args[++i];
    int number = 0;
    if (arg == "--port") {
        line.port = value;
    } else if (arg == "--parity") {
        line.parity = serial::parityFromName(value);
        if (!line.parity)
            error = "bad parity " + value + " (none, odd, even, mark, space)";
    } else if (!readNumber(value, number)) {
        error = "bad value for " + arg + ": " + value;
    } else if (arg == "--baud") {
        if (std::find(serial::kBaudRates.begin(), serial::kBaudRates.end(), number) == serial::kBaudRates.end())
            error = "baud rate must be one of 300, 600, 1200, 2400, 4800, 9600, 19200, 115200";
        line.baudRate = number;
    } else if (arg == "--data-bits") {
        if (number < 5 || number > 8)
            error = "data bits must be 5 to 8";
        line.dataBits = number;
    } else {
        if (number != 1 && number != 2)
            error = "stop bits must be 1 or 2";
        line.stopBits = number;
    }
    return true;
}

void ensureQtCore() {
    if (QCoreApplication::instance() != nullptr)
        return;
    // Qt's serial port expects an application object; one for the rest of the process.
    static int argc = 1;
    static char name[] = "veltrane-cli";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

SerialLineSettings lineSettingsFor(const SerialLineOptions& line, int deviceType) {
    SerialLineSettings settings = serial::defaultLineSettings(deviceType);
    settings.baudRate = line.baudRate.value_or(settings.baudRate);
    settings.parity = line.parity.value_or(settings.parity);
    settings.dataBits = line.dataBits.value_or(settings.dataBits);
    settings.stopBits = line.stopBits.value_or(settings.stopBits);
    return settings;
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
