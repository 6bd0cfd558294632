#pragma once
// The host's IPv4 addresses the scan broadcasts from, in the system's order, at most ten.

#include <string>
#include <vector>

namespace veltrane {

std::vector<std::string> localIpv4Addresses();

}  // namespace veltrane
