#pragma once
// IPv4 addresses as the gateway messages carry them: four octets in dotted order.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane::ethernet {

using Ipv4Octets = std::array<std::uint8_t, 4>;

// The classic socket-library parser (inet_addr): one to four parts separated by points, each
// decimal, octal with a leading 0 or hexadecimal with 0x; the last part fills the remaining octets.
// Nothing when the text does not parse. Like inet_addr, callers cannot tell 255.255.255.255 from a
// failure once they write FF FF FF FF for one.
std::optional<Ipv4Octets> parseIpv4(std::string_view text);

// "%d.%d.%d.%d".
std::string ipv4Text(const Ipv4Octets& octets);

}  // namespace veltrane::ethernet
