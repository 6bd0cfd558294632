#include "core/link/serial/serial_requests.h"

#include "core/model/project_defaults.h"
#include "support/hex_bytes.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::serial;
using veltrane::testing::hexBytes;
using veltrane::testing::hexText;

namespace {
Project defaultsFor(std::int32_t deviceType, ModelFlags flags = {}) {
    Project project;
    ProjectState state;
    state.DeviceType = deviceType;
    state.flags = flags;
    applyProjectDefaults(project, state);
    return project;
}
} // namespace

TEST(SerialRequests, FixedAndAddressedRequests) {
    const FixedFrames fixed = buildFixedFrames(defaultsFor(device::DeviceNet));
    const struct {
        Bytes built;
        const char* expected;
    } cases[] = {
        {fixed.deviceInfo, "01 00 01"},
        {fixed.readDeviceNet, "22 00 22"},
        {fixed.readProfibus, "31 00 31"},
        {fixed.readOption, "33 00 33"},
        {fixed.readConfigData, "35 00 35"},
        // DeviceNet defaults: address 0, 125K, 64 in, 64 out.
        {fixed.deviceNet, "21 04 00 00 03 03 2B"},
        {readSubnetRequest(0), "04 01 00 05"},
        {readSubnetRequest(1), "04 01 01 06"},
        {readCommandCountRequest(0), "15 01 00 16"},
        {readCommandPackageRequest(0, 0), "16 02 00 00 18"},
        {readCommandPackageRequest(0, 1), "16 02 00 01 19"},
        {readCommandPackageRequest(2, 1), "16 02 02 01 1B"},
        {clearCommandsRequest(1), "14 03 01 55 AA 17"},
        {optionFrame(5), "32 01 05 38"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hexText(c.built), c.expected);
}

TEST(SerialRequests, ModbusMasterSubnetShortFrame) {
    const Project project =
        defaultsFor(device::DeviceNet); // 19200 8N1 RTU, 300 ms, Change of Value, pulse -1
    const SubnetFrames frames = buildSubnetFrames(project, 0);
    EXPECT_EQ(hexText(frames.parametersShort), "03 0E 00 00 05 00 00 00 00 00 01 2C 00 03 00 0A 50");
    EXPECT_EQ(frames.parametersLong.size(), 26u);
    EXPECT_EQ(hexText(frames.clearCommands), "14 03 00 55 AA 16");
    EXPECT_EQ(hexText(frames.readParameters), "04 01 00 05");
    EXPECT_EQ(hexText(frames.readCommandCount), "15 01 00 16");
}

TEST(SerialRequests, LongFrameCarriesUserConfigAndInterface) {
    Project project = defaultsFor(device::ProfibusUserConfig);
    CONFIG& c = project.subnets[0];
    c.userBaudRate = "115200";
    c.userParity = "Even";
    c.frameType = "Frame Length";
    c.charInterval = "300";
    c.frameLength = "111";
    c.autoSend = "Enable";
    c.autoSendPeriod = "1000";
    c.crcCheck = "Enable";
    c.commInterface = "RS232";
    c.responseTimeout = "500"; // a Master value: not sent for User Config
    EXPECT_EQ(hexText(subnetParameterFrame(project, 0, true)),
              "03 17 00 03 08 00 02 00 00 00 00 00 00 00 00 00 01 01 2C 6F 01 03 E8 01 01 B2");
}

TEST(SerialRequests, CommandStatusOfSubnet1GoesIntoEveryLongBlock) {
    Project project = defaultsFor(device::FourSubnets);
    project.subnets[0].commandStatus = "2byte";
    project.subnets[1].protocolType = "Modbus Slave";
    project.subnets[1].slaveModeAddress = "17";
    project.subnets[1].slaveTransmissionMode = "ASCII";
    const SubnetBlock block = subnetBlock(project, 1);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[5], 17);
    EXPECT_EQ(block[6], 1);
    EXPECT_EQ(block[7], 0); // Master-only bytes stay 0
    EXPECT_EQ(block[13], 2);
    project.subnets[0].protocolType = "User Config";
    EXPECT_EQ(subnetBlock(project, 1)[13], 0);
    project.subnets[1].protocolType = "Modbus"; // no code: everything 0
    EXPECT_EQ(subnetBlock(project, 1), SubnetBlock{});
}

TEST(SerialRequests, AddCommandFrame) {
    veltrane::testing::ProjectBuilder b;
    b.node(1, "1");
    b.command(1, 1,
              {.functionCode = "3",
               .dataCount = "10",
               .mappingAddress = "0",
               .mappingBit = "0",
               .filterOrSwap = "Word"});
    b.at(1, 1).scanType = "Fast Scan";
    EXPECT_EQ(hexText(buildAddCommandFrame(b.project, 0, 0)),
              "10 0D 00 00 01 03 00 00 00 0A 00 00 00 00 00 2B");

    INSTRUCTION& c = b.at(1, 1);
    c.slaveAddress = "247";
    c.functionCode = "16";
    c.startAddress = "40001";
    c.dataCount = "120";
    c.mappingAddress = "41eb";
    c.mappingBit = "7";
    c.scanType = "Slow Scan";
    c.filterOrSwap = "Four Bytes Swap";
    const Bytes frame = buildAddCommandFrame(b.project, 0, 0);
    EXPECT_EQ(hexText(Bytes(frame.begin() + 4, frame.end() - 1)), "F7 10 9C 41 00 78 41 EB 07 01 02");
    c.filterOrSwap = "Two Bytes Swap";
    EXPECT_EQ(commandRecord(c)[10], 1);
    c.filterOrSwap = "Hi Byte";
    EXPECT_EQ(commandRecord(c)[10], 1);
    c.filterOrSwap = "No Swap";
    EXPECT_EQ(commandRecord(c)[10], 0);
}

TEST(SerialRequests, ProfibusFramesAndConfigData) {
    Project project = defaultsFor(device::ProfibusFilter);
    project.fieldbus.inputSize = "112";
    project.fieldbus.outputSize = "16";
    project.subnets[0].validDataLength = "Enable";
    EXPECT_EQ(hexText(profibusFrame(project, false)), "30 02 03 01 36");
    EXPECT_EQ(hexText(profibusFrame(project, true)), "30 03 03 01 01 38");

    // "Use Bytes choice" still sends the frame, with nothing in it.
    EXPECT_EQ(hexText(configDataFrame(project.fieldbus)), "34 09 00 00 00 00 00 00 00 00 00 3D");
    project.fieldbus.configMode = "Input the Configuration Data";
    project.fieldbus.configData = "01 02 03 04 05 06 07 08 09 0A";
    EXPECT_EQ(hexText(configDataFrame(project.fieldbus)), "34 09 08 01 02 03 04 05 06 07 08 69");
    project.fieldbus.configData = "D1 E1";
    EXPECT_EQ(hexText(configDataFrame(project.fieldbus)), "34 09 02 D1 E1 00 00 00 00 00 00 F1");
}

TEST(SerialRequests, OptionValueAndConfigDataByModelAndFirmware) {
    Project project = defaultsFor(device::Profibus);
    ProjectState state;
    state.DeviceType = device::Profibus;
    EXPECT_FALSE(optionValue(project, state, 99));

    state.flags.commandStatusModel = true;
    project.subnets[0].timeoutTimes = "5";
    EXPECT_FALSE(optionValue(project, state, 39));
    EXPECT_EQ(optionValue(project, state, 40), 5);
    project.subnets[0].timeoutAction = "hold";
    EXPECT_EQ(optionValue(project, state, 40), 0);

    state.flags.hardwareSizedModel = true; // takes precedence, at any firmware
    project.subnets[0].doubleFaultClear = "Disable";
    EXPECT_EQ(optionValue(project, state, 0), 0);
    project.subnets[0].doubleFaultClear = "Enable";
    EXPECT_EQ(optionValue(project, state, 0), 1);

    state.flags.configDataModel = true;
    EXPECT_FALSE(exchangesConfigData(state, 29));
    EXPECT_TRUE(exchangesConfigData(state, 30));
}
