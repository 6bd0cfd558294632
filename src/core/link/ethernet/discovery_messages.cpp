#include "core/link/ethernet/discovery_messages.h"

#include "core/common/hex.h"
#include "core/common/wire_order.h"
#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane::ethernet {

std::array<std::uint8_t, kDiscoveryRequestSize> DiscoveryRequest::encode() const {
    return MessageHeader{command::Discovery, 0}.encode();
}

Result<DiscoveryRequest> DiscoveryRequest::decode(std::span<const std::uint8_t> datagram) {
    if (commandCodeOf(datagram) != command::Discovery)
        return makeError(ErrorKind::MalformedReply, tr(Str::EthNotDiscoveryRequest));
    return DiscoveryRequest{};
}

std::string DiscoveryReply::firmwareText() const {
    return std::to_string(firmwareMajor) + '.' + std::to_string(firmwareMinor);
}

std::string DiscoveryReply::macText() const {
    return hexBytesText(mac, "-");
}

std::array<std::uint8_t, kDiscoveryReplySize> DiscoveryReply::encode() const {
    std::array<std::uint8_t, kDiscoveryReplySize> bytes{};
    const auto header = MessageHeader{command::Discovery, kDiscoveryReplySize - kHeaderSize}.encode();
    std::copy(header.begin(), header.end(), bytes.begin());
    wire::put32(bytes, 8, modelCode);
    wire::put16(bytes, 24, firmwareMajor);
    wire::put16(bytes, 26, firmwareMinor);
    std::copy(mac.begin(), mac.end(), bytes.begin() + 28);
    std::copy(ipAddress.begin(), ipAddress.end(), bytes.begin() + 36);
    wire::put32(bytes, 64, remoteConfigFlag);
    return bytes;
}

Result<DiscoveryReply> DiscoveryReply::decode(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kDiscoveryReplyMinimum)
        return makeError(ErrorKind::MalformedReply, tr(Str::EthDiscoveryReplyTooShort));
    std::array<std::uint8_t, kDiscoveryReplySize> bytes{};
    const std::size_t kept = std::min(datagram.size(), bytes.size());
    std::copy_n(datagram.begin(), kept, bytes.begin());
    if (wire::get32(bytes, 0) != command::Discovery)
        return makeError(ErrorKind::MalformedReply, tr(Str::EthNotDiscoveryReply));
    DiscoveryReply reply;
    reply.modelCode = wire::get32(bytes, 8);
    reply.firmwareMajor = wire::get16(bytes, 24);
    reply.firmwareMinor = wire::get16(bytes, 26);
    std::copy_n(bytes.begin() + 28, reply.mac.size(), reply.mac.begin());
    std::copy_n(bytes.begin() + 36, reply.ipAddress.size(), reply.ipAddress.begin());
    reply.remoteConfigFlag = wire::get32(bytes, 64);
    return reply;
}

}  // namespace veltrane::ethernet
