#include "core/link/serial/upload_decode.h"
#include "core/model/subnet_protocol.h"

#include "core/common/hex.h"
#include "core/common/wire_order.h"
#include "core/link/command_record.h"
#include "core/link/serial/code_tables.h"
#include "core/model/device_profile.h"
#include "core/model/project_defaults.h"
#include "core/model/text_value.h"

#include <algorithm>

namespace veltrane::serial {

namespace {
void setFrom(std::string& field, const codes::Table& table, std::uint8_t code) {
    if (auto text = codes::textOf(table, code))
        field = std::move(*text);
}

std::string number(int value) {
    return decimalText(value);
}
int word(const SubnetBlock& b, std::size_t at) {
    return wire::get16(b, at);
}

void setInterfaces(CONFIG& c, std::uint8_t code) {
    c.commInterface = tr(code != 0 ? Str::InterfaceRS232 : Str::InterfaceRS485);
    c.debugInterface = tr(code != 0 ? Str::InterfaceRS485 : Str::InterfaceRS232);
}

void decodeFieldbus(const UploadBuffers& buffers, Project& project, const ProjectState& state) {
    FIELDBUS& f = project.fieldbus;
    switch (deviceProfile(state.DeviceType).fieldbus) {
    case FieldbusFrame::DeviceNet:
        f.deviceNetAddress = number(buffers.deviceNet[0]);
        setFrom(f.deviceNetBaudRate, codes::deviceNetBauds(), buffers.deviceNet[1]);
        setFrom(f.inputSize, codes::deviceNetInputSizes(), buffers.deviceNet[2]);
        setFrom(f.outputSize, codes::deviceNetOutputSizes(), buffers.deviceNet[3]);
        break;
    case FieldbusFrame::ProfibusShort:
    case FieldbusFrame::ProfibusLong: {
        const auto size = [](std::uint8_t code) {
            return codes::textOf(codes::profibusSizes(), code).value_or("112");
        };
        f.inputSize = size(buffers.profibus[0]);
        f.outputSize = size(buffers.profibus[1]);
        project.subnets[0].validDataLength = tr(buffers.profibus[2] != 0 ? Str::Enable : Str::Disable);
        break;
    }
    case FieldbusFrame::None:
        break;
    }
}

void decodeSubnet(const SubnetBlock& b, CONFIG& c, const ProjectState& state) {
    switch (b[0]) {
    case 0:
        c.protocolType = storedProtocolText(SubnetProtocol::ModbusMaster);
        setFrom(c.baudRate, codes::subnetBauds(), b[1]);
        setFrom(c.dataBits, codes::dataBits(), b[2]);
        setFrom(c.parity, codes::parities(), b[3]);
        setFrom(c.stopBits, codes::stopBits(), b[4]);
        setFrom(c.transmissionMode, codes::transmissionModes(), b[6]);
        c.responseTimeout = number(word(b, 7));
        c.pollDelay = number(10 * b[9]);
        setFrom(c.outputMode, codes::outputModes(), b[10]);
        if (b[10] == 4)
            c.outputPulse = number(10 * b[11]);
        c.scanRate = number(b[12]);
        setInterfaces(c, b[21]);
        if (state.flags.commandStatusModel) {
            if (b[13] == 0)
                c.commandStatus = tr(Str::Disable);
            else if (b[13] <= 6)
                c.commandStatus = number(b[13]) + tr(Str::SnCommandStatusBytes);
        }
        break;
    case 1:
        c.protocolType = storedProtocolText(SubnetProtocol::ModbusSlave);
        setFrom(c.slaveBaudRate, codes::subnetBauds(), b[1]);
        setFrom(c.slaveDataBits, codes::dataBits(), b[2]);
        setFrom(c.slaveParity, codes::parities(), b[3]);
        setFrom(c.slaveStopBits, codes::stopBits(), b[4]);
        c.slaveModeAddress = number(b[5]);
        setFrom(c.slaveTransmissionMode, codes::transmissionModes(), b[6]);
        setInterfaces(c, b[21]);
        break;
    case 2:
        c.protocolType = storedProtocolText(SubnetProtocol::Custom);
        setFrom(c.customBaudRate, codes::subnetBauds(), b[1]);
        setFrom(c.customDataBits, codes::dataBits(), b[2]);
        setFrom(c.customParity, codes::parities(), b[3]);
        setFrom(c.customStopBits, codes::stopBits(), b[4]);
        break;
    case 3:
        c.protocolType = storedProtocolText(SubnetProtocol::UserConfig);
        setFrom(c.userBaudRate, codes::subnetBauds(), b[1]);
        setFrom(c.userDataBits, codes::dataBits(), b[2]);
        setFrom(c.userParity, codes::parities(), b[3]);
        setFrom(c.userStopBits, codes::stopBits(), b[4]);
        c.frameType = tr(b[13] != 0 ? Str::FrameLength : Str::FrameTimeInterval);
        c.charInterval = number(word(b, 14));
        c.frameLength = number(b[16]);
        c.autoSend = tr(b[17] != 0 ? Str::Enable : Str::Disable);
        c.autoSendPeriod = number(word(b, 18));
        c.crcCheck = tr(b[20] != 0 ? Str::Enable : Str::Disable);
        setInterfaces(c, b[21]);
        break;
    default:
        break;
    }
}

void decodeCommands(const std::array<CommandRecord, kMaxCommands>& records, std::int32_t count, CONFIG& c,
                    const ProjectState& state) {
    // The count was bounded when it arrived; bounded again because buffers may come from anywhere.
    const int n = std::clamp(count, 0, kMaxCommands);
    c.nodeCount = 0;
    c.commandCount = 0;
    const auto nodeOf = [&c](int address) {
        for (int k = 0; k < c.nodeCount; ++k)
            if (decimalValue(c.nodes[static_cast<std::size_t>(k)].address) == address)
                return k + 1;
        return 0;
    };
    for (int i = 0; i < n; ++i) {
        const int address = records[static_cast<std::size_t>(i)][0];
        if (i == 0 || nodeOf(address) == 0) {
            NodeEntry& node = c.nodes[static_cast<std::size_t>(c.nodeCount++)];
            node.address = number(address);
            node.name = tr(Str::NodeNamePrefix) + node.address;
        }
    }
    const bool filter = usesDataFilter(state);
    for (int i = 0; i < n; ++i) {
        const CommandRecordFields r = decodeCommandRecord(records[static_cast<std::size_t>(i)]);
        INSTRUCTION& command = c.commands[static_cast<std::size_t>(i)];
        applyCommandRecordNumbers(r, command);
        if (r.scanType == 0)
            command.scanType = tr(Str::ScanFast);
        else if (r.scanType == 1)
            command.scanType = tr(Str::ScanSlow);
        if (r.filterOrSwap == 0)
            command.filterOrSwap = tr(filter ? Str::FilterWord : Str::SwapNone);
        else if (r.filterOrSwap == 1)
            command.filterOrSwap = tr(filter ? Str::FilterHiByte : Str::SwapTwoBytes);
        else if (r.filterOrSwap == 2)
            command.filterOrSwap = tr(filter ? Str::FilterLowByte : Str::SwapFourBytes);
        command.nodeIndex = nodeOf(r.slaveAddress);
        ++c.commandCount;
    }
}
} // namespace

void decodeUploadedProject(const UploadBuffers& buffers, Project& project, ProjectState& state) {
    const int t = buffers.deviceInfo[0];
    state.DeviceType = t - 1;
    const auto standIn = deviceProfileForCode(t).hardwareSizedAs;
    if (standIn && state.flags.hardwareSizedModel)
        state.DeviceType = *standIn;
    // The type's own projects read no subnet parameters from a hardware-sized gateway's code.
    const bool subnets = !standIn || state.flags.hardwareSizedModel;
    const auto fieldbusType = deviceProfile(state.DeviceType).uploadedFieldbusType;
    if (subnets && fieldbusType)
        project.fieldbus.fieldbusType = tr(*fieldbusType);
    decodeFieldbus(buffers, project, state);
    if (subnets)
        for (std::size_t k = 0; k < kWireSubnets; ++k)
            decodeSubnet(buffers.blocks[k], project.subnets[k], state);
    for (std::size_t k = 0; k < kWireSubnets; ++k)
        decodeCommands(buffers.commands[k], buffers.commandCounts[k], project.subnets[k], state);
}

void applyUploadedOptions(const UploadBuffers& buffers, Project& project, const ProjectState& state) {
    CONFIG& first = project.subnets[0];
    // The one byte means what the project's model says it means.
    if (buffers.option && state.flags.hardwareSizedModel) {
        first.doubleFaultClear = tr(*buffers.option != 0 ? Str::Enable : Str::Disable);
    } else if (buffers.option && state.flags.commandStatusModel) {
        if (*buffers.option == 0) {
            first.timeoutAction = tr(Str::TimeoutHoldChoice);
        } else {
            first.timeoutAction = tr(Str::TimeoutClearChoice);
            first.timeoutTimes = number(*buffers.option);
        }
    }
    if (buffers.configData) {
        const auto& bytes = *buffers.configData;
        project.fieldbus.configMode = tr(bytes.empty() ? Str::ConfigUseBytesChoice : Str::ConfigInputData);
        project.fieldbus.configData = hexBytesText(bytes, " ", SeparatorAfterLast::Yes);
    }
}

void applyUpload(const UploadBuffers& buffers, Project& project, ProjectState& state) {
    applyProjectDefaults(project, state);
    applyUploadedOptions(buffers, project, state);
    decodeUploadedProject(buffers, project, state);
}

} // namespace veltrane::serial
