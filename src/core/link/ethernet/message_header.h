#pragma once
// The 8-byte header that starts every message to and from an Ethernet gateway: a command code and
// the length of the body that follows, both big-endian.

#include "core/link/gateway_ports.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace veltrane::ethernet {

inline constexpr std::size_t kHeaderSize = 8;

// Command codes. They stay plain numbers: a peer may send any value.
namespace command {
inline constexpr std::uint32_t Discovery = 3;
inline constexpr std::uint32_t ReadConfiguration = 5;
inline constexpr std::uint32_t WriteConfiguration = 6;
inline constexpr std::uint32_t Restart = 10;
}  // namespace command

struct MessageHeader {
    std::uint32_t command = 0;
    std::uint32_t length = 0;  // bytes of body after the header

    std::array<std::uint8_t, kHeaderSize> encode() const;
    // Reads the first eight bytes; nothing when fewer arrived.
    static std::optional<MessageHeader> decode(std::span<const std::uint8_t> bytes);

    bool operator==(const MessageHeader&) const = default;
};

// The command code of a message, when at least its first four bytes are there.
std::optional<std::uint32_t> commandCodeOf(std::span<const std::uint8_t> bytes);

}  // namespace veltrane::ethernet
