#pragma once
// How the debug monitor reaches a gateway; the byte buffers and the debug ports come with it.

#include "core/common/bytes.h"
#include "core/link/gateway_ports.h"
#include "core/model/project_state.h"

#include <cstdint>

namespace veltrane {

enum class DebugTransport {
    None,      // the project's gateway offers no debug link: no columns, nothing received
    Ethernet,  // UDP datagrams with the 8-byte message header
    Serial,    // raw bytes on the serial port, no header
};

// Ethernet for the EtherNet/IP gateway without the extended frame model; serial for device type 3
// or any project with the extended frame model; nothing for the rest.
DebugTransport debugTransportFor(const ProjectState& state);

}  // namespace veltrane
