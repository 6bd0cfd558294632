#include "sim/engine/serial/serial_command_line.h"

#include <algorithm>
#include <charconv>

namespace veltrane::sim {

namespace {
Error bad(std::string message) { return makeError(ErrorKind::Format, std::move(message)); }

template <class T>
bool readNumber(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// KIND@K: KIND silence, bad-checksum, negative, split, late; K the 0-based request number.
bool parseFault(const std::string& text, SerialFault& fault) {
    const auto at = text.find('@');
    if (at == std::string::npos || !readNumber(std::string_view(text).substr(at + 1), fault.request))
        return false;
    const std::string kind = text.substr(0, at);
    if (kind == "silence")
        fault.kind = SerialFault::Kind::Silence;
    else if (kind == "bad-checksum")
        fault.kind = SerialFault::Kind::BadChecksum;
    else if (kind == "negative")
        fault.kind = SerialFault::Kind::NegativeReply;
    else if (kind == "split")
        fault.kind = SerialFault::Kind::SplitReply;
    else if (kind == "late")
        fault.kind = SerialFault::Kind::LateReply;
    else
        return false;
    return true;
}
} // namespace

bool wantsSerial(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--serial") != args.end();
}

std::string serialUsageText() {
    return R"(
usage: veltrane-gwsim --serial [OPTIONS]

Simulates a serial gateway on a new pseudo-terminal; open the printed path
as the serial port (it is not listed among the system's ports).

  --device-code T       the device code reported (default 1: DeviceNet;
                        the project's device type + 1)
  --firmware V          firmware version as MAJOR.MINOR or 10*MAJOR+MINOR
                        (default 4.0)
  --extended            long subnet and PROFIBUS replies for any device code
  --log-requests        print "request CODE" (two hex digits) for every request
  --alter-stored        keep subnet 1's first command with its starting
                        address one higher than written
  --baud N              pace the bytes as a line at N baud (default 19200;
                        0: no pacing)
  --state FILE          keep the downloaded configuration in FILE: read at
                        start, rewritten after every request
  --fault KIND@K        fault at request K (0-based, repeatable). KIND:
                        silence, bad-checksum, negative, split, late
  --fault-delay MS      pause of split and late replies (default 100)
  --error-bytes A,B     error bytes of a negative reply (default 1,0)
  --debug-project FILE  send debug reports instead: the commands of FILE.chg
                        are polled, acknowledgements and writes are read
  --debug-rate N        reports per second (default 50; 0: each report as
                        soon as the last one is acknowledged)
  --debug-exceptions P  percent of reports with an exception (default 5)
  --debug-timeouts P    percent of time-out reports (default 3)
  --debug-no-ack        send at the rate without waiting for answers

When ready, prints:
  serial PATH
)";
}

Result<SerialSimOptions> parseSerialCommandLine(const std::vector<std::string>& args) {
    SerialSimOptions options;
    long delay = 100;
    std::array<std::uint8_t, 2> errorBytes{0x01, 0x00};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg == "--serial")
            continue;
        if (arg == "--extended") {
            options.gateway.extendedFrames = true;
            continue;
        }
        if (arg == "--log-requests") {
            options.logRequests = true;
            continue;
        }
        if (arg == "--alter-stored") {
            options.gateway.alterStored = true;
            continue;
        }
        if (arg == "--debug-no-ack") {
            options.debugNoAck = true;
            continue;
        }
        if (i + 1 >= args.size())
            return bad(arg + " needs a value");
        const std::string& value = args[++i];
        bool ok = true;
        if (arg == "--device-code") {
            ok = readNumber(value, options.gateway.deviceCode) && options.gateway.deviceCode >= 0 &&
                 options.gateway.deviceCode <= 255;
        } else if (arg == "--firmware") {
            const auto dot = value.find('.');
            int major = 0, minor = 0;
            if (dot == std::string::npos) {
                ok = readNumber(value, options.gateway.firmwareVersion) && options.gateway.firmwareVersion >= 0 &&
                     options.gateway.firmwareVersion <= 2805;
            } else {
                ok = readNumber(std::string_view(value).substr(0, dot), major) &&
                     readNumber(std::string_view(value).substr(dot + 1), minor) && major >= 0 && major <= 255 &&
                     minor >= 0 && minor <= 9;
                options.gateway.firmwareVersion = 10 * major + minor;
            }
        } else if (arg == "--baud") {
            ok = readNumber(value, options.baudRate) && options.baudRate >= 0;
        } else if (arg == "--state") {
            options.statePath = value;
        } else if (arg == "--fault") {
            SerialFault fault;
            ok = parseFault(value, fault);
            options.gateway.faults.push_back(fault);
        } else if (arg == "--debug-project") {
            options.debugProject = value;
        } else if (arg == "--debug-rate") {
            ok = readNumber(value, options.debugRate) && options.debugRate >= 0 && options.debugRate <= 100000;
        } else if (arg == "--debug-exceptions") {
            ok = readNumber(value, options.debugExceptions) && options.debugExceptions >= 0;
        } else if (arg == "--debug-timeouts") {
            ok = readNumber(value, options.debugTimeouts) && options.debugTimeouts >= 0;
        } else if (arg == "--fault-delay") {
            ok = readNumber(value, delay) && delay >= 0;
        } else if (arg == "--error-bytes") {
            const auto comma = value.find(',');
            ok = comma != std::string::npos && readNumber(std::string_view(value).substr(0, comma), errorBytes[0]) &&
                 readNumber(std::string_view(value).substr(comma + 1), errorBytes[1]);
        } else {
            return bad("unknown option " + arg);
        }
        if (!ok)
            return bad("bad value for " + arg + ": " + value);
    }
    if (options.debugExceptions + options.debugTimeouts > 100)
        return bad("--debug-exceptions and --debug-timeouts add up to more than 100");
    for (SerialFault& fault : options.gateway.faults) {
        fault.delay = std::chrono::milliseconds(delay);
        fault.errorBytes = errorBytes;
    }
    return options;
}

} // namespace veltrane::sim
