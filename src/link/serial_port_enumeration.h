#pragma once
// The serial ports of this PC, for the port choice. Pseudo-terminals are never listed; the user
// types their path.

#include <vector>

#include "core/link/serial/serial_port_choice.h"

namespace veltrane {

// In the order the system lists them. A port with a /dev/serial/by-id name is opened by that name,
// which survives replugging and reboots; the label shows the device beside it.
std::vector<serial::SerialPortEntry> availableSerialPorts();

}  // namespace veltrane
