#pragma once
// The UDP datagrams of the device scan: the 8-byte request and the gateway's 68-byte reply.

#include "core/common/result.h"
#include "core/common/ipv4.h"
#include "core/link/ethernet/message_header.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace veltrane::ethernet {

inline constexpr std::size_t kDiscoveryRequestSize = 8;
inline constexpr std::size_t kDiscoveryReplySize = 68;
// Replies of 15 bytes or fewer are ignored: they cannot be a gateway's answer.
inline constexpr std::size_t kDiscoveryReplyMinimum = 16;

// Model codes that a reply may carry.
namespace model {
inline constexpr std::uint32_t SingleSubnet = 30102;  // listed as "PLD-772XQ"
inline constexpr std::uint32_t TwoSubnets = 30202;
}  // namespace model

struct DiscoveryRequest {
    std::array<std::uint8_t, kDiscoveryRequestSize> encode() const;
    // A gateway answers any datagram that starts with the discovery code; the length field is not
    // checked. Refused: fewer than four bytes or another code.
    static Result<DiscoveryRequest> decode(std::span<const std::uint8_t> datagram);
};

struct DiscoveryReply {
    std::uint32_t modelCode = 0;
    std::uint16_t firmwareMajor = 0;
    std::uint16_t firmwareMinor = 0;
    std::array<std::uint8_t, 6> mac{};  // in display order
    Ipv4Octets ipAddress{};
    std::uint32_t remoteConfigFlag = 0;  // 1 allows remote configuration; any other value prohibits it

    bool remoteConfigAllowed() const { return remoteConfigFlag == 1; }
    std::string firmwareText() const;  // "2.10"
    std::string macText() const;       // "00-1a-2b-3c-4d-5e"
    std::string ipText() const { return ipv4Text(ipAddress); }

    // 68 bytes; the bytes the tool does not interpret are zero, the length field says 60.
    std::array<std::uint8_t, kDiscoveryReplySize> encode() const;
    // Untrusted input. Refused: 15 bytes or fewer, or a code other than 3 (MalformedReply). A
    // shorter reply reads as if zero-filled to 68 bytes; a longer one is cut to 68.
    static Result<DiscoveryReply> decode(std::span<const std::uint8_t> datagram);

    bool operator==(const DiscoveryReply&) const = default;
};

}  // namespace veltrane::ethernet
