#pragma once
// What the gateway links remember beside the project: the serial port choice, the gateway picked in
// the scan and the mapping conflict verdict. One per run of the application (or of one CLI command),
// owned by whoever runs the commands and passed by reference; nothing here is saved.

#include "core/link/ethernet/gateway_selection.h"
#include "core/link/serial/serial_port_choice.h"
#include "core/mapping/conflict_state.h"

#include <vector>

namespace veltrane {

struct LinkSession {
    serial::SerialPortChoice serialPort;
    ethernet::GatewaySelection gateway;
    MappingConflictState conflicts;

    // A new or opened project (an upload included): the ports are listed again and the baud rate
    // takes the usual one of the project's device type. Everything else lasts for the run: the
    // port position and the other line settings, whether the port dialog was shown, the gateway
    // selection and the conflict verdict.
    void projectReplaced(std::vector<serial::SerialPortEntry> ports, int deviceType);
};

}  // namespace veltrane
