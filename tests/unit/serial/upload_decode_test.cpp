#include "core/link/serial/upload_decode.h"

#include "core/model/project_defaults.h"
#include "support/hex_bytes.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::serial;
using veltrane::testing::hexBytes;

namespace {
SubnetBlock block(const char* hex) {
    SubnetBlock b{};
    const Bytes bytes = hexBytes(hex);
    std::copy(bytes.begin(), bytes.end(), b.begin());
    return b;
}

struct Uploaded {
    Project project;
    ProjectState state;
};

Uploaded decode(const UploadBuffers& buffers, std::int32_t deviceType, ModelFlags flags = {}) {
    Uploaded out;
    out.state.DeviceType = deviceType;
    out.state.flags = flags;
    applyUpload(buffers, out.project, out.state);
    return out;
}
} // namespace

TEST(UploadDecode, FieldbusByReportedDeviceCode) {
    UploadBuffers b;
    b.deviceInfo[0] = 1;
    b.deviceNet = {5, 3, 6, 5};
    Uploaded u = decode(b, device::DeviceNet);
    EXPECT_EQ(u.state.DeviceType, 0);
    EXPECT_EQ(u.project.fieldbus.fieldbusType, "DeviceNet");
    EXPECT_EQ(u.project.fieldbus.deviceNetAddress, "5");
    EXPECT_EQ(u.project.fieldbus.deviceNetBaudRate, "Auto listeners");
    EXPECT_EQ(u.project.fieldbus.inputSize, "160");
    EXPECT_EQ(u.project.fieldbus.outputSize, "112");
    b.deviceNet = {63, 9, 7, 6}; // codes without a text leave the defaults
    u = decode(b, device::DeviceNet);
    EXPECT_EQ(u.project.fieldbus.deviceNetBaudRate, "125K");
    EXPECT_EQ(u.project.fieldbus.inputSize, "64");
    EXPECT_EQ(u.project.fieldbus.outputSize, "64");

    b.deviceInfo[0] = 4;
    b.profibus = {1, 9, 1}; // an unknown PROFIBUS size code reads as 112
    u = decode(b, device::ProfibusFilter);
    EXPECT_EQ(u.state.DeviceType, 3);
    EXPECT_EQ(u.project.fieldbus.fieldbusType, "Profibus");
    EXPECT_EQ(u.project.fieldbus.inputSize, "16");
    EXPECT_EQ(u.project.fieldbus.outputSize, "112");
    EXPECT_EQ(u.project.subnets[0].validDataLength, "Enable");

    // A gateway reporting 5 is a type-1 gateway for hardware-sized projects.
    b.deviceInfo[0] = 5;
    b.profibus = {2, 2, 0};
    u = decode(b, device::Profibus, {.hardwareSizedModel = true});
    EXPECT_EQ(u.state.DeviceType, 1);
    EXPECT_EQ(u.project.fieldbus.inputSize, "48");
    EXPECT_EQ(u.project.subnets[0].validDataLength, "Disable");
}

TEST(UploadDecode, SubnetBlocksByProtocol) {
    UploadBuffers b;
    b.deviceInfo[0] = 3; // four subnets
    b.blocks[0] = block("00 08 01 02 01 00 01 EA 60 FA 04 14 FF 03 00 00 00 00 00 00 00 01");
    b.blocks[1] = block("01 03 00 04 00 F7 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    b.blocks[2] = block("02 00 00 00 01");
    b.blocks[3] = block("03 07 00 01 00 00 00 00 00 00 00 00 00 01 01 2C 6F 01 03 E8 01 01");
    const Uploaded u = decode(b, device::FourSubnets, {.commandStatusModel = true});
    const CONFIG& m = u.project.subnets[0];
    EXPECT_EQ(m.protocolType, "Modbus Master");
    EXPECT_EQ(m.baudRate, "115200");
    EXPECT_EQ(m.dataBits, "7");
    EXPECT_EQ(m.parity, "Even");
    EXPECT_EQ(m.stopBits, "2");
    EXPECT_EQ(m.transmissionMode, "ASCII");
    EXPECT_EQ(m.responseTimeout, "60000");
    EXPECT_EQ(m.pollDelay, "2500");
    EXPECT_EQ(m.outputMode, "Output Pulse");
    EXPECT_EQ(m.outputPulse, "200");
    EXPECT_EQ(m.scanRate, "255");
    EXPECT_EQ(m.commandStatus, "3byte");
    EXPECT_EQ(m.commInterface, "RS232");
    EXPECT_EQ(m.debugInterface, "RS485");

    const CONFIG& s = u.project.subnets[1];
    EXPECT_EQ(s.protocolType, "Modbus Slave");
    EXPECT_EQ(s.slaveBaudRate, "2400");
    EXPECT_EQ(s.slaveParity, "Space");
    EXPECT_EQ(s.slaveModeAddress, "247");
    EXPECT_EQ(s.slaveTransmissionMode, "ASCII");
    EXPECT_EQ(s.commInterface, "RS485");
    EXPECT_EQ(s.baudRate, "19200"); // the Master group keeps its defaults

    const CONFIG& c = u.project.subnets[2];
    EXPECT_EQ(c.protocolType, "Custom protocol");
    EXPECT_EQ(c.customBaudRate, "300");
    EXPECT_EQ(c.customStopBits, "2");

    const CONFIG& user = u.project.subnets[3];
    EXPECT_EQ(user.protocolType, "User Config");
    EXPECT_EQ(user.userBaudRate, "57600");
    EXPECT_EQ(user.userParity, "Odd");
    EXPECT_EQ(user.frameType, "Frame Length");
    EXPECT_EQ(user.charInterval, "300");
    EXPECT_EQ(user.frameLength, "111");
    EXPECT_EQ(user.autoSend, "Enable");
    EXPECT_EQ(user.autoSendPeriod, "1000");
    EXPECT_EQ(user.crcCheck, "Enable");
    EXPECT_EQ(user.commInterface, "RS232");
}

TEST(UploadDecode, NodesFollowTheSlaveAddressesOfTheCommands) {
    UploadBuffers b;
    b.deviceInfo[0] = 2;
    b.commandCounts[0] = 4;
    b.commands[0][0] = {1, 3, 0, 0, 0, 10, 0, 0, 0, 0, 0};
    b.commands[0][1] = {2, 16, 0x9C, 0x41, 0, 2, 0x40, 0x00, 0, 1, 2};
    b.commands[0][2] = {1, 1, 0, 5, 0, 8, 0x01, 0xEB, 7, 0, 1};
    b.commands[0][3] = {0, 3, 0, 0, 0, 1, 0, 0x14, 0, 0, 0};
    const Uploaded u = decode(b, device::Profibus);
    const CONFIG& subnet = u.project.subnets[0];
    ASSERT_EQ(subnet.nodeCount, 3);
    EXPECT_EQ(subnet.nodes[0], (NodeEntry{"1", "Node-1"}));
    EXPECT_EQ(subnet.nodes[1], (NodeEntry{"2", "Node-2"}));
    EXPECT_EQ(subnet.nodes[2], (NodeEntry{"0", "Node-0"}));
    ASSERT_EQ(subnet.commandCount, 4);
    const INSTRUCTION& second = subnet.commands[1];
    EXPECT_EQ(second.slaveAddress, "2");
    EXPECT_EQ(second.functionCode, "16");
    EXPECT_EQ(second.startAddress, "40001");
    EXPECT_EQ(second.dataCount, "2");
    EXPECT_EQ(second.mappingAddress, "4000");
    EXPECT_EQ(second.scanType, "Slow Scan");
    EXPECT_EQ(second.filterOrSwap, "Four Bytes Swap");
    EXPECT_EQ(second.nodeIndex, 2);
    EXPECT_EQ(subnet.commands[2].mappingAddress, "1eb");
    EXPECT_EQ(subnet.commands[2].mappingBit, "7");
    EXPECT_EQ(subnet.commands[2].filterOrSwap, "Two Bytes Swap");
    EXPECT_EQ(subnet.commands[2].nodeIndex, 1);
    EXPECT_EQ(subnet.commands[3].mappingAddress, "14");
    EXPECT_EQ(subnet.commands[3].nodeIndex, 3);
    EXPECT_EQ(subnet.commands[0].mappingAddress, "0");
    EXPECT_EQ(subnet.commands[4].slaveAddress, ""); // beyond the count: defaults

    // Filters instead of swaps with the data filter model.
    const Uploaded filtered = decode(b, device::Profibus, {.dataFilterModel = true});
    EXPECT_EQ(filtered.project.subnets[0].commands[0].filterOrSwap, "Word");
    EXPECT_EQ(filtered.project.subnets[0].commands[1].filterOrSwap, "Low Byte");
    EXPECT_EQ(filtered.project.subnets[0].commands[2].filterOrSwap, "Hi Byte");
}

TEST(UploadDecode, CountsBeyondTheSlotsAreBounded) {
    UploadBuffers b;
    b.deviceInfo[0] = 3;
    b.commandCounts = {1000, -5, 48, 0};
    const Uploaded u = decode(b, device::FourSubnets);
    EXPECT_EQ(u.project.subnets[0].commandCount, 48);
    EXPECT_EQ(u.project.subnets[1].commandCount, 0);
    EXPECT_EQ(u.project.subnets[2].nodeCount, 1); // 48 records of slave 0
}

TEST(UploadDecode, OptionByteAndConfigData) {
    UploadBuffers b;
    b.deviceInfo[0] = 2;
    b.option = 5;
    b.configData = hexBytes("01 A2");
    Uploaded u = decode(b, device::Profibus, {.configDataModel = true, .commandStatusModel = true});
    EXPECT_EQ(u.project.subnets[0].timeoutAction, "\\Template.xls");
    EXPECT_EQ(u.project.subnets[0].timeoutTimes, "5");
    EXPECT_EQ(u.project.fieldbus.configMode, "Input the Configuration Data");
    EXPECT_EQ(u.project.fieldbus.configData, "01 a2 ");

    b.option = 0;
    b.configData = Bytes{};
    u = decode(b, device::Profibus, {.configDataModel = true, .commandStatusModel = true});
    EXPECT_EQ(u.project.subnets[0].timeoutAction, "hold");
    EXPECT_EQ(u.project.fieldbus.configMode, "Use Bytes choice");
    EXPECT_EQ(u.project.fieldbus.configData, "");

    u = decode(b, device::Profibus, {.hardwareSizedModel = true});
    EXPECT_EQ(u.project.subnets[0].doubleFaultClear, "Disable");
    EXPECT_EQ(u.project.subnets[0].timeoutAction, "\\Template.xls"); // the default
}
