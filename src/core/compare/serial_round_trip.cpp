#include "core/compare/serial_round_trip.h"

#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_frame.h"

#include <algorithm>

namespace veltrane::compare {

namespace code = serial::code;

namespace {

// Stores one write as the gateway keeps it; other requests change nothing.
void store(const serial::Frame& frame, const serial::UploadContext& context, serial::UploadBuffers& memory) {
    const Bytes& d = frame.data;
    const bool subnetNamed = !d.empty() && d[0] < serial::kWireSubnets;
    switch (frame.code) {
    case code::WriteSubnet:
        if (subnetNamed) {
            serial::SubnetBlock block{};
            const std::size_t kept = std::min(d.size() - 1, context.longSubnetBlocks ? serial::kLongBlock
                                                                                   : serial::kShortBlock);
            std::copy_n(d.begin() + 1, kept, block.begin());
            memory.blocks[d[0]] = block;
        }
        break;
    case code::AddCommand:
        if (subnetNamed && d.size() == 2 + kCommandRecordSize && d[1] < kMaxCommands) {
            std::copy(d.begin() + 2, d.end(), memory.commands[d[0]][d[1]].begin());
            memory.commandCounts[d[0]] = std::max(memory.commandCounts[d[0]], d[1] + 1);
        }
        break;
    case code::ClearCommands:
        if (subnetNamed) {
            memory.commandCounts[d[0]] = 0;
            memory.commands[d[0]] = {};
        }
        break;
    case code::WriteDeviceNet:
        if (d.size() == memory.deviceNet.size())
            std::copy(d.begin(), d.end(), memory.deviceNet.begin());
        break;
    case code::WriteProfibus:
        memory.profibus = {};
        std::copy_n(d.begin(), std::min(d.size(), context.longProfibusReply ? std::size_t{3} : std::size_t{2}),
                    memory.profibus.begin());
        break;
    case code::WriteOption:
        if (memory.option && d.size() == 1)
            memory.option = d[0];
        break;
    case code::WriteConfigData:
        if (memory.configData && d.size() == 1 + serial::kConfigDataBytes && d[0] <= serial::kConfigDataBytes)
            memory.configData = std::vector<std::uint8_t>(d.begin() + 1, d.begin() + 1 + d[0]);
        break;
    default:
        break;
    }
}

}  // namespace

serial::UploadBuffers serialRoundTrip(const Project& project, const ProjectState& state,
                                      const serial::UploadBuffers& held) {
    const serial::UploadContext context = serial::UploadContext::of(state);
    serial::UploadBuffers memory = held;
    serial::SerialDownload download(project, state);
    while (const serial::SerialStep* step = download.current()) {
        const std::optional<serial::Frame> frame = serial::Frame::decode(step->request);
        if (!frame)
            break;
        Bytes reply;
        if (frame->code == code::DeviceInfo) {
            reply = serial::Frame{code::DeviceInfo, Bytes(held.deviceInfo.begin(), held.deviceInfo.end())}.encode();
        } else {
            store(*frame, context, memory);
            reply = serial::Frame{frame->code, {}}.encode();
        }
        if (download.onReply(reply).kind != serial::StepOutcome::Kind::Continue)
            break;
    }
    return memory;
}

}  // namespace veltrane::compare
