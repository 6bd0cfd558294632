// monitor and write: the debug monitor from the command line. The options are parsed here into the
// plain structs of cli/debug/monitor_runner.h, which does the work.

#include "cli/command_registry.h"
#include "cli/command_support.h"
#include "cli/debug/monitor_runner.h"

#include <charconv>
#include <iostream>

namespace veltrane::cli {
namespace {

constexpr const char* kMonitorUsage = "monitor (--to ADDR | --port PATH) [--count N] [--seconds S] [--json]";
constexpr const char* kWriteUsage = "write (--to ADDR | --port PATH) ADDRESS DATA";

template <class T>
bool readNumber(const std::string& text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// Takes --to, --port and the test-only port overrides; false for a bad value. `used` tells whether
// args[i] (and its value) was one of them.
bool takeTargetOption(const std::vector<std::string>& args, std::size_t& i, DebugTarget& target, bool& used) {
    used = true;
    const std::string& arg = args[i];
    const bool known = arg == "--to" || arg == "--port" || arg == "--gateway-port" || arg == "--local-port";
    if (!known) {
        used = false;
        return true;
    }
    if (i + 1 >= args.size())
        return false;
    const std::string& value = args[++i];
    if (arg == "--to")
        target.address = value;
    else if (arg == "--port")
        target.port = value;
    else if (arg == "--gateway-port")
        return readNumber(value, target.gatewayPort);
    else
        return readNumber(value, target.localPort);
    return !value.empty();
}

bool oneTarget(const DebugTarget& target) { return target.address.empty() != target.port.empty(); }

int monitorCommand(const std::vector<std::string>& args) {
    MonitorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool used = false;
        if (!takeTargetOption(args, i, options.target, used))
            return usageError(kMonitorUsage);
        if (used)
            continue;
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--count" && i + 1 < args.size()) {
            std::uint64_t count = 0;
            if (!readNumber(args[++i], count))
                return usageError(kMonitorUsage);
            options.count = count;
        } else if (arg == "--seconds" && i + 1 < args.size()) {
            double seconds = 0;
            if (!readNumber(args[++i], seconds) || seconds < 0 || seconds > 1e7)
                return usageError(kMonitorUsage);
            options.duration = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
        } else {
            return usageError(kMonitorUsage);
        }
    }
    if (!oneTarget(options.target))
        return usageError(kMonitorUsage);
    return runMonitor(options, std::cout, std::cerr);
}

int writeCommand(const std::vector<std::string>& args) {
    WriteOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool used = false;
        if (!takeTargetOption(args, i, options.target, used))
            return usageError(kWriteUsage);
        if (!used)
            positional.push_back(args[i]);
    }
    if (!oneTarget(options.target) || positional.size() != 2)
        return usageError(kWriteUsage);
    options.address = positional[0];
    options.data = positional[1];
    return runWrite(options, std::cout, std::cerr);
}

const Registration monitorRegistration("monitor", kMonitorUsage, monitorCommand);
const Registration writeRegistration("write", kWriteUsage, writeCommand);

}  // namespace
}  // namespace veltrane::cli
