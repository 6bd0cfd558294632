#pragma once
// IPv4 addresses: four octets in dotted order as the gateway messages carry them, or one host-order
// number as sockets report them; and an address with a port.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

using Ipv4Octets = std::array<std::uint8_t, 4>;

// The classic socket-library parser (inet_addr): one to four parts separated by points, each
// decimal, octal with a leading 0 or hexadecimal with 0x; the last part fills the remaining octets.
// Nothing when the text does not parse. Like inet_addr, callers cannot tell 255.255.255.255 from a
// failure once they write FF FF FF FF for one.
std::optional<Ipv4Octets> parseIpv4(std::string_view text);

// "%d.%d.%d.%d".
std::string ipv4Text(const Ipv4Octets& octets);

// The address as a host-order number (127.0.0.1 is 0x7F000001), and back.
std::uint32_t ipv4Number(const Ipv4Octets& octets);
Ipv4Octets ipv4Octets(std::uint32_t number);

// A sender or receiver: the address as a host-order number and a port.
struct Ipv4Endpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    friend bool operator==(const Ipv4Endpoint&, const Ipv4Endpoint&) = default;
};

}  // namespace veltrane
