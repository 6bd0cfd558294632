#pragma once
// The frame of the serial configuration protocol: code, n, n data bytes, checksum (the sum of
// everything before it, modulo 256). Requests and replies share it.

#include "core/common/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace veltrane::serial {

inline constexpr std::uint8_t kNegativeBit = 0x80;

// The size of a frame carrying n data bytes: code, n, the data, checksum.
constexpr std::size_t frameSize(std::size_t dataBytes) { return dataBytes + 3; }

// The sum of the bytes modulo 256.
std::uint8_t checksum(ByteView bytes);

struct Frame {
    std::uint8_t code = 0;
    Bytes data; // at most 255 bytes: n is one byte

    // code, n, data, checksum.
    Bytes encode() const;

    // The frame at the start of the bytes when n fits and the checksum matches; bytes after the
    // frame are ignored.
    static std::optional<Frame> decode(ByteView bytes);

    bool operator==(const Frame&) const = default;
};

// The length of the frame that starts the buffer (frameSize(n)) once all of it has arrived, else 0.
// Whether the checksum matches is left to the reader of the frame.
std::size_t completeFrameLength(ByteView buffer);

} // namespace veltrane::serial
