#pragma once
// A subnet's protocol as the project stores it. Files and gateways hold these exact texts, so the
// rules compare the typed value and never a display label, which may change on its own.

#include "core/model/records.h"

#include <string>
#include <string_view>

namespace veltrane {

enum class SubnetProtocol { ModbusMaster, ModbusSlave, UserConfig, Custom, Other };

// The typed value of a stored text; Other for anything else (an empty or damaged field).
SubnetProtocol subnetProtocolOf(std::string_view stored);
// The text a project stores for the protocol; empty for Other.
std::string storedProtocolText(SubnetProtocol protocol);

inline SubnetProtocol protocolOf(const CONFIG& subnet) { return subnetProtocolOf(subnet.protocolType); }
inline bool isModbusMaster(const CONFIG& subnet) { return protocolOf(subnet) == SubnetProtocol::ModbusMaster; }

}  // namespace veltrane
