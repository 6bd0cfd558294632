#include "core/model/subnet_protocol.h"

#include <array>
#include <utility>

namespace veltrane {

namespace {
constexpr std::array<std::pair<SubnetProtocol, std::string_view>, 4> kStored = {{
    {SubnetProtocol::ModbusMaster, "Modbus Master"},
    {SubnetProtocol::ModbusSlave, "Modbus Slave"},
    {SubnetProtocol::UserConfig, "User Config"},
    {SubnetProtocol::Custom, "Custom protocol"},
}};
}  // namespace

SubnetProtocol subnetProtocolOf(std::string_view stored) {
    for (const auto& [protocol, text] : kStored)
        if (text == stored)
            return protocol;
    return SubnetProtocol::Other;
}

std::string storedProtocolText(SubnetProtocol protocol) {
    for (const auto& [value, text] : kStored)
        if (value == protocol)
            return std::string(text);
    return {};
}

}  // namespace veltrane
