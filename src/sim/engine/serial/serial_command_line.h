#pragma once
// The command line of veltrane-gwsim --serial, parsed without Qt so that it is tested with the engine.

#include "core/common/result.h"
#include "sim/engine/serial/serial_gateway_engine.h"

#include <string>
#include <vector>

namespace veltrane::sim {

struct SerialSimOptions {
    SerialGatewayConfig gateway;
    int baudRate = 19200; // the pace of the simulated line; 0: as fast as the pseudo-terminal goes
    std::string statePath;
    bool help = false;
    bool logRequests = false;  // print "request CODE" (hex) for every request frame
    // Debug reports instead of the configuration protocol: the commands of this project are polled.
    std::string debugProject;
    int debugRate = 50;  // reports per second; 0: each one as soon as the last is acknowledged
    int debugExceptions = 5;
    int debugTimeouts = 3;
    bool debugNoAck = false;
};

// True when the arguments ask for the serial simulator.
bool wantsSerial(const std::vector<std::string>& args);

// The arguments after the program name, --serial among them.
Result<SerialSimOptions> parseSerialCommandLine(const std::vector<std::string>& args);

// The serial part of --help.
std::string serialUsageText();

} // namespace veltrane::sim
