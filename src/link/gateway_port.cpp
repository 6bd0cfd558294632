#include "link/gateway_port.h"

#include "core/strings/strings.h"

namespace veltrane {

Status openGatewayPort(SerialPortStream& port, const std::string& device, const SerialLineSettings& settings) {
    auto opened = port.open(device, settings);
    if (opened || opened.kind() == ErrorKind::LineSettings)
        return opened;
    std::string message = format(Str::SerialPortOpenFailed, {device});
    if (const auto& reason = port.openFailureReason())
        message += "\n" + *reason;
    return makeError(opened.kind(), message);
}

}  // namespace veltrane
