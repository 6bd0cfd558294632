#include "core/debug/debug_command.h"

#include "core/common/wire_order.h"
#include "core/strings/strings.h"

namespace veltrane {

namespace {
constexpr std::size_t kHeaderSize = 8;
constexpr std::uint32_t kStartMark = 0xEAEAEAEA;
constexpr std::uint32_t kStopMark = 0xF0F0F0F0;
constexpr std::uint32_t kWriteMark = 1;
constexpr std::uint8_t kSerialAcknowledge = 0x00;
constexpr std::uint8_t kSerialWrite = 0x01;

Error malformed(Str what) { return makeError(ErrorKind::MalformedReply, tr(what)); }

Bytes header(std::uint32_t code, std::uint32_t bodyLength) {
    Bytes out;
    wire::append32(out, code);
    wire::append32(out, bodyLength);
    return out;
}
}  // namespace

Bytes DebugCommand::encodeEthernet() const {
    switch (kind) {
    case Kind::Start:
    case Kind::Stop: {
        Bytes out = header(kDebugControlCode, 8);
        wire::append32(out, kind == Kind::Start ? kStartMark : kStopMark);
        wire::append32(out, 0);
        return out;
    }
    case Kind::Acknowledge: {
        Bytes out = header(kDebugReplyCode, 4);
        wire::append32(out, 0);
        return out;
    }
    case Kind::Write: {
        Bytes out = header(kDebugReplyCode, static_cast<std::uint32_t>(write.data.size() + 6));
        wire::append32(out, kWriteMark);
        wire::append16(out, write.address);
        out.insert(out.end(), write.data.begin(), write.data.end());
        return out;
    }
    }
    return {};
}

Bytes DebugCommand::encodeSerial() const {
    switch (kind) {
    case Kind::Acknowledge:
        return {kSerialAcknowledge};
    case Kind::Write: {
        if (write.data.size() > kSerialWriteMaxBytes)
            return {};
        Bytes out{kSerialWrite};
        wire::append16(out, write.address);
        out.push_back(static_cast<std::uint8_t>(write.data.size()));
        out.insert(out.end(), write.data.begin(), write.data.end());
        return out;
    }
    case Kind::Start:
    case Kind::Stop:
        return {};
    }
    return {};
}

Result<DebugCommand> DebugCommand::decodeEthernet(ByteView bytes) {
    if (bytes.size() < kHeaderSize + 4)
        return malformed(Str::DebugMessageTooShort);
    const std::uint32_t code = wire::get32(bytes, 0);
    const std::uint32_t length = wire::get32(bytes, 4);
    if (length != bytes.size() - kHeaderSize)
        return malformed(Str::DebugMessageLengthMismatch);
    const std::uint32_t mark = wire::get32(bytes, 8);
    if (code == kDebugControlCode) {
        if (length != 8 || wire::get32(bytes, 12) != 0 || (mark != kStartMark && mark != kStopMark))
            return malformed(Str::DebugUnknownControlMessage);
        return mark == kStartMark ? start() : stop();
    }
    if (code != kDebugReplyCode)
        return malformed(Str::DebugUnknownMessageCode);
    if (length == 4 && mark == 0)
        return acknowledge();
    if (length >= 6 && mark == kWriteMark) {
        WritePayload payload;
        payload.address = wire::get16(bytes, 12);
        payload.data.assign(bytes.begin() + 14, bytes.end());
        return writeTo(std::move(payload));
    }
    return malformed(Str::DebugUnknownReplyMessage);
}

std::size_t DebugCommand::serialMessageSize(ByteView bytes, bool& invalid) {
    invalid = false;
    if (bytes.empty())
        return 0;
    if (bytes[0] == kSerialAcknowledge)
        return 1;
    if (bytes[0] != kSerialWrite) {
        invalid = true;
        return 0;
    }
    return bytes.size() < 4 ? 0 : 4 + std::size_t{bytes[3]};
}

Result<DebugCommand> DebugCommand::decodeSerial(ByteView bytes) {
    bool invalid = false;
    const std::size_t size = serialMessageSize(bytes, invalid);
    if (invalid || size == 0 || size != bytes.size())
        return malformed(Str::DebugNotOneSerialMessage);
    if (bytes[0] == kSerialAcknowledge)
        return acknowledge();
    WritePayload payload;
    payload.address = wire::get16(bytes, 1);
    payload.data.assign(bytes.begin() + 4, bytes.end());
    return writeTo(std::move(payload));
}

}  // namespace veltrane
