#include "core/link/ethernet/message_header.h"

#include "core/common/wire_order.h"

namespace veltrane::ethernet {

std::array<std::uint8_t, kHeaderSize> MessageHeader::encode() const {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    wire::put32(bytes, 0, command);
    wire::put32(bytes, 4, length);
    return bytes;
}

std::optional<MessageHeader> MessageHeader::decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize)
        return std::nullopt;
    return MessageHeader{wire::get32(bytes, 0), wire::get32(bytes, 4)};
}

std::optional<std::uint32_t> commandCodeOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4)
        return std::nullopt;
    return wire::get32(bytes, 0);
}

}  // namespace veltrane::ethernet
