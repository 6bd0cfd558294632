#include "core/link/ethernet/tcp_messages.h"

#include "core/strings/strings.h"

#include <algorithm>

namespace veltrane::ethernet {

std::array<std::uint8_t, kReadRequestSize> ReadRequest::encode() const {
    return MessageHeader{command::ReadConfiguration, 0}.encode();
}

std::array<std::uint8_t, kRestartRequestSize> RestartRequest::encode() const {
    std::array<std::uint8_t, kRestartRequestSize> bytes{};
    const auto header = MessageHeader{command::Restart, static_cast<std::uint32_t>(kRestartKey.size())}.encode();
    std::copy(header.begin(), header.end(), bytes.begin());
    std::copy(kRestartKey.begin(), kRestartKey.end(), bytes.begin() + kHeaderSize);
    return bytes;
}

bool RestartRequest::matches(std::span<const std::uint8_t> bytes) {
    const auto expected = RestartRequest{}.encode();
    return bytes.size() == expected.size() && std::equal(expected.begin(), expected.end(), bytes.begin());
}

namespace {
Status checkCode(std::span<const std::uint8_t> reply, std::uint32_t expected) {
    const auto code = commandCodeOf(reply);
    if (!code)
        return makeError(ErrorKind::MalformedReply, tr(Str::EthReplyTooShort));
    if (*code != expected)
        return makeError(ErrorKind::NegativeReply, format(Str::EthUnexpectedReplyCode, {std::to_string(*code)}));
    return {};
}
}  // namespace

Status checkWriteReply(std::span<const std::uint8_t> reply) { return checkCode(reply, command::WriteConfiguration); }

Result<ConfigurationImage> decodeReadReply(std::span<const std::uint8_t> reply) {
    if (Status status = checkCode(reply, command::ReadConfiguration); !status)
        return status.error();
    return ConfigurationImage::fromReceived(reply);
}

std::array<std::uint8_t, kHeaderSize> encodeWriteReply() {
    return MessageHeader{command::WriteConfiguration, 0}.encode();
}

ConfigurationImage encodeReadReply(ConfigurationImage stored) {
    stored.setCommandCode(command::ReadConfiguration);
    return stored;
}

}  // namespace veltrane::ethernet
