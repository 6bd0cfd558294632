#include "core/link/serial/serial_requests.h"
#include "core/model/subnet_protocol.h"

#include "core/editor/profibus_config_data.h"
#include "core/link/serial/code_tables.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
std::uint8_t lowByte(std::int64_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
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

// The protocol's code, nothing for an unknown protocol (which sends protocol 0 with nothing else).
std::optional<std::uint8_t> protocolCode(const CONFIG& subnet) {
    const auto& protocols = codes::protocols();
    const auto found = std::find(protocols.begin(), protocols.end(), subnet.protocolType);
    if (found == protocols.end())
        return std::nullopt;
    return static_cast<std::uint8_t>(found - protocols.begin());
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

std::vector<CarriedNumber> subnetBlockNumbers(const Project& project, int subnet) {
    const CONFIG& c = project.subnets.at(static_cast<std::size_t>(subnet));
    const std::optional<std::uint8_t> protocol = protocolCode(c);
    if (!protocol)
        return {};
    std::vector<CarriedNumber> numbers;
    if (*protocol == 1)
        numbers.push_back(decimalNumber(5, FieldWidth::Byte, c.slaveModeAddress, Str::SnTitleSlaveAddress));
    if (*protocol == 0) {
        numbers.push_back(decimalNumber(7, FieldWidth::Word, c.responseTimeout, Str::SnTitleResponseTimeout));
        // Both go in tenths of their milliseconds.
        numbers.push_back(decimalNumber(9, FieldWidth::Byte, c.pollDelay, Str::SnTitlePollDelay, 10));
        numbers.push_back(decimalNumber(11, FieldWidth::Byte, c.outputPulse, Str::SnTitleOutputPulse, 10));
        numbers.push_back(decimalNumber(12, FieldWidth::Byte, c.scanRate, Str::SnTitleScanRate));
    }
    if (*protocol == 3) {
        numbers.push_back(decimalNumber(14, FieldWidth::Word, c.charInterval, Str::SnTitleCharInterval));
        numbers.push_back(decimalNumber(16, FieldWidth::Byte, c.frameLength, Str::SnTitleFrameLength));
        numbers.push_back(decimalNumber(18, FieldWidth::Word, c.autoSendPeriod, Str::SnTitleAutoSendPeriod));
    } else if (isModbusMaster(project.subnets[0])) {
        // The status bytes are a gateway-wide setting kept with subnet 1; "Disable" reads as 0.
        numbers.push_back(decimalNumber(13, FieldWidth::Byte, project.subnets[0].commandStatus,
                                        Str::SnTitleCommandStatus));
    }
    return numbers;
}

SubnetBlock subnetBlock(const Project& project, int subnet) {
    const CONFIG& c = project.subnets.at(static_cast<std::size_t>(subnet));
    SubnetBlock b{};
    const std::optional<std::uint8_t> found = protocolCode(c);
    if (!found)
        return b;
    const std::uint8_t protocol = *found;
    b[0] = protocol;
    for (const CarriedNumber& number : subnetBlockNumbers(project, subnet))
        putNumber(b, 0, number);

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
    if (protocol == 1)
        b[6] = codes::codeOf(codes::transmissionModes(), c.slaveTransmissionMode);
    if (protocol == 0) {
        b[6] = codes::codeOf(codes::transmissionModes(), c.transmissionMode);
        b[10] = codes::codeOf(codes::outputModes(), c.outputMode);
    }
    if (protocol == 3) {
        b[13] = c.frameType == tr(Str::FrameLength) ? 1 : 0;
        b[17] = enabled(c.autoSend);
        b[20] = enabled(c.crcCheck);
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

CarriedNumber deviceNetAddressNumber(const FIELDBUS& fieldbus) {
    return decimalNumber(0, FieldWidth::Byte, fieldbus.deviceNetAddress, Str::FbTitleDeviceNetAddress);
}

Bytes deviceNetFrame(const FIELDBUS& fieldbus) {
    std::uint8_t address = 0;
    putNumber(std::span(&address, 1), 0, deviceNetAddressNumber(fieldbus));
    return frameOf(code::WriteDeviceNet, {address,
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

CarriedNumber timeoutTimesNumber(const Project& project) {
    return decimalNumber(0, FieldWidth::Byte, project.subnets[0].timeoutTimes, Str::FbTitleTimeoutTimes);
}

std::optional<std::uint8_t> optionValue(const Project& project, const ProjectState& state,
                                        int firmwareVersion) {
    const CONFIG& first = project.subnets[0];
    if (state.flags.hardwareSizedModel)
        return first.doubleFaultClear == tr(Str::Disable) ? 0 : 1;
    if (state.flags.commandStatusModel && firmwareVersion >= 40)
        return first.timeoutAction == tr(Str::TimeoutHoldChoice) ? std::uint8_t{0}
                                                                 : lowByte(timeoutTimesNumber(project).value);
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
