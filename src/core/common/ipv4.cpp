#include "core/common/ipv4.h"

#include "core/common/hex.h"
#include "core/common/wire_order.h"

#include <vector>

namespace veltrane {

namespace {
// One part in C notation; nothing on an empty part, a bad digit or a value beyond 32 bits.
std::optional<std::uint64_t> parsePart(std::string_view part) {
    if (part.empty())
        return std::nullopt;
    unsigned base = 10;
    std::size_t i = 0;
    if (part.size() > 1 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
        base = 16;
        i = 2;
        if (i == part.size())
            return std::nullopt;
    } else if (part[0] == '0') {
        base = 8;
    }
    std::uint64_t value = 0;
    for (; i < part.size(); ++i) {
        const int digit = hexDigitValue(part[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return std::nullopt;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return value;
}
}  // namespace

std::optional<Ipv4Octets> parseIpv4(std::string_view text) {
    std::vector<std::uint64_t> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const auto part = parsePart(text.substr(start, dot == std::string_view::npos ? text.npos : dot - start));
        if (!part || parts.size() == 4)
            return std::nullopt;
        parts.push_back(*part);
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    // Every part but the last is one octet; the last fills what is left.
    const std::size_t leading = parts.size() - 1;
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < leading; ++k) {
        if (parts[k] > 0xFF)
            return std::nullopt;
        value |= static_cast<std::uint32_t>(parts[k]) << (24 - 8 * k);
    }
    const unsigned restBits = 32 - 8 * static_cast<unsigned>(leading);
    if (restBits < 32 && parts.back() >= (std::uint64_t{1} << restBits))
        return std::nullopt;
    value |= static_cast<std::uint32_t>(parts.back());
    return ipv4Octets(value);
}

std::uint32_t ipv4Number(const Ipv4Octets& octets) { return wire::get32(octets, 0); }

Ipv4Octets ipv4Octets(std::uint32_t number) {
    Ipv4Octets octets{};
    wire::put32(octets, 0, number);
    return octets;
}

std::string ipv4Text(const Ipv4Octets& octets) {
    return std::to_string(octets[0]) + '.' + std::to_string(octets[1]) + '.' + std::to_string(octets[2]) + '.' +
           std::to_string(octets[3]);
}

}  // namespace veltrane
