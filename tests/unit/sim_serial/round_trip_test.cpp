// A project downloaded into the simulated gateway and uploaded again comes back as it was sent.

#include "config_diff.h"
#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_upload.h"
#include "core/model/device_profile.h"
#include "core/model/project_defaults.h"
#include "sequence_driver.h"
#include "support/hex_bytes.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using veltrane::testing::runSequence;

namespace {
struct Gateway {
    std::int32_t deviceType;
    ModelFlags flags;
    int firmware = 40;
};

veltrane::testing::ProjectBuilder projectFor(const Gateway& g) {
    veltrane::testing::ProjectBuilder b;
    b.state.DeviceType = g.deviceType;
    b.state.flags = g.flags;
    applyProjectDefaults(b.project, b.state);
    b.project.fieldbus.fieldbusType = fieldbusTypeFor(g.deviceType);
    return b;
}

void addCommands(veltrane::testing::ProjectBuilder& b, int k, int count) {
    const int first = b.node(k, "3");
    const int second = b.node(k, "17");
    for (int i = 0; i < count; ++i) {
        const bool read = i % 2 == 0;
        b.command(k, i % 3 == 2 ? second : first,
                  {.functionCode = read ? "3" : "16",
                   .dataCount = std::to_string(i + 1),
                   .mappingAddress = read ? "1a" : "4000",
                   .mappingBit = std::to_string(i % 8),
                   .filterOrSwap =
                       i % 4 == 1
                           ? (b.state.flags.dataFilterModel || b.state.DeviceType == 3 ? "Hi Byte"
                                                                                       : "Two Bytes Swap")
                           : (b.state.flags.dataFilterModel || b.state.DeviceType == 3 ? "Word" : "No Swap"),
                   .startAddress = std::to_string(100 * i)});
        b.at(k, i + 1).scanType = i % 5 == 4 ? "Slow Scan" : "Fast Scan";
    }
}

// Byte counts and the check type are not carried by the protocol.
CONFIG comparable(CONFIG c) {
    for (INSTRUCTION& command : c.commands) {
        command.byteCount.clear();
        command.checkType.clear();
    }
    return c;
}

struct RoundTrip {
    veltrane::testing::SequenceRun download;
    veltrane::testing::SequenceRun upload;
    Project uploaded;
    ProjectState state;
};

RoundTrip roundTrip(const Project& project, const ProjectState& state, const Gateway& g) {
    sim::SerialGatewayEngine gateway({.deviceCode = g.deviceType + 1,
                                      .firmwareVersion = g.firmware,
                                      .extendedFrames = g.flags.extendedFrameModel});
    RoundTrip r;
    serial::SerialDownload download(project, state);
    r.download = runSequence(download, gateway);
    serial::SerialUpload upload(state);
    r.upload = runSequence(upload, gateway);
    r.uploaded = project; // the caller's copy of the open project
    r.state = state;
    if (upload.finished())
        upload.applyTo(r.uploaded, r.state);
    return r;
}
} // namespace

TEST(SerialRoundTrip, SingleSubnetGateways) {
    const Gateway gateways[] = {
        {device::DeviceNet, {}},
        {device::Profibus, {.dataFilterModel = true}},
        {device::ProfibusFilter, {.commandStatusModel = true}},
        {device::ProfibusUserConfig, {}},
        {device::Profibus7, {.extendedFrameModel = true, .configDataModel = true}},
    };
    for (const Gateway& g : gateways) {
        SCOPED_TRACE(g.deviceType);
        auto b = projectFor(g);
        CONFIG& subnet = b.project.subnets[0];
        if (subnet.protocolType == "Modbus Master") {
            subnet.baudRate = "57600";
            subnet.parity = "Even";
            subnet.responseTimeout = "1500";
            subnet.pollDelay = "250";
            subnet.outputMode = "Output Pulse";
            subnet.outputPulse = "300";
            subnet.scanRate = "20";
            if (usesLongSubnetFrame(b.state)) { // only the long block carries it
                subnet.commInterface = "RS232";
                subnet.debugInterface = "RS485";
            }
            addCommands(b, 1, 13); // three packages of six
        } else {
            subnet.userBaudRate = "9600";
            subnet.frameType = "Frame Length";
            subnet.frameLength = "64";
        }
        if (g.deviceType == device::DeviceNet) {
            b.project.fieldbus.deviceNetAddress = "12";
            b.project.fieldbus.deviceNetBaudRate = "500K";
            b.project.fieldbus.inputSize = "32";
            b.project.fieldbus.outputSize = "96";
        } else {
            b.project.fieldbus.inputSize = b.project.fieldbus.outputSize = "48";
        }
        if (g.flags.commandStatusModel) {
            subnet.commandStatus = "4byte";
            subnet.timeoutAction = "\\Template.xls";
            subnet.timeoutTimes = "7";
        }
        if (g.flags.configDataModel) {
            b.project.fieldbus.configMode = "Input the Configuration Data";
            b.project.fieldbus.configData = "d1 e1 ";
        }
        if (g.deviceType == device::ProfibusUserConfig) // type 7 sends the short PROFIBUS frame
            subnet.validDataLength = "Enable";

        const RoundTrip r = roundTrip(b.project, b.state, g);
        ASSERT_TRUE(r.download.finished) << (r.download.error ? r.download.error->message : "");
        ASSERT_TRUE(r.upload.finished) << (r.upload.error ? r.upload.error->message : "");
        EXPECT_EQ(r.state, b.state);
        EXPECT_EQ(r.uploaded.fieldbus, b.project.fieldbus);
        EXPECT_EQ(veltrane::testing::configDiff(comparable(r.uploaded.subnets[0]), comparable(subnet)), "");
    }
}

TEST(SerialRoundTrip, FourSubnetGateway) {
    const Gateway g{device::FourSubnets, {}};
    auto b = projectFor(g);
    addCommands(b, 1, 3); // a node without commands is not carried: nodes come from commands
    b.project.subnets[1].protocolType = "Modbus Slave";
    b.project.subnets[1].slaveModeAddress = "9";
    b.project.subnets[1].slaveTransmissionMode = "ASCII";
    b.project.subnets[2].protocolType = "Custom protocol";
    b.project.subnets[2].customBaudRate = "115200";
    addCommands(b, 4, 45); // three packages of twenty
    const RoundTrip r = roundTrip(b.project, b.state, g);
    ASSERT_TRUE(r.download.finished);
    ASSERT_TRUE(r.upload.finished) << (r.upload.error ? r.upload.error->message : "");
    EXPECT_EQ(r.download.linesDone, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(r.upload.linesDone, (std::vector<int>{3, 4, 5, 6}));
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(veltrane::testing::configDiff(comparable(r.uploaded.subnets[k]),
                                                comparable(b.project.subnets[k])),
                  "")
            << k;
}

TEST(SerialRoundTrip, AFailedUploadLeavesNothingToAdopt) {
    const Gateway g{device::DeviceNet, {}};
    auto b = projectFor(g);
    addCommands(b, 1, 7);
    sim::SerialGatewayEngine gateway({.deviceCode = 1});
    serial::SerialDownload download(b.project, b.state);
    ASSERT_TRUE(runSequence(download, gateway).finished);
    // The second package request (01, 22, 04, 15, 16 p0, 16 p1) goes unanswered.
    gateway.setFaults({{.request = 5}});
    serial::SerialUpload upload(b.state);
    const auto run = runSequence(upload, gateway);
    EXPECT_FALSE(upload.finished());
    ASSERT_TRUE(run.error);
    EXPECT_EQ(run.error->kind, ErrorKind::Timeout);
    EXPECT_EQ(run.error->message, "Reading Modbus command list timeout");
    EXPECT_EQ(run.requests.back(), veltrane::testing::hexBytes("16 02 00 01 19"));
}
