#include "core/link/serial/reply_checks.h"

#include "core/common/wire_order.h"
#include "core/model/device_profile.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
// The checksum of a frame with n data bytes is there and matches the bytes before it; false when
// the reply is shorter.
bool checksumAfter(ByteView reply, std::size_t n) {
    const std::size_t at = frameSize(n) - 1;
    return reply.size() > at && checksum(reply.first(at)) == reply[at];
}

bool hasN(ByteView reply, std::size_t n) {
    return reply.size() >= 2 && reply[1] == n;
}

// A command package lists each record after its slot's position byte.
constexpr std::size_t kPackageEntrySize = 1 + kCommandRecordSize;

bool startsWith(ByteView reply, std::initializer_list<std::uint8_t> prefix) {
    return reply.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), reply.begin());
}
} // namespace

DownloadReply checkDownloadReply(ByteView reply) {
    DownloadReply out;
    if (reply.empty())
        return out;
    const std::uint8_t first = reply[0];
    switch (first) {
    case code::DeviceInfo:
        if (hasN(reply, kDeviceInfoBytes) && checksumAfter(reply, kDeviceInfoBytes)) {
            std::copy_n(reply.begin() + 2, kDeviceInfoBytes, out.deviceInfo.begin());
            out.code = first;
        }
        break;
    case code::WriteSubnet:
    case code::AddCommand:
    case code::ClearCommands:
    case code::WriteDeviceNet:
    case code::WriteProfibus:
        // An empty frame's checksum is its own code.
        if (hasN(reply, 0) && reply.size() > 2 && reply[2] == first)
            out.code = first;
        break;
    case code::DeviceInfo | kNegativeBit:
    case code::WriteSubnet | kNegativeBit:
    case code::AddCommand | kNegativeBit:
    case code::WriteDeviceNet | kNegativeBit:
    case code::WriteProfibus | kNegativeBit:
        if (hasN(reply, 2) && checksumAfter(reply, 2)) {
            out.errorBytes = {reply[2], reply[3]};
            out.code = first;
        }
        break;
    default:
        break;
    }
    return out;
}

UploadContext UploadContext::of(const ProjectState& state) {
    return UploadContext{usesLongSubnetFrame(state), readsLongProfibusReply(state),
                         state.flags.hardwareSizedModel};
}

std::size_t packageRecordCount(ByteView reply) {
    const std::size_t n = reply.size() >= 2 ? reply[1] : 0;
    return n >= 1 + kPackageEntrySize ? (n - 1u) / kPackageEntrySize : 0;
}

std::uint8_t checkUploadReply(ByteView reply, const UploadContext& context, UploadBuffers& buffers) {
    if (reply.size() < 3)
        return 0;
    const std::uint8_t first = reply[0];
    const std::uint8_t n = reply[1];
    const std::uint8_t subnet = reply[2];
    switch (first) {
    case code::DeviceInfo: {
        if (n != kDeviceInfoBytes || !checksumAfter(reply, kDeviceInfoBytes))
            return 0;
        // A hardware-sized gateway's code; only hardware-sized projects take it.
        if (!uploadTakesDeviceCode(reply[2], context.hardwareSizedModel))
            return 0;
        std::copy_n(reply.begin() + 2, kDeviceInfoBytes, buffers.deviceInfo.begin());
        return first;
    }
    case code::ReadSubnet: {
        // The long form is judged by its checksum alone; the gateways that send it vary n.
        const std::size_t blockSize = context.longSubnetBlocks ? kLongBlock : kShortBlock;
        if (!context.longSubnetBlocks && n != 1 + kShortBlock)
            return 0;
        if (!checksumAfter(reply, 1 + blockSize) || subnet >= kWireSubnets)
            return 0;
        std::copy_n(reply.begin() + 3, blockSize, buffers.blocks[subnet].begin());
        return first;
    }
    case code::ReadCommandCount: {
        if (n != 3 || !checksumAfter(reply, 3) || subnet >= kWireSubnets)
            return 0;
        const int count = wire::get16(reply, 3);
        if (count > kMaxCommands)
            return 0;
        buffers.commandCounts[subnet] = count;
        return first;
    }
    case code::ReadCommandPackage: {
        if (!checksumAfter(reply, n))
            return 0;
        // With n = 0 the third byte is the checksum, not a subnet.
        if (n > 0 && subnet >= kWireSubnets)
            return 0;
        const std::size_t records = packageRecordCount(reply);
        for (std::size_t j = 0; j < records; ++j)
            if (reply[3 + kPackageEntrySize * j] >= kMaxCommands)
                return 0;
        for (std::size_t j = 0; j < records; ++j) {
            const std::size_t at = 3 + kPackageEntrySize * j;
            std::copy_n(reply.begin() + static_cast<std::ptrdiff_t>(at + 1), kCommandRecordSize,
                        buffers.commands[subnet][reply[at]].begin());
        }
        return first;
    }
    case code::ReadDeviceNet:
        if (n != 4 || !checksumAfter(reply, 4))
            return 0;
        std::copy_n(reply.begin() + 2, 4, buffers.deviceNet.begin());
        return first;
    case code::ReadProfibus:
        if (context.longProfibusReply) {
            // The long reply is taken without a test, but its three bytes must have arrived.
            if (reply.size() < 5)
                return 0;
            std::copy_n(reply.begin() + 2, 3, buffers.profibus.begin());
            return first;
        }
        if (n != 2 || !checksumAfter(reply, 2))
            return 0;
        std::copy_n(reply.begin() + 2, 2, buffers.profibus.begin());
        return first;
    case code::DeviceInfo | kNegativeBit:
    case code::ReadCommandCount | kNegativeBit:
        return n == 2 && checksumAfter(reply, 2) ? first : 0;
    default:
        return 0;
    }
}

std::optional<std::uint8_t> checkOptionReply(ByteView reply) {
    if (reply.size() < 3 || reply[0] != code::ReadOption)
        return std::nullopt;
    return reply[2];
}

std::optional<std::vector<std::uint8_t>> checkConfigDataReply(ByteView reply) {
    if (!startsWith(reply, {code::ReadConfigData, 0x09}) || reply.size() < 3)
        return std::nullopt;
    const std::size_t count = reply[2];
    if (count > kConfigDataBytes || reply.size() < 3 + count)
        return std::nullopt;
    return std::vector<std::uint8_t>(reply.begin() + 3,
                                     reply.begin() + 3 + static_cast<std::ptrdiff_t>(count));
}

bool isOptionWriteAccepted(ByteView reply) {
    return startsWith(reply, {code::WriteOption, 0x00});
}

bool isConfigDataWriteAccepted(ByteView reply) {
    return startsWith(reply, {code::WriteConfigData, 0x00, code::WriteConfigData});
}

} // namespace veltrane::serial
