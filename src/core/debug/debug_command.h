#pragma once
// Messages from the tool to the gateway during debugging: start, stop, acknowledge and write.
// Ethernet messages carry the 8-byte header (command code, body length; big-endian); serial ones are
// bare bytes.

#include "core/common/result.h"
#include "core/debug/debug_transport.h"
#include "core/mapping/buffer_layout.h"

#include <cstdint>

namespace veltrane {

// Bytes to put into the gateway's output buffer at `address`, the only place "Send" may write.
struct WritePayload {
    std::uint16_t address = static_cast<std::uint16_t>(kOutputBufferFirst);
    Bytes data;

    friend bool operator==(const WritePayload&, const WritePayload&) = default;
};

inline constexpr std::uint32_t kDebugControlCode = 0x0E;  // start and stop
inline constexpr std::uint32_t kDebugReplyCode = 0x10;    // acknowledge and write
// A serial write carries its byte count in one byte.
inline constexpr std::size_t kSerialWriteMaxBytes = 255;

struct DebugCommand {
    enum class Kind { Start, Stop, Acknowledge, Write };

    Kind kind = Kind::Acknowledge;
    WritePayload write;  // Kind::Write only

    static DebugCommand start() { return {Kind::Start, {}}; }
    static DebugCommand stop() { return {Kind::Stop, {}}; }
    static DebugCommand acknowledge() { return {Kind::Acknowledge, {}}; }
    static DebugCommand writeTo(WritePayload payload) { return {Kind::Write, std::move(payload)}; }

    Bytes encodeEthernet() const;
    // Start and stop exist only over Ethernet; they encode to nothing here. A write longer than
    // kSerialWriteMaxBytes cannot be framed and also encodes to nothing.
    Bytes encodeSerial() const;

    // Exactly one whole message; anything else is refused.
    static Result<DebugCommand> decodeEthernet(ByteView bytes);
    static Result<DebugCommand> decodeSerial(ByteView bytes);
    // The size of the serial message that `bytes` begins with: 0 while more bytes are needed to
    // tell, and also 0 (with `invalid` set) when the first byte starts no message.
    static std::size_t serialMessageSize(ByteView bytes, bool& invalid);

    friend bool operator==(const DebugCommand&, const DebugCommand&) = default;
};

}  // namespace veltrane
