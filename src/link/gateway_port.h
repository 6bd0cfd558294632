#pragma once
// Opening the serial port for a gateway transfer, with the message the user sees when it fails.

#include <string>

#include "core/common/result.h"
#include "core/link/serial_line_settings.h"
#include "link/serial_port_stream.h"

namespace veltrane {

// "Port<name> failed to open!", followed by the reason when there is more to say (not in the
// dialout group, busy, missing); a refused line setting gives "Serial setting error".
Status openGatewayPort(SerialPortStream& port, const std::string& device, const SerialLineSettings& settings);

}  // namespace veltrane
