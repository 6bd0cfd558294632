#pragma once
// The command line of veltrane-gwsim, parsed without Qt so that it is tested with the engine.

#include "core/common/result.h"
#include "sim/engine/fault_plan.h"
#include "sim/engine/gateway_options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veltrane::sim {

struct SimOptions {
    std::vector<GatewaySetup> gateways;  // one at 127.0.0.1 when none is given
    std::uint16_t udpPort = 18801;
    std::uint16_t tcpPort = 18801;
    std::string broadcastAddress = "255.255.255.255";  // empty: no broadcast listener
    std::string statePath;
    FaultPlan faults;  // for every gateway without its own
    bool help = false;
};

// The arguments after the program name.
Result<SimOptions> parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string usageText();

}  // namespace veltrane::sim
