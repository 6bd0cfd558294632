#include "cli/debug/monitor_runner.h"
#include "cli/qt_application.h"

#include "cli/json_writer.h"
#include "core/debug/debug_monitor.h"
#include "core/debug/send_validation.h"
#include "core/debug/trace_csv.h"
#include "core/strings/strings.h"
#include "link/debug_receiver.h"
#include "link/report_clock.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

namespace veltrane::cli {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted.store(true); }

void installInterruptHandler() {
    g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // The flag is looked at between two takes, each waiting at most 100 ms. A write to a full pipe
    // that the signal interrupts carries on, so Ctrl+C never turns into a failed write.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void printRow(const DebugRow& row, DebugTransport transport, bool json, std::ostream& out) {
    if (json) {
        out << "{\"serialIndex\":" << JsonWriter::quote(row.serialIndex) << ",\"status\":" << JsonWriter::quote(row.status)
            << ",\"slave\":" << JsonWriter::quote(row.slave) << ",\"start\":" << JsonWriter::quote(row.start)
            << ",\"data\":" << JsonWriter::quote(row.data) << "}\n";
    } else {
        const auto cells = row.cells(transport);
        for (std::size_t i = 0; i < cells.size(); ++i)
            out << (i ? "\t" : "") << cells[i];
        out << '\n';
    }
}

Result<std::unique_ptr<DebugReceiver>> openLink(const DebugTarget& target) {
    ensureQtCore();
    DebugEndpoint endpoint;
    endpoint.transport = target.port.empty() ? DebugTransport::Ethernet : DebugTransport::Serial;
    endpoint.gatewayAddress = target.address;
    endpoint.gatewayPort = target.gatewayPort;
    endpoint.localPort = target.localPort;
    endpoint.device = target.port;
    return DebugReceiver::open(endpoint);
}

// Steps taken at once; the limits are looked at between two takes.
constexpr std::size_t kTakeAtOnce = 256;

// Reports that came faster than they could be printed are counted, never dropped silently.
void tellDropped(const DebugReceiver& link, std::ostream& err) {
    if (const std::uint64_t dropped = link.dropped())
        err << format(Str::DebugReportsDropped, {std::to_string(dropped)}) << '\n';
}

}  // namespace

bool interruptRequested() { return g_interrupted.load(); }

int runMonitor(const MonitorOptions& options, std::ostream& out, std::ostream& err) {
    installInterruptHandler();
    auto opened = openLink(options.target);
    if (!opened) {
        err << opened.message() << '\n';
        return 1;
    }
    DebugReceiver& link = **opened;
    const DebugTransport transport = link.transport();
    const auto started = Clock::now();
    std::uint64_t shown = 0;
    if (options.csv)
        out << traceCsvHeader();
    const auto print = [&](const MonitorStep& step) {
        if (!step.row)
            return;
        if (options.csv)
            out << traceCsvLine(*step.row, utcOffsetMinutes(step.row->time.wallClockMs));
        else
            printRow(*step.row, transport, options.json, out);
        ++shown;
    };
    int exitCode = 0;
    while (!g_interrupted.load()) {
        if (options.count && shown >= *options.count)
            break;
        milliseconds wait(100);
        if (options.duration) {
            const auto left = std::chrono::duration_cast<milliseconds>(started + *options.duration - Clock::now());
            if (left.count() <= 0)
                break;
            wait = std::min(wait, left);
        }
        std::size_t take = kTakeAtOnce;
        if (options.count)
            take = static_cast<std::size_t>(std::min<std::uint64_t>(take, *options.count - shown));
        const std::vector<MonitorStep> steps = link.take(take, wait);
        for (const MonitorStep& step : steps)
            print(step);
        // A reader of a pipe sees each report as it comes, without a flush for every line.
        if (steps.size() < take)
            out.flush();
        if (auto failure = link.failure(); failure && steps.empty()) {
            err << failure->message << '\n';
            exitCode = 1;
            break;
        }
    }
    link.stop();
    // Reports that came before the gateway stopped are shown too, within the count.
    for (const MonitorStep& step : link.take(SIZE_MAX, milliseconds(0)))
        if (!options.count || shown < *options.count)
            print(step);
    tellDropped(link, err);
    return out.flush() ? exitCode : 1;
}

int runWrite(const WriteOptions& options, std::ostream& out, std::ostream& err) {
    installInterruptHandler();
    const DebugTransport transport = options.target.port.empty() ? DebugTransport::Ethernet : DebugTransport::Serial;
    auto payload = validateSend(options.address, options.data, transport);
    if (!payload) {
        err << payload.message() << '\n';
        return 1;
    }
    auto opened = openLink(options.target);
    if (!opened) {
        err << opened.message() << '\n';
        return 1;
    }
    DebugReceiver& link = **opened;
    if (Status queued = link.queueWrite(*payload); !queued) {
        err << queued.message() << '\n';
        link.stop();
        return 1;
    }
    // The write goes out in place of the acknowledgement of the next report the gateway sends.
    const auto deadline = Clock::now() + options.timeout;
    bool wrote = false;
    int exitCode = 0;
    while (!wrote && !g_interrupted.load()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            break;
        const std::vector<MonitorStep> steps = link.take(kTakeAtOnce, std::min(left, milliseconds(100)));
        for (const MonitorStep& step : steps) {
            if (step.row)
                printRow(*step.row, transport, false, out);
            wrote = wrote || step.wroteData;
        }
        out.flush();
        if (auto failure = link.failure(); failure && steps.empty() && !wrote) {
            err << failure->message << '\n';
            exitCode = 1;
            break;
        }
    }
    link.stop();
    tellDropped(link, err);
    if (!wrote && exitCode == 0) {
        err << "no report arrived from the gateway; nothing was written\n";
        exitCode = 1;
    }
    return out.flush() ? exitCode : 1;
}

}  // namespace veltrane::cli
