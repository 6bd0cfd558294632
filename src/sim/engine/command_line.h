#pragma once
// The command line of veltrane-gwsim, parsed without Qt so that it is tested with the engine.

#include "core/common/result.h"
#include "core/link/gateway_ports.h"
#include "sim/engine/fault_plan.h"
#include "sim/engine/gateway_options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::sim {

// The debug reports each gateway sends to whoever started its debug monitor.
struct DebugOptions {
    std::uint16_t port = kDebugGatewayPort;
    double rate = 10;  // reports per second; 0: as fast as the tool acknowledges them
    int exceptionPercent = 5;
    int timeoutPercent = 3;
    int errorPercent = 1;
    bool waitForAcknowledge = true;
};

struct SimOptions {
    std::vector<GatewaySetup> gateways;  // one at 127.0.0.1 when none is given
    std::uint16_t udpPort = kGatewayPort;
    std::uint16_t tcpPort = kGatewayPort;
    std::string broadcastAddress = "255.255.255.255";  // empty: no broadcast listener
    std::string statePath;
    FaultPlan faults;  // for every gateway without its own
    DebugOptions debug;
    bool logRequests = false;  // print "request ADDRESS CODE" for every TCP request
    bool help = false;
};

// The arguments after the program name.
Result<SimOptions> parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string usageText();

}  // namespace veltrane::sim
