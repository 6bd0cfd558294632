// What a project of each device type sends to and reads from a gateway reporting that type's
// code, the captions of its progress lines, its serial line default and its debug link. Types
// outside 0..7 are included: they must keep behaving as they always did.

#include "core/debug/debug_transport.h"
#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_port_choice.h"
#include "core/link/serial/serial_upload.h"
#include "core/transfer/download_checks.h"
#include "core/model/project_defaults.h"
#include "sequence_driver.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace veltrane;
using veltrane::testing::runSequence;
using veltrane::testing::SequenceRun;

namespace {
struct Case {
    std::int32_t type;
    ModelFlags flags;
    std::string download; // each request as code:length
    std::string upload;
    std::string uploaded; // the device type and fieldbus type the upload leaves
    std::string captions; // download | upload
    int baud;             // a fresh choice for the type
    int firstBaudIndex;   // after the first-baud default, from index 0
    const char* debug;
    bool sizesMustMatch;
    int gatewayCode = -1; // -1: the type's own code
};

veltrane::testing::ProjectBuilder projectOf(const Case& c) {
    veltrane::testing::ProjectBuilder b;
    b.state.DeviceType = c.type;
    b.state.flags = c.flags;
    applyProjectDefaults(b.project, b.state);
    // Commands in every Modbus-master subnet; seven in the first take two upload packages from a
    // single-subnet gateway and one from the four-subnet gateway.
    for (int k = 1; k <= 4; ++k) {
        if (b.project.subnets[static_cast<std::size_t>(k - 1)].protocolType != "Modbus Master")
            continue;
        const int node = b.node(k, std::to_string(k));
        for (int i = 0; i < (k == 1 ? 7 : 1); ++i)
            b.command(k, node,
                      {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0"});
    }
    return b;
}

// Each request as code:length, a run of equal ones as code:length*count.
std::string requests(const SequenceRun& run) {
    std::vector<std::string> items;
    std::vector<int> counts;
    for (const auto& request : run.requests) {
        char item[16];
        std::snprintf(item, sizeof item, "%02X:%zu", request[0], request.size());
        if (!items.empty() && items.back() == item) {
            ++counts.back();
        } else {
            items.emplace_back(item);
            counts.push_back(1);
        }
    }
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i == 0 ? "" : " ") + items[i] + (counts[i] > 1 ? "*" + std::to_string(counts[i]) : "");
    if (run.error)
        out += " stop: " + run.error->message;
    return out;
}

std::string captionsOf(const serial::StepCaptions& c) {
    if (c.fourSubnets)
        return c.subnets[0] + ".." + c.subnets[3];
    return c.steps[0] + "/" + c.steps[1] + "/" + c.steps[2];
}

const char* debugName(DebugTransport t) {
    return t == DebugTransport::Ethernet ? "ethernet" : t == DebugTransport::Serial ? "serial" : "none";
}
} // namespace

TEST(DeviceTypes, WhatEachTypeSendsReadsAndDefaultsTo) {
    const ModelFlags none{};
    const ModelFlags extended{.extendedFrameModel = true};
    const ModelFlags sized{.hardwareSizedModel = true};
    const ModelFlags status{.commandStatusModel = true};
    const std::string deviceNet = "Download DeviceNet configuration parameters/Download Modbus parameters/"
                                  "Download Modbus commands to configure | Upload DeviceNet configuration "
                                  "parameters/Upload Modbus parameters/Upload Modbus commands to configure";
    const std::string profibus = "Download the Profibus configuration parameters/Download Modbus parameters/"
                                 "Download Modbus commands to configure | Upload Profibus configuration "
                                 "parameters/Upload Modbus parameters/Upload Modbus commands to configure";
    const std::string profibusSubnet =
        "Download the Profibus configuration parameters/Download subnet configuration parameters/Download "
        "subnet command to configure | Upload Profibus configuration parameters/Upload subnet configuration "
        "parameters/Upload subnet command to configure";
    const std::string fourSubnets =
        "Download subnet1 Modbus configuration and command list..Download subnet4 Modbus configuration and "
        "command list | Upload subnet1 Modbus configuration and command list..Upload subnet4 Modbus "
        "configuration and command list";
    const std::string noCaptions = "// | //";
    const std::string malformed =
        "Upload error. Please check the serial port selection and configuration, the "
        "device is powered on, is in configuration mode";
    const Case cases[] = {
        {-1, none, "01:3", "01:3", "-1 DeviceNet", noCaptions, 19200, 0, "none", false},
        {0, none, "01:3 21:7 03:17 14:6 10:16*7", "01:3 22:3 04:4 15:4 16:5*2", "0 DeviceNet", deviceNet,
         19200, 6, "none", false},
        {1, none, "01:3 30:5 03:17 14:6 10:16*7", "01:3 31:3 04:4 15:4 16:5*2", "1 Profibus", profibus, 19200,
         6, "none", true},
        {2, none, "01:3 03:17 14:6 10:16*7 03:17 14:6 10:16 03:17 14:6 10:16 03:17 14:6 10:16",
         "01:3 04:4 15:4 16:5 04:4 15:4 16:5 04:4 15:4 16:5 04:4 15:4 16:5", "2 DeviceNet", fourSubnets,
         115200, 7, "none", false},
        {3, none, "01:3 30:6 03:26 14:6 10:16*7", "01:3 31:3 04:4 15:4 16:5*2", "3 Profibus", profibusSubnet,
         19200, 6, "serial", true},
        {4, none, "01:3", "01:3 stop: " + malformed, "", noCaptions, 19200, 0, "ethernet", false},
        // Type 5: no fieldbus frame, yet the PROFIBUS captions; its subnet is a Modbus slave.
        {5, none, "01:3 03:26", "01:3 04:4", "5 Profibus", profibus, 19200, 0, "none", false},
        {6, none, "01:3 30:6 03:26", "01:3 31:3 04:4", "6 Profibus", profibus, 19200, 0, "none", false},
        // Type 7: the short PROFIBUS frame and no captions at all.
        {7, none, "01:3 30:5 03:17 14:6 10:16*7", "01:3 31:3 04:4 15:4 16:5*2", "7 Profibus", noCaptions,
         19200, 6, "none", true},
        {8, none, "01:3", "01:3", "8 DeviceNet", noCaptions, 19200, 0, "none", false},
        {0, extended, "01:3 21:7 03:26 14:6 10:16*7", "01:3 22:3 04:4 15:4 16:5*2", "0 DeviceNet", deviceNet,
         19200, 6, "serial", false},
        {1, extended, "01:3 30:5 03:26 14:6 10:16*7", "01:3 31:3 04:4 15:4 16:5*2", "1 Profibus", profibus,
         19200, 6, "serial", true},
        {2, extended, "01:3 03:26 14:6 10:16*7 03:26 14:6 10:16 03:26 14:6 10:16 03:26 14:6 10:16",
         "01:3 04:4 15:4 16:5 04:4 15:4 16:5 04:4 15:4 16:5 04:4 15:4 16:5", "2 DeviceNet", fourSubnets,
         115200, 7, "serial", false},
        {4, extended, "01:3", "01:3 stop: " + malformed, "", noCaptions, 19200, 0, "serial", false},
        // Hardware-sized: no fieldbus frame on download, but read back on upload; code 5 is taken by
        // any type on download, by type 4 alone on upload, which turns it into type 1.
        {1, sized, "01:3 03:17 14:6 10:16*7 32:4", "01:3 31:3 04:4 15:4 16:5*2 33:3", "1 Profibus", profibus,
         19200, 6, "none", true},
        {4, sized, "01:3 32:4", "01:3 33:3", "1 Profibus", noCaptions, 19200, 0, "ethernet", false},
        {0, sized, "01:3 03:17 14:6 10:16*7 32:4", "01:3 stop: Device type does not match!", "", noCaptions,
         19200, 6, "none", false, 5},
        {1, status, "01:3 30:5 03:17 14:6 10:16*7 32:4", "01:3 31:3 04:4 15:4 16:5*2 33:3", "1 Profibus",
         profibus, 19200, 6, "none", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i) + ", type " + std::to_string(c.type));
        const auto b = projectOf(c);
        const int code = c.gatewayCode >= 0 ? c.gatewayCode : c.type + 1;
        sim::SerialGatewayEngine gateway({.deviceCode = code, .extendedFrames = c.flags.extendedFrameModel});
        serial::SerialDownload download(b.project, b.state);
        const SequenceRun sent = runSequence(download, gateway);
        EXPECT_EQ(requests(sent), c.download);

        serial::SerialUpload upload(b.state);
        const SequenceRun read = runSequence(upload, gateway);
        EXPECT_EQ(requests(read), c.upload);
        std::string uploaded;
        if (read.finished) {
            Project project = b.project;
            ProjectState state = b.state;
            upload.applyTo(project, state);
            uploaded = std::to_string(state.DeviceType) + " " + project.fieldbus.fieldbusType;
        }
        EXPECT_EQ(uploaded, c.uploaded);

        EXPECT_EQ(captionsOf(serial::downloadCaptions(code)) + " | " +
                      captionsOf(serial::uploadCaptions(code)),
                  c.captions);

        EXPECT_EQ(serial::defaultLineSettings(c.type).baudRate, c.baud);
        serial::SerialPortChoice choice;
        choice.BaudRateIndex = 0;
        choice.applyFirstBaudDefault(c.type);
        EXPECT_EQ(choice.BaudRateIndex, c.firstBaudIndex);

        EXPECT_STREQ(debugName(debugTransportFor(b.state)), c.debug);

        auto differing = b;
        differing.project.fieldbus.inputSize = "16";
        differing.project.fieldbus.outputSize = "32";
        EXPECT_EQ(!serialDownloadPreconditions(differing.project, differing.state).ok(),
                  c.sizesMustMatch);
    }
}
