// Downloads and uploads over a real pseudo-terminal against the simulated gateway: the bytes, the
// bounds that decide a time-out, and what each fault leaves the user with.

#include "core/link/serial/serial_transfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>

#include "core/link/serial/serial_download.h"
#include "core/link/serial/serial_upload.h"
#include "core/model/project_defaults.h"
#include "core/strings/strings.h"
#include "link/serial_port_stream.h"
#include "link/steady_clock.h"
#include "support/project_builder.h"
#include "support/pty_gateway_thread.h"

namespace veltrane::testing {
namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "serial_transfer_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);  // never destroyed, like the application's
    }
};
const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtApplication);

ProjectBuilder deviceNetProject(int commands) {
    ProjectBuilder b;
    b.state.DeviceType = device::DeviceNet;
    applyProjectDefaults(b.project, b.state);
    const int node = b.node(1, "5");
    for (int i = 0; i < commands; ++i)
        b.command(1, node, {.functionCode = "3", .dataCount = "2", .mappingAddress = "0", .mappingBit = "0",
                            .startAddress = std::to_string(10 * i)});
    return b;
}

struct Recorder : serial::SerialTransferObserver {
    void deviceReported(int code) override { deviceCode = code; }
    void linesDone(const std::vector<int>& lines) override { done.insert(done.end(), lines.begin(), lines.end()); }
    void notice(const Error& e) override { notices.push_back(e.message); }
    int deviceCode = 0;
    std::vector<int> done;
    std::vector<std::string> notices;
};

struct LineRun {
    serial::SerialTransferResult result;
    Recorder recorder;
    std::chrono::milliseconds took{};
};

LineRun transfer(serial::SerialSequence& sequence, const std::string& path, int baud = 115200) {
    LineRun run;
    SerialPortStream port;
    SerialLineSettings settings;
    settings.baudRate = baud;
    if (auto opened = port.open(path, settings); !opened) {
        run.result.status = opened;
        return run;
    }
    SteadyClock clock;
    const auto start = std::chrono::steady_clock::now();
    run.result = serial::runSerialTransfer(sequence, port, clock, run.recorder);
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return run;
}

std::string messageOf(const LineRun& run) { return run.result.status ? "" : run.result.status.message(); }

TEST(SerialTransferOverPty, DownloadThenUploadRoundTrips) {
    PtyGatewayThread gateway({.deviceCode = 1, .firmwareVersion = 35}, 115200);
    ASSERT_EQ(gateway.problem(), "");
    ProjectBuilder b = deviceNetProject(7);

    serial::SerialDownload download(b.project, b.state);
    const LineRun down = transfer(download, gateway.path());
    ASSERT_TRUE(down.result.status) << messageOf(down);
    EXPECT_TRUE(download.finished());
    EXPECT_EQ(down.recorder.deviceCode, 1);
    EXPECT_EQ(down.recorder.done, (std::vector<int>{0, 1, 2}));
    // Device information, DeviceNet parameters, subnet parameters, clear, seven commands.
    EXPECT_EQ(down.result.exchanges, 11);

    serial::SerialUpload upload(b.state);
    const LineRun up = transfer(upload, gateway.path());
    ASSERT_TRUE(up.result.status) << messageOf(up);
    Project uploaded = b.project;
    ProjectState state = b.state;
    upload.applyTo(uploaded, state);
    EXPECT_EQ(upload.firmwareVersion(), 35);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(uploaded.subnets[0].commands[static_cast<std::size_t>(i)].startAddress, std::to_string(10 * i));
    }
    EXPECT_EQ(uploaded.subnets[0].commandCount, 7);
}

// Each fault on the line, with the message the user gets and whether the transfer still succeeds.
TEST(SerialTransferOverPty, FaultsOnTheLine) {
    using K = sim::SerialFault::Kind;
    using std::chrono::milliseconds;
    struct Case {
        const char* name;
        sim::SerialFault fault;
        bool upload;
        std::string message;  // empty: the transfer succeeds
        std::string detailStart = "";  // how the line below the message begins
    };
    const std::string checksum = "The reply's checksum does not match (received ";
    const Case cases[] = {
        {"silent device", {.request = 0, .kind = K::Silence}, false, tr(Str::SerialDeviceInfoTimeout)},
        {"bad checksum on device info", {.request = 0, .kind = K::BadChecksum}, false, tr(Str::DlDeviceInfoError),
         checksum},
        {"negative reply to a command", {.request = 5, .kind = K::NegativeReply, .errorBytes = {0x03, 0x00}},
         false, tr(Str::DlSingleSlaveOnly)},
        {"negative reply, other error", {.request = 5, .kind = K::NegativeReply, .errorBytes = {0x07, 0x00}},
         false, format(Str::DlSubnet1CommandError, {"1"}),
         "The gateway refused the request: it answered with code 90 and error bytes 07 00."},
        {"reply split with a pause", {.request = 3, .kind = K::SplitReply, .delay = milliseconds(120)}, false, ""},
        {"reply within its bound", {.request = 2, .kind = K::LateReply, .delay = milliseconds(200)}, false, ""},
        {"reply past the bound", {.request = 2, .kind = K::LateReply, .delay = milliseconds(450)}, false,
         tr(Str::DlSubnetTimeout)},
        {"clear refused, transfer goes on", {.request = 3, .kind = K::NegativeReply}, false, ""},
        // Command packages are allowed a second; other reads 300 ms.
        {"late package within a second", {.request = 4, .kind = K::LateReply, .delay = milliseconds(700)}, true, ""},
        {"late package past a second", {.request = 4, .kind = K::LateReply, .delay = milliseconds(1200)}, true,
         tr(Str::UlPackageTimeout)},
        {"late subnet read", {.request = 2, .kind = K::LateReply, .delay = milliseconds(450)}, true,
         tr(Str::UlSubnetTimeout)},
        {"bad package checksum", {.request = 5, .kind = K::BadChecksum}, true, format(Str::UlPackageError, {"1"}),
         checksum},
    };
    ProjectBuilder b = deviceNetProject(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyGatewayThread gateway({.deviceCode = 1, .firmwareVersion = 40}, 115200);
        ASSERT_EQ(gateway.problem(), "");
        if (c.upload) {  // something to upload first
            serial::SerialDownload fill(b.project, b.state);
            ASSERT_TRUE(transfer(fill, gateway.path()).result.status);
        }
        gateway.engine().setFaults({c.fault});
        std::unique_ptr<serial::SerialSequence> sequence;
        if (c.upload)
            sequence = std::make_unique<serial::SerialUpload>(b.state);
        else
            sequence = std::make_unique<serial::SerialDownload>(b.project, b.state);
        const LineRun run = transfer(*sequence, gateway.path());
        EXPECT_EQ(messageOf(run), c.message);
        if (!run.result.status) {
            EXPECT_EQ(run.result.status.detail().substr(0, c.detailStart.size()), c.detailStart)
                << run.result.status.detail();
        }
        EXPECT_EQ(sequence->finished(), c.message.empty());
        // No stop waits much past its bound.
        EXPECT_LT(run.took.count(), 2500);
    }
}

TEST(SerialTransferOverPty, WrongDeviceClosesThePort) {
    PtyGatewayThread gateway({.deviceCode = 3}, 0);
    ASSERT_EQ(gateway.problem(), "");
    ProjectBuilder b = deviceNetProject(1);
    serial::SerialDownload download(b.project, b.state);
    const LineRun run = transfer(download, gateway.path());
    EXPECT_EQ(messageOf(run), tr(Str::SerialDeviceTypeMismatch));
    EXPECT_TRUE(run.result.closePort);
    EXPECT_EQ(run.result.exchanges, 1);
}

TEST(SerialTransferOverPty, CancelStopsBetweenExchanges) {
    PtyGatewayThread gateway({.deviceCode = 1}, 0);
    ASSERT_EQ(gateway.problem(), "");
    ProjectBuilder b = deviceNetProject(3);
    serial::SerialDownload download(b.project, b.state);
    SerialPortStream port;
    ASSERT_TRUE(port.open(gateway.path(), {}));
    SteadyClock clock;
    std::atomic<bool> cancelled{false};
    struct CancelAfterFirst : serial::SerialTransferObserver {
        std::atomic<bool>* flag;
        void deviceReported(int) override { *flag = true; }
    } observer;
    observer.flag = &cancelled;
    const auto result = serial::runSerialTransfer(download, port, clock, observer, [&] { return cancelled.load(); });
    ASSERT_FALSE(result.status);
    EXPECT_EQ(result.status.kind(), ErrorKind::Cancelled);
    EXPECT_EQ(result.exchanges, 1);
}

}  // namespace
}  // namespace veltrane::testing
