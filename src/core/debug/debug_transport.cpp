#include "core/debug/debug_transport.h"

namespace veltrane {

DebugTransport debugTransportFor(const ProjectState& state) {
    if (state.flags.extendedFrameModel)
        return DebugTransport::Serial;
    return deviceProfile(state.DeviceType).debugTransport;
}

}  // namespace veltrane
