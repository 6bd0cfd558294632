#pragma once
// The checks a reply passes before anything in it is used. Replies come from a device and are
// untrusted: every index they carry is bounded before it is used.

#include "core/link/serial/serial_frame.h"
#include "core/link/serial/serial_requests.h"
#include "core/model/project_state.h"

#include <array>
#include <cstdint>

namespace veltrane::serial {

inline constexpr int kWireSubnets = 4;
inline constexpr int kDeviceInfoBytes = 8;

// What a download reply carries, when checkDownloadReply accepts it.
struct DownloadReply {
    std::uint8_t code = 0;                                   // 0: not well formed
    std::array<std::uint8_t, kDeviceInfoBytes> deviceInfo{}; // code 0x01
    std::array<std::uint8_t, 2> errorBytes{};                // negative replies
};

// The reply's code when it is well formed (a device information reply, an empty positive reply
// of a write, or a negative reply of a write), else code 0.
DownloadReply checkDownloadReply(ByteView reply);

// Everything an upload gathers; read by decodeUploadedProject.
struct UploadBuffers {
    std::array<std::uint8_t, kDeviceInfoBytes> deviceInfo{};
    std::array<std::uint8_t, 4> deviceNet{};
    std::array<std::uint8_t, 3> profibus{};
    std::array<SubnetBlock, kWireSubnets> blocks{};
    std::array<std::int32_t, kWireSubnets> commandCounts{};
    std::array<std::array<CommandRecord, kMaxCommands>, kWireSubnets> commands{};
    // The last two exchanges, kept here so that the project changes only once all have succeeded.
    std::optional<std::uint8_t> option;
    std::optional<std::vector<std::uint8_t>> configData; // 0..8 bytes

    bool operator==(const UploadBuffers&) const = default;
};

// How the device information reply and the long forms are judged.
struct UploadContext {
    bool longSubnetBlocks = false;  // usesLongSubnetFrame
    bool longProfibusReply = false; // readsLongProfibusReply
    bool hardwareSizedModel = false;

    static UploadContext of(const ProjectState& state);
};

// The reply's code when it is well formed, storing its content into the buffers; else 0 and the
// buffers stay as they were. A reply naming a subnet above 3, a command position above 47 or a
// command count above 48 is not well formed: the records hold no more.
std::uint8_t checkUploadReply(ByteView reply, const UploadContext& context, UploadBuffers& buffers);

// How many command records a command package reply carries: (n - 1) / 12, none when n is below 13.
std::size_t packageRecordCount(ByteView reply);

// The option byte reply: begins 33, the value is its third byte.
std::optional<std::uint8_t> checkOptionReply(ByteView reply);
// The configuration data reply: begins 35 09, then the count c (0..8) and the data bytes.
std::optional<std::vector<std::uint8_t>> checkConfigDataReply(ByteView reply);
// The replies of the option and configuration data writes, tested by their first bytes only.
bool isOptionWriteAccepted(ByteView reply);
bool isConfigDataWriteAccepted(ByteView reply);

} // namespace veltrane::serial
