#pragma once
// How the debug monitor reaches a gateway; the byte buffers and the debug ports come with it.

#include "core/common/bytes.h"
#include "core/link/gateway_ports.h"
#include "core/model/device_profile.h"
#include "core/model/project_state.h"

#include <cstdint>

namespace veltrane {

// The device type's debug link (DebugTransport is one of its profile's columns); serial for any
// project with the extended frame model.
DebugTransport debugTransportFor(const ProjectState& state);

}  // namespace veltrane
