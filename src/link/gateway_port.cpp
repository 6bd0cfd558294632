#include "link/gateway_port.h"

#include "core/strings/strings.h"

namespace veltrane {

Status openGatewayPort(SerialPortStream& port, const std::string& device, const SerialLineSettings& settings) {
    auto opened = port.open(device, settings);
    if (opened || opened.message() == tr(Str::SerialSettingError))
        return opened;
    const std::string headline = format(Str::SerialPortOpenFailed, {device});
    if (opened.message() == headline)
        return opened;
    return makeError(opened.kind(), headline + "\n" + opened.message());
}

}  // namespace veltrane
