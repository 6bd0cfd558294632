// monitor and write: the debug monitor from the command line. The options are parsed here into the
// plain structs of cli/debug/monitor_runner.h, which does the work.

#include "cli/command_registry.h"
#include "cli/debug/monitor_runner.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <memory>

namespace veltrane::cli {
namespace {

constexpr const char* kMonitorUsage = "monitor (--to ADDR | --port PATH) [--count N] [--seconds S] [--json | --csv]";
constexpr const char* kWriteUsage = "write (--to ADDR | --port PATH) ADDRESS DATA";

// --to or --port, and the ports a test may move (not shown in the help).
void addTargetOptions(CLI::App& command, DebugTarget& target) {
    command.add_option("--to", target.address, "the gateway's IPv4 address (Ethernet)");
    command.add_option("--port", target.port, "the serial device (serial link)");
    command.add_option("--gateway-port", target.gatewayPort)->group("");
    command.add_option("--local-port", target.localPort)->group("");
}

// Exactly one of them, and not empty: an empty --to must not fall back to the serial form.
bool oneTarget(const CLI::App& command, const DebugTarget& target) {
    const bool to = command.count("--to") > 0, port = command.count("--port") > 0;
    return to != port && !(to ? target.address : target.port).empty();
}

int wrongLine(const char* usage) {
    std::cerr << "give either --to ADDR or --port PATH\nusage: veltrane-cli " << usage << '\n';
    return 2;
}

// Digits only: a sign or a number past 64 bits must not wrap into "unlimited".
std::optional<std::uint64_t> reportCount(const std::string& text) {
    std::uint64_t count = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc() || stop != end)
        return std::nullopt;
    return count;
}

CommandRun setUpMonitor(CLI::App& command) {
    struct Args {
        MonitorOptions options;
        std::string count;
        double seconds = 0;
    };
    auto args = std::make_shared<Args>();
    addTargetOptions(command, args->options.target);
    command.add_option("--count", args->count, "stop after this many shown reports");
    command.add_option("--seconds", args->seconds, "stop after this many seconds")->check(CLI::Range(0.0, 1e7));
    command.add_flag("--json", args->options.json, "one JSON object per report");
    command.add_flag("--csv", args->options.csv, "a CSV header line, then one line per report with its times");
    return [args, &command] {
        if (!oneTarget(command, args->options.target))
            return wrongLine(kMonitorUsage);
        if (args->options.json && args->options.csv) {
            std::cerr << "--json and --csv exclude each other\nusage: veltrane-cli " << kMonitorUsage << '\n';
            return 2;
        }
        if (command.count("--count")) {
            args->options.count = reportCount(args->count);
            if (!args->options.count) {
                std::cerr << "--count takes a whole number of reports from 0 to " << UINT64_MAX << ", not \""
                          << args->count << "\"\nusage: veltrane-cli " << kMonitorUsage << '\n';
                return 2;
            }
        }
        if (command.count("--seconds"))
            args->options.duration = std::chrono::milliseconds(static_cast<long long>(args->seconds * 1000));
        return runMonitor(args->options, std::cout, std::cerr);
    };
}

CommandRun setUpWrite(CLI::App& command) {
    auto options = std::make_shared<WriteOptions>();
    addTargetOptions(command, options->target);
    command.add_option("ADDRESS", options->address, "the output buffer address, four hex digits")->required();
    command.add_option("DATA", options->data, "the bytes as hex pairs separated by spaces")->required();
    return [options, &command] {
        if (!oneTarget(command, options->target))
            return wrongLine(kWriteUsage);
        return runWrite(*options, std::cout, std::cerr);
    };
}

const Registration monitorRegistration("monitor", kMonitorUsage,
                                       "Shows a gateway's command status reports and acknowledges them.",
                                       setUpMonitor);
const Registration writeRegistration("write", kWriteUsage, "Writes bytes into a gateway's output buffer.",
                                     setUpWrite);

}  // namespace
}  // namespace veltrane::cli
