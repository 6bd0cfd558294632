#pragma once
// veltrane-cli's debug monitor: the dialog's exchange without a window. Each function takes its
// options as a plain struct, prints to the given streams and returns the process exit code.

#include "core/link/gateway_ports.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace veltrane::cli {

// Where the gateway is: an IPv4 address (Ethernet) or a serial device path.
struct DebugTarget {
    std::string address;  // --to
    std::string port;     // --port
    std::uint16_t gatewayPort = kDebugGatewayPort;
    std::uint16_t localPort = kDebugLocalPort;
};

struct MonitorOptions {
    DebugTarget target;
    std::optional<std::uint64_t> count;         // stop after this many shown reports
    std::optional<std::chrono::milliseconds> duration;  // stop after this long
    bool json = false;
    bool csv = false;  // the trace: a header line, then one CSV line per report
};

struct WriteOptions {
    DebugTarget target;
    std::string address;  // as typed into "Memory mapping address:"
    std::string data;     // as typed into "Data:"
    std::chrono::milliseconds timeout{3000};  // for the report whose answer carries the write
};

int runMonitor(const MonitorOptions& options, std::ostream& out, std::ostream& err);
int runWrite(const WriteOptions& options, std::ostream& out, std::ostream& err);

// Ctrl+C ends a monitor or write cleanly (the gateway is stopped first). Installed by the runners.
bool interruptRequested();

}  // namespace veltrane::cli
