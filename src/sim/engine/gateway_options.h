#pragma once
// The simulator's gateway and fault descriptions as typed on its command line.

#include "core/common/result.h"
#include "sim/engine/fault_plan.h"
#include "sim/engine/gateway.h"

#include <optional>
#include <string_view>
#include <vector>

namespace veltrane::sim {

struct GatewaySetup {
    GatewayIdentity identity;
    std::optional<FaultPlan> faults;  // this gateway's own, instead of the common plan
};

// "ip=127.0.0.2,model=30202,mac=00-1a-2b-3c-4d-5e,fw=2.10,remote=on,fault=split@read"; every key
// but ip is optional. The MAC may use "-" or ":".
Result<GatewaySetup> parseGatewaySetup(std::string_view text);

// "KIND[@SCOPE]": KIND one of silent, wrong-code, split, close, none; SCOPE one of all (default),
// discovery, read, write, restart.
Result<FaultPlan> parseFault(std::string_view text);

// count gateways on consecutive addresses from first (127.0.0.2, 127.0.0.3, ...), each with a MAC
// derived from its address. Refused when the addresses would leave 127.0.0.0/8.
Result<std::vector<GatewayIdentity>> generateGateways(int count, std::string_view first = "127.0.0.2");

}  // namespace veltrane::sim
