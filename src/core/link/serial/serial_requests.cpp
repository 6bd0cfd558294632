#include "core/link/serial/serial_requests.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/profibus_config_data.h"
#include "core/common/wire_order.h"
#include "core/link/serial/code_tables.h"
#include "core/model/text_value.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
std::uint8_t lowByte(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t byteOf(const std::string& text) {
    return lowByte(decimalValue(text));
}
std::uint8_t subnetByte(int subnet) {
    return lowByte(subnet);
}

Bytes frameOf(std::uint8_t frameCode, Bytes data) {
    return Frame{frameCode, std::move(data)}.encode();
}

std::uint8_t enabled(const std::string& text) {
    return text == tr(Str::Enable) ? 1 : 0;
}
} // namespace

Bytes requestWithoutData(std::uint8_t requestCode) {
    return frameOf(requestCode, {});
}
Bytes readSubnetRequest(int subnet) {
    return frameOf(code::ReadSubnet, {subnetByte(subnet)});
}
Bytes readCommandCountRequest(int subnet) {
    return frameOf(code::ReadCommandCount, {subnetByte(subnet)});
}
Bytes readCommandPackageRequest(int subnet, int package) {
    return frameOf(code::ReadCommandPackage, {subnetByte(subnet), lowByte(package)});
}
Bytes clearCommandsRequest(int subnet) {
    return frameOf(code::ClearCommands, {subnetByte(subnet), kClearCommandsMagic1, kClearCommandsMagic2});
}

SubnetBlock subnetBlock(const Project& project, int subnet) {
    const CONFIG& c = project.subnets.at(static_cast<std::size_t>(subnet));
    const CONFIG& first = project.subnets[0];
    SubnetBlock b{};
    const auto& protocols = codes::protocols();
    const auto found = std::find(protocols.begin(), protocols.end(), c.protocolType);
    if (found == protocols.end())
        return b; // an unknown protocol sends protocol 0 with nothing else
    const auto protocol = static_cast<std::uint8_t>(found - protocols.begin());
    b[0] = protocol;

    struct Group {
        const std::string& baud;
        const std::string& bits;
        const std::string& parity;
        const std::string& stop;
    };
    const Group group =
        protocol == 0   ? Group{c.baudRate, c.dataBits, c.parity, c.stopBits}
        : protocol == 1 ? Group{c.slaveBaudRate, c.slaveDataBits, c.slaveParity, c.slaveStopBits}
        : protocol == 2 ? Group{c.customBaudRate, c.customDataBits, c.customParity, c.customStopBits}
                        : Group{c.userBaudRate, c.userDataBits, c.userParity, c.userStopBits};
    b[1] = codes::codeOf(codes::subnetBauds(), group.baud);
    b[2] = codes::codeOf(codes::dataBits(), group.bits);
    b[3] = codes::codeOf(codes::parities(), group.parity);
    b[4] = codes::codeOf(codes::stopBits(), group.stop);
    if (protocol == 1) {
        b[5] = byteOf(c.slaveModeAddress);
        b[6] = codes::codeOf(codes::transmissionModes(), c.slaveTransmissionMode);
    }
    if (protocol == 0) {
        b[6] = codes::codeOf(codes::transmissionModes(), c.transmissionMode);
        wire::put16(b, 7, decimalValue(c.responseTimeout));
        b[9] = lowByte(decimalValue(c.pollDelay) / 10); // "-1" truncates toward zero: 0
        b[10] = codes::codeOf(codes::outputModes(), c.outputMode);
        b[11] = lowByte(decimalValue(c.outputPulse) / 10);
        b[12] = byteOf(c.scanRate);
    }
    if (protocol == 3) {
        b[13] = c.frameType == tr(Str::FrameLength) ? 1 : 0;
        wire::put16(b, 14, decimalValue(c.charInterval));
        b[16] = byteOf(c.frameLength);
        b[17] = enabled(c.autoSend);
        wire::put16(b, 18, decimalValue(c.autoSendPeriod));
        b[20] = enabled(c.crcCheck);
    } else if (isModbusMaster(first)) {
        // The status bytes are a gateway-wide setting kept with subnet 1; "Disable" reads as 0.
        b[13] = byteOf(first.commandStatus);
    }
    b[21] = c.commInterface == tr(Str::InterfaceRS232) ? 1 : 0;
    return b;
}

Bytes subnetParameterFrame(const Project& project, int subnet, bool longForm) {
    const SubnetBlock block = subnetBlock(project, subnet);
    Bytes data{subnetByte(subnet)};
    data.insert(data.end(), block.begin(),
                block.begin() + static_cast<std::ptrdiff_t>(longForm ? kLongBlock : kShortBlock));
    return frameOf(code::WriteSubnet, std::move(data));
}

CommandRecord commandRecord(const INSTRUCTION& command) {
    CommandRecordFields fields = commandRecordNumbers(command);
    fields.scanType = command.scanType == tr(Str::ScanFast) ? 0 : 1;
    // The serial gateways take a data filter or a byte swap in the same byte.
    const std::string& f = command.filterOrSwap;
    if (f == tr(Str::FilterWord) || f == tr(Str::SwapNone))
        fields.filterOrSwap = 0;
    else if (f == tr(Str::FilterHiByte) || f == tr(Str::SwapTwoBytes))
        fields.filterOrSwap = 1;
    else
        fields.filterOrSwap = 2;
    return encodeCommandRecord(fields);
}

Bytes deviceNetFrame(const FIELDBUS& fieldbus) {
    return frameOf(code::WriteDeviceNet, {byteOf(fieldbus.deviceNetAddress),
                                          codes::codeOf(codes::deviceNetBauds(), fieldbus.deviceNetBaudRate),
                                          codes::codeOf(codes::deviceNetInputSizes(), fieldbus.inputSize),
                                          codes::codeOf(codes::deviceNetOutputSizes(), fieldbus.outputSize)});
}

Bytes profibusFrame(const Project& project, bool longForm) {
    Bytes data{codes::codeOf(codes::profibusSizes(), project.fieldbus.inputSize),
               codes::codeOf(codes::profibusSizes(), project.fieldbus.outputSize)};
    if (longForm)
        data.push_back(enabled(project.subnets[0].validDataLength));
    return frameOf(code::WriteProfibus, std::move(data));
}

Bytes optionFrame(std::uint8_t value) {
    return frameOf(code::WriteOption, {value});
}

Bytes configDataFrame(const FIELDBUS& fieldbus) {
    Bytes data(1 + kConfigDataBytes, 0);
    if (fieldbus.configMode != tr(Str::ConfigUseBytesChoice)) {
        const std::vector<std::uint8_t> bytes = configDataBytes(fieldbus.configData);
        const std::size_t count = std::min(bytes.size(), kConfigDataBytes);
        data[0] = static_cast<std::uint8_t>(count);
        std::copy_n(bytes.begin(), count, data.begin() + 1);
    }
    return frameOf(code::WriteConfigData, std::move(data));
}

std::optional<std::uint8_t> optionValue(const Project& project, const ProjectState& state,
                                        int firmwareVersion) {
    const CONFIG& first = project.subnets[0];
    if (state.flags.hardwareSizedModel)
        return first.doubleFaultClear == tr(Str::Disable) ? 0 : 1;
    if (state.flags.commandStatusModel && firmwareVersion >= 40)
        return first.timeoutAction == tr(Str::TimeoutHoldChoice) ? std::uint8_t{0}
                                                                 : byteOf(first.timeoutTimes);
    return std::nullopt;
}

bool exchangesConfigData(const ProjectState& state, int firmwareVersion) {
    return (state.flags.dataFilterModel || state.flags.configDataModel) && firmwareVersion >= 30;
}

FixedFrames buildFixedFrames(const Project& project) {
    FixedFrames f;
    f.deviceInfo = requestWithoutData(code::DeviceInfo);
    f.deviceNet = deviceNetFrame(project.fieldbus);
    f.profibusShort = profibusFrame(project, false);
    f.profibusLong = profibusFrame(project, true);
    f.readDeviceNet = requestWithoutData(code::ReadDeviceNet);
    f.readProfibus = requestWithoutData(code::ReadProfibus);
    f.readOption = requestWithoutData(code::ReadOption);
    f.readConfigData = requestWithoutData(code::ReadConfigData);
    return f;
}

SubnetFrames buildSubnetFrames(const Project& project, int subnet) {
    SubnetFrames f;
    f.parametersShort = subnetParameterFrame(project, subnet, false);
    f.parametersLong = subnetParameterFrame(project, subnet, true);
    f.clearCommands = clearCommandsRequest(subnet);
    f.readParameters = readSubnetRequest(subnet);
    f.readCommandCount = readCommandCountRequest(subnet);
    f.commandCount =
        std::clamp(project.subnets.at(static_cast<std::size_t>(subnet)).commandCount, 0, kMaxCommands);
    return f;
}

Bytes buildAddCommandFrame(const Project& project, int subnet, int position) {
    const INSTRUCTION& command =
        project.subnets.at(static_cast<std::size_t>(subnet)).commands.at(static_cast<std::size_t>(position));
    const CommandRecord record = commandRecord(command);
    Bytes data{subnetByte(subnet), lowByte(position)};
    data.insert(data.end(), record.begin(), record.end());
    return frameOf(code::AddCommand, std::move(data));
}

} // namespace veltrane::serial
