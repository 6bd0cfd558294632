#include "core/link/ethernet/configuration_image.h"
#include "core/model/subnet_protocol.h"

#include "core/common/ipv4.h"
#include "core/common/wire_order.h"
#include "core/link/command_record.h"
#include "core/link/ethernet/message_header.h"
#include "core/model/text_value.h"
#include "core/strings/strings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace veltrane::ethernet {

namespace {

using ImageBytes = std::span<std::uint8_t, kImageSize>;
using ConstImageBytes = std::span<const std::uint8_t, kImageSize>;

constexpr std::size_t kIpAssign = 0x008;
constexpr std::size_t kIpAddress = 0x00C;
constexpr std::size_t kSubnetMask = 0x010;
constexpr std::size_t kDefaultGateway = 0x014;
constexpr std::size_t kDns1 = 0x018;
constexpr std::size_t kDns2 = 0x01C;
constexpr std::size_t kSerial[2] = {0x020, 0x028};
constexpr std::size_t kProtocol[2] = {0x030, 0x294};
constexpr std::size_t kCommands[2] = {0x054, 0x2B8};
// Each command record sits in a 12-byte slot.
constexpr std::size_t kCommandSlotSize = 12;

bool is(const std::string& text, Str label) { return text == tr(label); }

std::int32_t clampedCount(std::int32_t count) { return std::clamp(count, 0, kMaxCommands); }

// ----- encoding -----

void putAddress(ImageBytes bytes, std::size_t at, const std::string& text) {
    const Ipv4Octets octets = parseIpv4(text).value_or(Ipv4Octets{0xFF, 0xFF, 0xFF, 0xFF});
    std::copy(octets.begin(), octets.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

std::uint8_t parityCode(const std::string& parity) {
    if (is(parity, Str::ParityNone))
        return 0;
    if (is(parity, Str::ParityOdd))
        return 1;
    if (is(parity, Str::ParityEven))
        return 2;
    if (is(parity, Str::ParityMark))
        return 3;
    return 4;
}

// The numbers of the 8 serial settings bytes; the parity byte is a code.
std::vector<CarriedNumber> serialNumbers(const CONFIG& subnet) {
    const bool master = isModbusMaster(subnet);
    return {
        decimalNumber(0, FieldWidth::Long, master ? subnet.baudRate : subnet.userBaudRate, Str::SnTitleBaudRate),
        decimalNumber(4, FieldWidth::Byte, master ? subnet.dataBits : subnet.userDataBits, Str::SnTitleDataBits),
        decimalNumber(6, FieldWidth::Byte, master ? subnet.stopBits : subnet.userStopBits, Str::SnTitleStopBits),
    };
}

// The numbers of the protocol block; its codes and the command count are written beside them.
std::vector<CarriedNumber> protocolNumbers(const CONFIG& subnet) {
    if (isModbusMaster(subnet))
        return {
            decimalNumber(12, FieldWidth::Long, subnet.responseTimeout, Str::SnTitleResponseTimeout),
            decimalNumber(16, FieldWidth::Long, subnet.pollDelay, Str::SnTitlePollDelay),
            decimalNumber(28, FieldWidth::Long, subnet.scanRate, Str::SnTitleScanRate),
        };
    return {
        decimalNumber(8, FieldWidth::Long, subnet.charInterval, Str::SnTitleCharInterval),
        decimalNumber(12, FieldWidth::Long, subnet.frameLength, Str::SnTitleFrameLength),
        decimalNumber(16, FieldWidth::Byte, subnet.startDelimiter, Str::SnTitleStartDelimiter),
        decimalNumber(17, FieldWidth::Byte, subnet.endDelimiter, Str::SnTitleEndDelimiter),
        decimalNumber(24, FieldWidth::Long, subnet.autoSendPeriod, Str::SnTitleAutoSendPeriod),
    };
}

void putNumbers(ImageBytes bytes, std::size_t at, const std::vector<CarriedNumber>& numbers) {
    for (const CarriedNumber& number : numbers)
        putNumber(bytes, at, number);
}

void putSerial(ImageBytes bytes, std::size_t at, const CONFIG& subnet) {
    const bool master = isModbusMaster(subnet);
    putNumbers(bytes, at, serialNumbers(subnet));
    bytes[at + 5] = parityCode(master ? subnet.parity : subnet.userParity);
}

void putProtocolBlock(ImageBytes bytes, std::size_t at, const CONFIG& subnet) {
    putNumbers(bytes, at, protocolNumbers(subnet));
    if (isModbusMaster(subnet)) {
        std::uint32_t output = 3;
        if (is(subnet.outputMode, Str::OutputCycle))
            output = 1;
        else if (is(subnet.outputMode, Str::OutputForbidden))
            output = 2;
        wire::put32(bytes, at + 20, output);
        wire::put32(bytes, at + 32, static_cast<std::uint32_t>(clampedCount(subnet.commandCount)));
        return;
    }
    wire::put32(bytes, at, 3);
    std::uint32_t frame = 2;
    if (is(subnet.frameType, Str::FrameTimeInterval))
        frame = 0;
    else if (is(subnet.frameType, Str::FrameLength))
        frame = 1;
    wire::put32(bytes, at + 4, frame);
    wire::put32(bytes, at + 20, is(subnet.autoSend, Str::Disable) ? 0 : 1);
    wire::put32(bytes, at + 28, is(subnet.crcCheck, Str::Disable) ? 0 : 1);
}

void putCommands(ImageBytes bytes, std::size_t at, const CONFIG& subnet) {
    // Written whatever the protocol: a User Config subnet keeps its commands in the gateway.
    const auto count = static_cast<std::size_t>(clampedCount(subnet.commandCount));
    for (std::size_t i = 0; i < count; ++i) {
        const INSTRUCTION& c = subnet.commands[i];
        CommandRecordFields fields = commandRecordNumbers(c);
        fields.scanType = is(c.scanType, Str::ScanFast) ? 0 : 1;
        // The Ethernet gateway only swaps; it has no data filter.
        fields.filterOrSwap = 2;
        if (is(c.filterOrSwap, Str::SwapNone))
            fields.filterOrSwap = 0;
        else if (is(c.filterOrSwap, Str::SwapTwoBytes))
            fields.filterOrSwap = 1;
        encodeCommandRecord(fields, bytes.subspan(at + i * kCommandSlotSize));
    }
}

// ----- decoding -----

std::string signedText(ConstImageBytes bytes, std::size_t at) {
    return decimalText(static_cast<std::int32_t>(wire::get32(bytes, at)));
}

std::string addressText(ConstImageBytes bytes, std::size_t at, const char* fallback) {
    const Ipv4Octets octets{bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]};
    // 255.255.255.255 is what the parser calls a failure, so it never becomes a setting.
    if (octets == Ipv4Octets{0xFF, 0xFF, 0xFF, 0xFF})
        return fallback;
    return ipv4Text(octets);
}

const std::string& parityText(std::uint8_t code) {
    switch (code) {
    case 0: return tr(Str::ParityNone);
    case 1: return tr(Str::ParityOdd);
    case 2: return tr(Str::ParityEven);
    case 3: return tr(Str::ParityMark);
    default: return tr(Str::ParitySpace);
    }
}

struct SerialFields {
    std::string* baud;
    std::string* dataBits;
    std::string* parity;
    std::string* stopBits;
};

void readSerial(ConstImageBytes bytes, std::size_t at, const SerialFields& to) {
    *to.baud = signedText(bytes, at);
    *to.dataBits = decimalText(bytes[at + 4]);
    *to.parity = parityText(bytes[at + 5]);
    *to.stopBits = decimalText(bytes[at + 6]);
}

void readUserConfig(ConstImageBytes bytes, std::size_t at, CONFIG& subnet) {
    subnet.protocolType = storedProtocolText(SubnetProtocol::UserConfig);
    switch (wire::get32(bytes, at + 4)) {
    case 1: subnet.frameType = tr(Str::FrameLength); break;
    case 2: subnet.frameType = tr(Str::FrameDelimiter); break;
    default: subnet.frameType = tr(Str::FrameTimeInterval); break;
    }
    subnet.charInterval = signedText(bytes, at + 8);
    subnet.frameLength = signedText(bytes, at + 12);
    subnet.startDelimiter = decimalText(bytes[at + 16]);
    subnet.endDelimiter = decimalText(bytes[at + 17]);
    subnet.autoSend = tr(bytes[at + 23] != 0 ? Str::Enable : Str::Disable);
    subnet.autoSendPeriod = signedText(bytes, at + 24);
    subnet.crcCheck = tr(bytes[at + 31] != 0 ? Str::Enable : Str::Disable);
}

void readCommands(ConstImageBytes bytes, std::size_t at, CONFIG& subnet) {
    std::vector<std::uint8_t> slaves;  // distinct slave addresses in order of first appearance
    const auto count = static_cast<std::size_t>(subnet.commandCount);
    for (std::size_t i = 0; i < count; ++i) {
        const CommandRecordFields record = decodeCommandRecord(bytes.subspan(at + i * kCommandSlotSize));
        INSTRUCTION& c = subnet.commands[i];
        applyCommandRecordNumbers(record, c);
        const std::uint8_t slave = record.slaveAddress;
        auto found = std::find(slaves.begin(), slaves.end(), slave);
        if (found == slaves.end())
            found = slaves.insert(slaves.end(), slave);
        c.nodeIndex = static_cast<std::int32_t>(found - slaves.begin()) + 1;
        NodeEntry& node = subnet.nodes[static_cast<std::size_t>(c.nodeIndex - 1)];
        node.address = decimalText(slave);
        node.name = format(Str::NodeNamePattern, {decimalText(slave)});

        c.scanType = tr(record.scanType == 0 ? Str::ScanFast : Str::ScanSlow);
        switch (record.filterOrSwap) {
        case 0: c.filterOrSwap = tr(Str::SwapNone); break;
        case 1: c.filterOrSwap = tr(Str::SwapTwoBytes); break;
        default: c.filterOrSwap = tr(Str::SwapFourBytes); break;
        }
    }
    subnet.nodeCount = static_cast<std::int32_t>(slaves.size());
}

void readModbusMaster(ConstImageBytes bytes, std::size_t block, std::size_t table, CONFIG& subnet) {
    subnet.protocolType = storedProtocolText(SubnetProtocol::ModbusMaster);
    subnet.transmissionMode = tr(Str::ModeRTU);
    subnet.responseTimeout = signedText(bytes, block + 12);
    subnet.pollDelay = signedText(bytes, block + 16);
    switch (wire::get32(bytes, block + 20)) {
    case 1: subnet.outputMode = tr(Str::OutputCycle); break;
    case 2: subnet.outputMode = tr(Str::OutputForbidden); break;
    default: subnet.outputMode = tr(Str::OutputChangeOfValue); break;
    }
    subnet.scanRate = signedText(bytes, block + 28);
    subnet.commandCount = clampedCount(static_cast<std::int32_t>(wire::get32(bytes, block + 32)));
    readCommands(bytes, table, subnet);
}

}  // namespace

ConfigurationImage ConfigurationImage::fromReceived(std::span<const std::uint8_t> received) {
    ConfigurationImage image;
    std::copy_n(received.begin(), std::min(received.size(), kImageSize), image.m_bytes.begin());
    return image;
}

std::uint32_t ConfigurationImage::commandCode() const { return wire::get32(m_bytes, 0); }

void ConfigurationImage::setCommandCode(std::uint32_t code) { wire::put32(m_bytes, 0, code); }

ConfigurationImage buildConfigurationImage(const Project& project, const ProjectState& state) {
    ConfigurationImage image;
    const ImageBytes bytes = image.bytes();
    const FIELDBUS& fieldbus = project.fieldbus;
    wire::put32(bytes, 0, command::WriteConfiguration);
    wire::put32(bytes, 4, kImageBodySize);

    std::uint32_t assign = 2;
    if (is(fieldbus.ipAssignMode, Str::IpManuallyAssign))
        assign = 0;
    else if (is(fieldbus.ipAssignMode, Str::IpDHCP))
        assign = 1;
    wire::put32(bytes, kIpAssign, assign);
    putAddress(bytes, kIpAddress, fieldbus.ipAddress);
    putAddress(bytes, kSubnetMask, fieldbus.subnetMask);
    putAddress(bytes, kDefaultGateway, fieldbus.defaultGateway);
    if (state.flags.singleSubnetModel) {
        wire::put32(bytes, kDns1, is(fieldbus.configMode, Str::Enable) ? 1 : 0);
        wire::put32(bytes, kDns2, is(fieldbus.configData, Str::Enable) ? 3 : 0);
    } else {
        putAddress(bytes, kDns1, fieldbus.dns1);
        putAddress(bytes, kDns2, fieldbus.dns2);
    }
    for (std::size_t k = 0; k < 2; ++k) {
        const CONFIG& subnet = project.subnets[k];
        putSerial(bytes, kSerial[k], subnet);
        putProtocolBlock(bytes, kProtocol[k], subnet);
        putCommands(bytes, kCommands[k], subnet);
    }
    return image;
}

std::vector<ItemNumber> imageNumbers(const Project& project) {
    std::vector<ItemNumber> numbers;
    for (int k = 0; k < 2; ++k) {
        const CONFIG& subnet = project.subnets[static_cast<std::size_t>(k)];
        for (const auto& list : {serialNumbers(subnet), protocolNumbers(subnet)})
            for (const CarriedNumber& number : list)
                numbers.push_back({subnetItemPath(k), number});
        for (int i = 0; i < clampedCount(subnet.commandCount); ++i)
            for (const CarriedNumber& number : commandNumbers(subnet.commands[static_cast<std::size_t>(i)]))
                numbers.push_back({commandItemPath(subnet, k, i), number});
    }
    return numbers;
}

void decodeConfigurationImage(const ConfigurationImage& image, Project& project, ProjectState& state) {
    const ConstImageBytes bytes = image.bytes();
    FIELDBUS& fieldbus = project.fieldbus;
    state.DeviceType = device::EtherNetIP;
    fieldbus.fieldbusType = tr(Str::FieldbusEtherNetIP);

    switch (bytes[kIpAssign + 3]) {
    case 0: fieldbus.ipAssignMode = tr(Str::IpManuallyAssign); break;
    case 1: fieldbus.ipAssignMode = tr(Str::IpDHCP); break;
    default: fieldbus.ipAssignMode = tr(Str::IpBOOTP); break;
    }
    fieldbus.ipAddress = addressText(bytes, kIpAddress, "192.168.0.110");
    fieldbus.subnetMask = addressText(bytes, kSubnetMask, "255.255.255.0");
    fieldbus.defaultGateway = addressText(bytes, kDefaultGateway, "192.168.0.1");
    if (state.flags.singleSubnetModel) {
        fieldbus.configMode = tr(bytes[kDns1 + 3] != 0 ? Str::Enable : Str::Disable);
        fieldbus.configData = tr(bytes[kDns2 + 3] != 0 ? Str::Enable : Str::Disable);
    } else {
        fieldbus.dns1 = addressText(bytes, kDns1, "0.0.0.0");
        fieldbus.dns2 = addressText(bytes, kDns2, "0.0.0.0");
    }

    CONFIG& first = project.subnets[0];
    const bool firstIsMaster = bytes[kProtocol[0] + 3] == 0;
    if (firstIsMaster)
        readSerial(bytes, kSerial[0], {&first.baudRate, &first.dataBits, &first.parity, &first.stopBits});
    else
        readSerial(bytes, kSerial[0], {&first.userBaudRate, &first.userDataBits, &first.userParity, &first.userStopBits});
    CONFIG& second = project.subnets[1];
    readSerial(bytes, kSerial[1], {&second.baudRate, &second.dataBits, &second.parity, &second.stopBits});

    if (firstIsMaster)
        readModbusMaster(bytes, kProtocol[0], kCommands[0], first);
    else
        readUserConfig(bytes, kProtocol[0], first);
    readModbusMaster(bytes, kProtocol[1], kCommands[1], second);
}

}  // namespace veltrane::ethernet
