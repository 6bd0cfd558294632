#include "sim/engine/serial/serial_gateway_engine.h"

#include "core/common/wire_order.h"
#include "core/model/device_profile.h"

#include <algorithm>

namespace veltrane::sim {

namespace code = serial::code;
using serial::Frame;

namespace {
// Error bytes of the simulator's own refusals.
constexpr std::uint8_t kErrorUnknownRequest = 0x01;
constexpr std::uint8_t kErrorBadArgument = 0x02;

Bytes reply(std::uint8_t replyCode, Bytes data = {}) {
    return Frame{replyCode, std::move(data)}.encode();
}
Bytes negative(std::uint8_t requestCode, std::uint8_t error1, std::uint8_t error2 = 0) {
    return reply(static_cast<std::uint8_t>(requestCode | serial::kNegativeBit), {error1, error2});
}
} // namespace

Bytes SerialReply::bytes() const {
    Bytes out;
    for (const ReplyChunk& chunk : chunks)
        out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
    return out;
}

SerialGatewayEngine::SerialGatewayEngine(SerialGatewayConfig config) : m_config(std::move(config)) {}

void SerialGatewayEngine::setFaults(std::vector<SerialFault> faults) {
    m_config.faults = std::move(faults);
    m_requests = 0;
}

const DeviceProfile& SerialGatewayEngine::profile() const {
    return deviceProfileForCode(m_config.deviceCode);
}
int SerialGatewayEngine::subnetCount() const {
    return profile().subnets == SubnetProcedure::FourSubnets ? serial::kWireSubnets : 1;
}
int SerialGatewayEngine::recordsPerPackage() const {
    return profile().commandsPerPackage;
}
bool SerialGatewayEngine::longSubnetReplies() const {
    return profile().longSubnetFrame || m_config.extendedFrames;
}
bool SerialGatewayEngine::longProfibusReplies() const {
    return profile().fieldbus == FieldbusFrame::ProfibusLong || m_config.extendedFrames;
}

SerialReply SerialGatewayEngine::handle(ByteView request) {
    const std::size_t index = m_requests++;
    const auto fault = std::find_if(m_config.faults.begin(), m_config.faults.end(),
                                    [index](const SerialFault& f) { return f.request == index; });
    const std::optional<Frame> frame = Frame::decode(request);
    m_lastCode = frame ? frame->code : 0;
    if (!frame)
        return {};
    SerialReply out;
    if (fault == m_config.faults.end()) {
        out.chunks.push_back({std::chrono::milliseconds{0}, answer(*frame)});
        return out;
    }
    switch (fault->kind) {
    case SerialFault::Kind::Silence:
        return {};
    case SerialFault::Kind::NegativeReply:
        out.chunks.push_back({std::chrono::milliseconds{0},
                              negative(frame->code, fault->errorBytes[0], fault->errorBytes[1])});
        return out;
    case SerialFault::Kind::BadChecksum: {
        Bytes bytes = answer(*frame);
        bytes.back() = static_cast<std::uint8_t>(bytes.back() + 1);
        out.chunks.push_back({std::chrono::milliseconds{0}, std::move(bytes)});
        return out;
    }
    case SerialFault::Kind::SplitReply: {
        const Bytes bytes = answer(*frame);
        const auto half = static_cast<std::ptrdiff_t>(bytes.size() / 2);
        out.chunks.push_back({std::chrono::milliseconds{0}, Bytes(bytes.begin(), bytes.begin() + half)});
        out.chunks.push_back({fault->delay, Bytes(bytes.begin() + half, bytes.end())});
        return out;
    }
    case SerialFault::Kind::LateReply:
        out.chunks.push_back({fault->delay, answer(*frame)});
        return out;
    }
    return out;
}

Bytes SerialGatewayEngine::answer(const Frame& request) {
    const Bytes& d = request.data;
    const std::uint8_t c = request.code;
    const auto subnetOk = [&](std::size_t minimumSize) {
        return d.size() >= minimumSize && d.size() >= 1 && d[0] < subnetCount();
    };
    switch (c) {
    case code::DeviceInfo: {
        const int version = std::clamp(m_config.firmwareVersion, 0, 255 * 10 + 9);
        return reply(c,
                     {static_cast<std::uint8_t>(m_config.deviceCode), static_cast<std::uint8_t>(version / 10),
                      static_cast<std::uint8_t>(version % 10), 0, 0, 0, 0, 0});
    }
    case code::WriteSubnet: {
        const std::size_t blockSize = d.size() - 1;
        if (!subnetOk(1) || (blockSize != serial::kShortBlock && blockSize != serial::kLongBlock))
            return negative(c, kErrorBadArgument);
        serial::SubnetBlock block{};
        std::copy(d.begin() + 1, d.end(), block.begin());
        m_memory.blocks[d[0]] = block;
        return reply(c);
    }
    case code::ReadSubnet: {
        if (!subnetOk(1))
            return negative(c, kErrorBadArgument);
        const std::size_t blockSize = longSubnetReplies() ? serial::kLongBlock : serial::kShortBlock;
        Bytes data{d[0]};
        const auto& block = m_memory.blocks[d[0]];
        data.insert(data.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(blockSize));
        return reply(c, std::move(data));
    }
    case code::AddCommand: {
        if (!subnetOk(2 + kCommandRecordSize) || d.size() != 2 + kCommandRecordSize ||
            d[1] >= kMaxCommands)
            return negative(c, kErrorBadArgument);
        std::copy(d.begin() + 2, d.end(), m_memory.commands[d[0]][d[1]].begin());
        if (m_config.alterStored && d[0] == 0 && d[1] == 0) {
            auto& record = m_memory.commands[0][0];
            wire::put16(record, 2, wire::get16(record, 2) + 1u);  // bytes 2 and 3: the starting address
        }
        m_memory.commandCounts[d[0]] = std::max(m_memory.commandCounts[d[0]], d[1] + 1);
        return reply(c);
    }
    case code::ClearCommands:
        if (!subnetOk(3) || d[1] != serial::kClearCommandsMagic1 || d[2] != serial::kClearCommandsMagic2)
            return negative(c, kErrorBadArgument);
        m_memory.commandCounts[d[0]] = 0;
        m_memory.commands[d[0]] = {};
        return reply(c);
    case code::ReadCommandCount: {
        if (!subnetOk(1))
            return negative(c, kErrorBadArgument);
        Bytes data{d[0]};
        wire::append16(data, static_cast<std::uint32_t>(m_memory.commandCounts[d[0]]));
        return reply(c, std::move(data));
    }
    case code::ReadCommandPackage: {
        if (!subnetOk(2))
            return negative(c, kErrorBadArgument);
        const int per = recordsPerPackage();
        const int first = d[1] * per;
        const int last = std::min(m_memory.commandCounts[d[0]], first + per);
        Bytes data{d[0]};
        for (int position = first; position < last; ++position) {
            data.push_back(static_cast<std::uint8_t>(position));
            const auto& record = m_memory.commands[d[0]][static_cast<std::size_t>(position)];
            data.insert(data.end(), record.begin(), record.end());
        }
        return reply(c, std::move(data));
    }
    case code::WriteDeviceNet:
        if (d.size() != 4)
            return negative(c, kErrorBadArgument);
        std::copy(d.begin(), d.end(), m_memory.deviceNet.begin());
        return reply(c);
    case code::ReadDeviceNet:
        return reply(c, Bytes(m_memory.deviceNet.begin(), m_memory.deviceNet.end()));
    case code::WriteProfibus:
        if (d.size() != 2 && d.size() != 3)
            return negative(c, kErrorBadArgument);
        m_memory.profibus = {};
        std::copy(d.begin(), d.end(), m_memory.profibus.begin());
        return reply(c);
    case code::ReadProfibus:
        return reply(
            c, Bytes(m_memory.profibus.begin(), m_memory.profibus.begin() + (longProfibusReplies() ? 3 : 2)));
    case code::WriteOption:
        if (d.size() != 1)
            return negative(c, kErrorBadArgument);
        m_memory.option = d[0];
        return reply(c);
    case code::ReadOption:
        return reply(c, {m_memory.option});
    case code::WriteConfigData:
        if (d.size() != 1 + serial::kConfigDataBytes || d[0] > serial::kConfigDataBytes)
            return negative(c, kErrorBadArgument);
        m_memory.configData.assign(d.begin() + 1, d.begin() + 1 + d[0]);
        return reply(c);
    case code::ReadConfigData: {
        Bytes data(1 + serial::kConfigDataBytes, 0);
        data[0] = static_cast<std::uint8_t>(m_memory.configData.size());
        std::copy(m_memory.configData.begin(), m_memory.configData.end(), data.begin() + 1);
        return reply(c, std::move(data));
    }
    default:
        return negative(c, kErrorUnknownRequest);
    }
}

} // namespace veltrane::sim
