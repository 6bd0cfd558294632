// The order of the requests, the stops and their messages, against the simulated gateway.

#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_upload.h"
#include "core/transfer/download_checks.h"
#include "core/model/project_defaults.h"
#include "sequence_driver.h"
#include "support/hex_bytes.h"
#include "support/project_builder.h"

#include <gtest/gtest.h>

using namespace veltrane;
using sim::SerialFault;
using veltrane::testing::hexBytes;
using veltrane::testing::runSequence;
using veltrane::testing::SequenceRun;

namespace {
veltrane::testing::ProjectBuilder projectOf(std::int32_t deviceType, ModelFlags flags = {}) {
    veltrane::testing::ProjectBuilder b;
    b.state.DeviceType = deviceType;
    b.state.flags = flags;
    applyProjectDefaults(b.project, b.state);
    return b;
}

void addCommands(veltrane::testing::ProjectBuilder& b, int k, int count) {
    const int node = b.node(k, "1");
    for (int i = 0; i < count; ++i)
        b.command(k, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0"});
}

SequenceRun download(const veltrane::testing::ProjectBuilder& b, sim::SerialGatewayConfig config) {
    sim::SerialGatewayEngine gateway(std::move(config));
    serial::SerialDownload sequence(b.project, b.state);
    return runSequence(sequence, gateway);
}

std::vector<std::uint8_t> codes(const SequenceRun& run) {
    std::vector<std::uint8_t> out;
    for (const auto& request : run.requests)
        out.push_back(request[0]);
    return out;
}

std::string message(const SequenceRun& run) {
    return run.error ? run.error->message : "";
}
} // namespace

TEST(SerialDownloadSequence, RequestsInOrderByDeviceType) {
    auto deviceNet = projectOf(device::DeviceNet);
    addCommands(deviceNet, 1, 3);
    SequenceRun run = download(deviceNet, {.deviceCode = 1});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x21, 0x03, 0x14, 0x10, 0x10, 0x10}));
    EXPECT_EQ(run.requests[2].size(), 17u);
    EXPECT_EQ(run.linesDone, (std::vector<int>{0, 1, 2}));

    // Type 5: no fieldbus frame, a long subnet frame, and a Modbus Slave gets no commands.
    run = download(projectOf(device::ProfibusSlave), {.deviceCode = 6});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x03}));
    EXPECT_EQ(run.requests[1].size(), 26u);

    auto user = projectOf(device::Profibus);
    user.project.subnets[0].protocolType = "User Config";
    run = download(user, {.deviceCode = 2});
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x30, 0x03}));
    EXPECT_EQ(run.linesDone, (std::vector<int>{0, 1, 2}));
}

TEST(SerialDownloadSequence, DeviceCheck) {
    const auto profibus = projectOf(device::Profibus);
    EXPECT_TRUE(download(profibus, {.deviceCode = 2}).finished);
    const SequenceRun wrong = download(profibus, {.deviceCode = 3});
    EXPECT_EQ(message(wrong), "Device type does not match!");
    EXPECT_EQ(wrong.error->kind, ErrorKind::DeviceMismatch);
    EXPECT_TRUE(wrong.closePort);
    EXPECT_EQ(wrong.requests.size(), 1u);

    // Hardware-sized projects take code 5 for any type, send no fieldbus frame but the option byte.
    auto sized = projectOf(device::DeviceNet, {.hardwareSizedModel = true});
    sized.project.subnets[0].doubleFaultClear = "Disable";
    const SequenceRun run = download(sized, {.deviceCode = 5});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x03, 0x14, 0x32}));
    EXPECT_EQ(run.requests.back(), hexBytes("32 01 00 33"));
}

TEST(SerialDownloadSequence, StopsWithTheStepsMessage) {
    auto b = projectOf(device::DeviceNet);
    addCommands(b, 1, 3);
    const struct {
        SerialFault fault;
        const char* message;
        ErrorKind kind;
    } cases[] = {
        {{.request = 0},
         "Read timeout gateway device type, check the serial port settings, etc.",
         ErrorKind::Timeout},
        {{.request = 0, .kind = SerialFault::Kind::BadChecksum},
         "Download error. Please check the serial port selection and configuration, the device is powered "
         "on, is in configuration mode",
         ErrorKind::MalformedReply},
        {{.request = 1}, "DeviceNet or Profibus configuration parameters Timeout", ErrorKind::Timeout},
        {{.request = 1, .kind = SerialFault::Kind::NegativeReply},
         "DeviceNet or Profibus parameter configuration download error",
         ErrorKind::NegativeReply},
        {{.request = 2}, "Modbus configuration parameters Timeout", ErrorKind::Timeout},
        {{.request = 2, .kind = SerialFault::Kind::BadChecksum},
         "Subnet1 Modbus parameter configuration download error",
         ErrorKind::MalformedReply},
        {{.request = 3},
         "Read timeout gateway device type, check the serial port settings, etc.",
         ErrorKind::Timeout},
        {{.request = 5}, "Adding Modbus command timeout", ErrorKind::Timeout},
        {{.request = 5, .kind = SerialFault::Kind::NegativeReply},
         "Subnet1 Modbus command configures1 download error",
         ErrorKind::NegativeReply},
        {{.request = 4, .kind = SerialFault::Kind::NegativeReply, .errorBytes = {3, 0}},
         "Does not support more than one Modbus slave",
         ErrorKind::NegativeReply},
        {{.request = 6, .kind = SerialFault::Kind::LateReply, .delay = std::chrono::milliseconds{301}},
         "Adding Modbus command timeout",
         ErrorKind::Timeout},
    };
    for (const auto& c : cases) {
        const SequenceRun run = download(b, {.deviceCode = 1, .faults = {c.fault}});
        EXPECT_FALSE(run.finished);
        ASSERT_TRUE(run.error) << c.message;
        EXPECT_EQ(run.error->message, c.message);
        EXPECT_EQ(run.error->kind, c.kind) << c.message;
    }

    // A reply split across a pause, or late within the bound, still counts.
    for (const auto kind : {SerialFault::Kind::SplitReply, SerialFault::Kind::LateReply})
        EXPECT_TRUE(download(b, {.deviceCode = 1,
                                 .faults = {{.request = 0, .kind = kind}, {.request = 4, .kind = kind}}})
                        .finished);

    // A refused clear is shown and the download goes on.
    const SequenceRun cleared =
        download(b, {.deviceCode = 1, .faults = {{.request = 3, .kind = SerialFault::Kind::NegativeReply}}});
    EXPECT_TRUE(cleared.finished);
    EXPECT_EQ(cleared.notices, (std::vector<std::string>{"Clear Command Error"}));
}

TEST(SerialDownloadSequence, FourSubnetMessagesNameTheSubnet) {
    auto b = projectOf(device::FourSubnets);
    addCommands(b, 2, 2);
    // 01, then subnet 1: 03 14; subnet 2: 03 14 10 10.
    SequenceRun run =
        download(b, {.deviceCode = 3, .faults = {{.request = 5, .kind = SerialFault::Kind::NegativeReply}}});
    EXPECT_EQ(message(run), "Subnet2 ModbusError 0 parameter configuration download");
    run =
        download(b, {.deviceCode = 3, .faults = {{.request = 4, .kind = SerialFault::Kind::NegativeReply}}});
    EXPECT_EQ(message(run), "Clear subnet2 command error");
    run = download(b, {.deviceCode = 3, .faults = {{.request = 3, .kind = SerialFault::Kind::BadChecksum}}});
    EXPECT_EQ(message(run), "Subnet2 Modbus parameter configuration download error");
}

TEST(SerialDownloadSequence, OptionAndConfigDataByFirmware) {
    auto b = projectOf(device::Profibus, {.configDataModel = true, .commandStatusModel = true});
    SequenceRun run = download(b, {.deviceCode = 2, .firmwareVersion = 29});
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x30, 0x03, 0x14}));
    run = download(b, {.deviceCode = 2, .firmwareVersion = 30});
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x30, 0x03, 0x14, 0x34}));
    EXPECT_EQ(run.requests.back(), hexBytes("34 09 00 00 00 00 00 00 00 00 00 3D"));
    run = download(b, {.deviceCode = 2, .firmwareVersion = 40});
    EXPECT_EQ(codes(run), (std::vector<std::uint8_t>{0x01, 0x30, 0x03, 0x14, 0x32, 0x34}));
    run = download(b, {.deviceCode = 2, .faults = {{.request = 5}}});
    EXPECT_EQ(message(run), "Download Profibus configuration data failed");
    run = download(b, {.deviceCode = 2, .faults = {{.request = 4}}});
    EXPECT_EQ(message(run), "Download configuration parameters Timeout");
}

TEST(SerialDownloadSequence, Preconditions) {
    auto b = projectOf(device::Profibus);
    b.project.fieldbus.inputSize = "16";
    EXPECT_EQ(serialDownloadPreconditions(b.project, b.state).message(),
              "Profibus input output bytes must be consistent!");
    b.state.flags.commandStatusModel = true;
    EXPECT_TRUE(serialDownloadPreconditions(b.project, b.state).ok());
    b.node(2, "");
    EXPECT_EQ(serialDownloadPreconditions(b.project, b.state).message(),
              "Node address can not be empty!");
}

namespace {
SequenceRun upload(const veltrane::testing::ProjectBuilder& b, sim::SerialGatewayEngine& gateway) {
    serial::SerialUpload sequence(b.state);
    return runSequence(sequence, gateway);
}
} // namespace

TEST(SerialUploadSequence, RequestsInOrder) {
    auto b = projectOf(device::DeviceNet);
    addCommands(b, 1, 7);
    sim::SerialGatewayEngine gateway({.deviceCode = 1});
    ASSERT_TRUE(runSequence(*std::make_unique<serial::SerialDownload>(b.project, b.state), gateway).finished);
    SequenceRun run = upload(b, gateway);
    EXPECT_TRUE(run.finished);
    std::vector<Bytes> expected;
    for (const char* hex :
         {"01 00 01", "22 00 22", "04 01 00 05", "15 01 00 16", "16 02 00 00 18", "16 02 00 01 19"})
        expected.push_back(hexBytes(hex));
    EXPECT_EQ(run.requests, expected);
    EXPECT_EQ(run.linesDone, (std::vector<int>{0, 1, 2}));

    // No commands: one package is still asked for.
    sim::SerialGatewayEngine empty({.deviceCode = 1});
    run = upload(b, empty);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.requests.back(), hexBytes("16 02 00 00 18"));
}

TEST(SerialUploadSequence, FourSubnetGateway) {
    auto b = projectOf(device::FourSubnets);
    b.project.subnets[1].protocolType = "Modbus Slave";
    addCommands(b, 3, 25);
    sim::SerialGatewayEngine gateway({.deviceCode = 3});
    ASSERT_TRUE(runSequence(*std::make_unique<serial::SerialDownload>(b.project, b.state), gateway).finished);
    serial::SerialUpload sequence(b.state);
    std::vector<serial::SerialStep> steps;
    while (const serial::SerialStep* step = sequence.current()) {
        steps.push_back(*step);
        const auto reply = gateway.handle(step->request).bytes();
        ASSERT_NE(sequence.onReply(reply).kind, serial::StepOutcome::Kind::Stopped);
    }
    std::vector<std::string> requests;
    for (const auto& step : steps)
        requests.push_back(veltrane::testing::hexText(step.request));
    EXPECT_EQ(requests, (std::vector<std::string>{"01 00 01", "04 01 00 05", "15 01 00 16", "04 01 01 06",
                                                  "04 01 02 07", "15 01 02 18", "16 02 02 00 1A",
                                                  "16 02 02 01 1B", "04 01 03 08", "15 01 03 19"}));
    EXPECT_EQ(steps[7].timeout, std::chrono::milliseconds{1000});
    EXPECT_EQ(steps[7].replyCapacity, 250u);

    gateway.setFaults({{.request = 6, .kind = SerialFault::Kind::BadChecksum}});
    EXPECT_EQ(message(upload(b, gateway)), "Reading subnet3 Modbus  commands package0 error");
}

TEST(SerialUploadSequence, DeviceCheckAndStops) {
    auto b = projectOf(device::Profibus);
    sim::SerialGatewayEngine five({.deviceCode = 5});
    EXPECT_EQ(message(upload(b, five)), "Upload error. Please check the serial port selection and "
                                        "configuration, the device is powered on, is in configuration mode");
    b.state.flags.hardwareSizedModel = true;
    const SequenceRun refused = upload(b, five);
    EXPECT_EQ(message(refused), "Device type does not match!");
    EXPECT_TRUE(refused.closePort);

    auto p = projectOf(device::Profibus);
    const struct {
        std::size_t request;
        SerialFault::Kind kind;
        const char* message;
    } cases[] = {
        {1, SerialFault::Kind::Silence, "Read DeviceNet/Profibus configuration timeout"},
        {1, SerialFault::Kind::BadChecksum, "Read DeviceNet/Profibus configuration error"},
        {2, SerialFault::Kind::Silence, "Reading Modbus configuration timeout"},
        {2, SerialFault::Kind::NegativeReply, "Reading Modbus configuration error"},
        {3, SerialFault::Kind::Silence, "Read Modbus command number timeout"},
        {3, SerialFault::Kind::BadChecksum, "Read Modbus command number error"},
        {4, SerialFault::Kind::BadChecksum, "Reading Modbus command list package0 error"},
    };
    for (const auto& c : cases) {
        sim::SerialGatewayEngine gateway(
            {.deviceCode = 2, .faults = {{.request = c.request, .kind = c.kind}}});
        EXPECT_EQ(message(upload(p, gateway)), c.message);
    }
    // A package may take up to a second.
    sim::SerialGatewayEngine slow(
        {.deviceCode = 2,
         .faults = {
             {.request = 4, .kind = SerialFault::Kind::LateReply, .delay = std::chrono::milliseconds{900}}}});
    EXPECT_TRUE(upload(p, slow).finished);
}

TEST(SerialUploadSequence, OptionByteByFirmware) {
    auto b = projectOf(device::Profibus, {.commandStatusModel = true});
    sim::SerialGatewayEngine old({.deviceCode = 2, .firmwareVersion = 39});
    EXPECT_EQ(codes(upload(b, old)), (std::vector<std::uint8_t>{0x01, 0x31, 0x04, 0x15, 0x16}));
    sim::SerialGatewayEngine current({.deviceCode = 2, .firmwareVersion = 40});
    EXPECT_EQ(codes(upload(b, current)), (std::vector<std::uint8_t>{0x01, 0x31, 0x04, 0x15, 0x16, 0x33}));
}

TEST(SerialUploadSequence, APackageWithFewerRecordsThanCountedFails) {
    auto b = projectOf(device::DeviceNet);
    addCommands(b, 1, 7);  // two packages: six records, then one
    sim::SerialGatewayEngine gateway({.deviceCode = 1});
    ASSERT_TRUE(runSequence(*std::make_unique<serial::SerialDownload>(b.project, b.state), gateway).finished);
    const struct {
        int package;
        std::size_t kept;  // records left in that package's reply
        const char* message;
    } cases[] = {{0, 5, "Reading Modbus command list package0 error"},
                 {1, 0, "Reading Modbus command list package1 error"},
                 {1, 1, ""}};
    for (const auto& c : cases) {
        serial::SerialUpload sequence(b.state);
        int package = 0;
        std::string stopped;
        while (const serial::SerialStep* step = sequence.current()) {
            Bytes reply = gateway.handle(step->request).bytes();
            if (reply[0] == 0x16 && package++ == c.package) {
                // The same frame cut after `kept` records, with its length and checksum made right.
                reply.resize(3 + 12 * c.kept);
                reply[1] = static_cast<std::uint8_t>(1 + 12 * c.kept);
                std::uint8_t sum = 0;
                for (std::uint8_t byte : reply)
                    sum = static_cast<std::uint8_t>(sum + byte);
                reply.push_back(sum);
            }
            const serial::StepOutcome outcome = sequence.onReply(reply);
            if (outcome.kind == serial::StepOutcome::Kind::Stopped) {
                stopped = outcome.error ? outcome.error->message : "?";
                break;
            }
        }
        EXPECT_EQ(stopped, c.message) << c.package << '/' << c.kept;
    }
}
