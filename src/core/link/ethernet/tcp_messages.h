#pragma once
// The TCP configuration exchange with an Ethernet gateway: read (5), write (6) and restart (10)
// requests, and the checks of the gateway's replies. The write request is the configuration image
// itself (configuration_image.h).

#include "core/common/result.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/message_header.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace veltrane::ethernet {

inline constexpr std::size_t kReadRequestSize = 8;
inline constexpr std::size_t kRestartRequestSize = 16;
inline constexpr std::string_view kRestartKey = "LumaFern";
// The tool reads a write reply into 16 bytes and an upload reply into 2048; only the first four
// bytes of a write reply and the first 1272 of an upload reply mean anything.
inline constexpr std::size_t kWriteReplyBuffer = 16;
inline constexpr std::size_t kReadReplyBuffer = 2048;

struct ReadRequest {
    std::array<std::uint8_t, kReadRequestSize> encode() const;  // 00 00 00 05 00 00 00 00
};

struct RestartRequest {
    std::array<std::uint8_t, kRestartRequestSize> encode() const;  // 00 00 00 0A 00 00 00 08 "LumaFern"
    // True when the bytes are the restart request with its key.
    static bool matches(std::span<const std::uint8_t> bytes);
};

// The gateway's answer to a write: success when it starts with 00 00 00 06, whatever follows.
// An empty reply or one of fewer than four bytes is MalformedReply; another code is NegativeReply.
Status checkWriteReply(std::span<const std::uint8_t> reply);

// The gateway's answer to a read, gathered from however many receives: the image when it starts
// with 00 00 00 05 (missing bytes read as zero, the length field is not examined). Fewer than four
// bytes is MalformedReply, another code NegativeReply.
Result<ConfigurationImage> decodeReadReply(std::span<const std::uint8_t> reply);

// The write reply a gateway sends: the header with code 6 and an empty body.
std::array<std::uint8_t, kHeaderSize> encodeWriteReply();

// The read reply a gateway sends: its stored image with code 5.
ConfigurationImage encodeReadReply(ConfigurationImage stored);

}  // namespace veltrane::ethernet
