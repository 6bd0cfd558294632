#include "core/transfer/link_session.h"

namespace veltrane {

void LinkSession::projectReplaced(std::vector<serial::SerialPortEntry> ports, int deviceType) {
    serialPort.rebuildList(std::move(ports), deviceType);
}

}  // namespace veltrane
