#include "core/link/serial/serial_frame.h"

#include <cassert>

namespace veltrane::serial {

std::uint8_t checksum(ByteView bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(sum & 0xFFu);
}

Bytes Frame::encode() const {
    assert(data.size() <= 0xFF);
    Bytes out;
    out.reserve(frameSize(data.size()));
    out.push_back(code);
    out.push_back(static_cast<std::uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(checksum(out));
    return out;
}

std::optional<Frame> Frame::decode(ByteView bytes) {
    const std::size_t length = completeFrameLength(bytes);
    if (length == 0 || checksum(bytes.first(length - 1)) != bytes[length - 1])
        return std::nullopt;
    Frame frame;
    frame.code = bytes[0];
    frame.data.assign(bytes.begin() + 2, bytes.begin() + static_cast<std::ptrdiff_t>(length - 1));
    return frame;
}

std::size_t completeFrameLength(ByteView buffer) {
    if (buffer.size() < 2)
        return 0;
    const std::size_t length = frameSize(buffer[1]);
    return buffer.size() >= length ? length : 0;
}

} // namespace veltrane::serial
