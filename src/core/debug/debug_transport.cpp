#include "core/debug/debug_transport.h"

namespace veltrane {

DebugTransport debugTransportFor(const ProjectState& state) {
    if (state.DeviceType == device::EtherNetIP && !state.flags.extendedFrameModel)
        return DebugTransport::Ethernet;
    if (state.DeviceType == device::ProfibusFilter || state.flags.extendedFrameModel)
        return DebugTransport::Serial;
    return DebugTransport::None;
}

}  // namespace veltrane
