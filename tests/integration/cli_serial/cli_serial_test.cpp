// veltrane-cli download and upload --port against the simulator program over a pseudo-terminal.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "core/model/project_defaults.h"
#include "core/model/project_file.h"
#include "core/strings/strings.h"
#include "support/cli_test_fixture.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

namespace veltrane::testing {
namespace {

class CliSerial : public CliTestFixture {
protected:
    // A DeviceNet project with `commands` read commands to one node.
    std::string writeProject(const std::string& name, int commands, std::int32_t deviceType = device::DeviceNet) {
        ProjectBuilder b;
        b.state.DeviceType = deviceType;
        applyProjectDefaults(b.project, b.state);
        if (commands > 0) {
            const int node = b.node(1, "9");
            for (int i = 0; i < commands; ++i)
                b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = std::to_string(2 * i),
                                    .mappingBit = "0", .startAddress = std::to_string(100 + i)});
        }
        const std::string path = file(name);
        EXPECT_TRUE(writeProjectFile(path, b.project, b.state).ok());
        return path;
    }
};

TEST_F(CliSerial, DownloadThenUploadIntoANewFile) {
    const std::string state = file("gateway.txt");
    SimulatorProcess sim(VELTRANE_GWSIM,
                         {"--serial", "--device-code", "1", "--baud", "115200", "--state", state});
    ASSERT_FALSE(sim.serialPath().empty()) << sim.output();
    const std::string project = writeProject("in.chg", 3);

    const RunResult down = cli({"download", project, "--port", sim.serialPath(), "--baud", "115200"});
    ASSERT_EQ(down.exitCode, 0) << down.out << down.err;
    EXPECT_NE(down.out.find(tr(Str::SerialDownloadingTitle)), std::string::npos);
    EXPECT_NE(down.out.find(tr(Str::DlCaptionModbusCommands)), std::string::npos);
    EXPECT_NE(down.out.find(tr(Str::SerialDownloadSuccess)), std::string::npos);
    EXPECT_NE(slurp(state).find("count0 3"), std::string::npos);

    const std::string base = writeProject("base.chg", 0);
    const std::string out = file("out.chg");
    const RunResult up =
        cli({"upload", "--port", sim.serialPath(), "--into", base, "-o", out, "--baud", "115200"});
    ASSERT_EQ(up.exitCode, 0) << up.out << up.err;
    EXPECT_NE(up.out.find(tr(Str::SerialUploadSuccess)), std::string::npos);
    ProjectState current;
    const Result<LoadedProject> read = readProjectFile(out, current);
    ASSERT_TRUE(read.ok()) << read.message();
    const CONFIG& subnet = read->project.subnets[0];
    ASSERT_EQ(subnet.commandCount, 3);
    EXPECT_EQ(subnet.commands[2].startAddress, "102");
    EXPECT_EQ(subnet.nodes[0].address, "9");
}

TEST_F(CliSerial, FailuresExitNonZeroWithTheirMessage) {
    const std::string project = writeProject("in.chg", 2);
    {
        SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--device-code", "3", "--baud", "0"});
        const RunResult run = cli({"download", project, "--port", sim.serialPath()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(tr(Str::SerialDeviceTypeMismatch)), std::string::npos) << run.err;
    }
    {
        SimulatorProcess sim(VELTRANE_GWSIM,
                             {"--serial", "--baud", "0", "--fault", "negative@4", "--error-bytes", "3,0"});
        const RunResult run = cli({"download", project, "--port", sim.serialPath()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(tr(Str::DlSingleSlaveOnly)), std::string::npos) << run.err;
    }
    {
        // The upload stops at the command count: the output file is never written.
        SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--baud", "0", "--fault", "silence@3"});
        const std::string out = file("never.chg");
        const RunResult run = cli({"upload", "--port", sim.serialPath(), "--into", project, "-o", out});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(tr(Str::UlCountTimeout)), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const RunResult missing = cli({"download", project, "--port", "/dev/veltrane-no-such-port"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(format(Str::SerialPortOpenFailed, {"/dev/veltrane-no-such-port"})), std::string::npos)
        << missing.err;

    // No port: a wrong command line.
    const std::string incomplete = writeProject("incomplete.chg", 0);
    const RunResult usage = cli({"download", incomplete});
    EXPECT_EQ(usage.exitCode, 2);
}

// Without a base the upload makes a new project of the gateway's type; each command's byte count
// is the one the download over the link gives, not what an earlier command left in its slot.
TEST_F(CliSerial, UploadWithoutABaseTakesTheGatewaysTypeAndCountsBytesAfresh) {
    SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--device-code", "2", "--baud", "0"});
    ASSERT_FALSE(sim.serialPath().empty()) << sim.output();
    ProjectBuilder b;
    b.state.DeviceType = device::Profibus;
    applyProjectDefaults(b.project, b.state);
    const int node = b.node(1, "7");
    b.command(1, node, {.functionCode = "1", .dataCount = "8", .mappingAddress = "0", .mappingBit = "0"});
    b.command(1, node, {.functionCode = "15", .dataCount = "9", .mappingAddress = "4000", .mappingBit = "0"});
    const std::string sent = file("sent.chg");
    ASSERT_TRUE(writeProjectFile(sent, b.project, b.state).ok());
    const RunResult down = cli({"download", sent, "--port", sim.serialPath()});
    ASSERT_EQ(down.exitCode, 0) << down.out << down.err;

    const std::string out = file("out.chg");
    const RunResult up = cli({"upload", "--port", sim.serialPath(), "-o", out});
    ASSERT_EQ(up.exitCode, 0) << up.out << up.err;
    EXPECT_NE(up.out.find(tr(Str::UlNotCarriedSerial)), std::string::npos) << up.out;
    ProjectState state;
    const Result<LoadedProject> read = readProjectFile(out, state);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->DeviceType, device::Profibus);
    EXPECT_EQ(read->project.fieldbus.fieldbusType, "Profibus");
    const CONFIG& subnet = read->project.subnets[0];
    ASSERT_EQ(subnet.commandCount, 2);
    EXPECT_EQ(subnet.commands[0].byteCount, "1");
    EXPECT_EQ(subnet.commands[1].byteCount, "2");
}

TEST_F(CliSerial, AGatewayOfNoSerialTypeNeedsABase) {
    for (const char* code : {"0", "5"}) {
        SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--device-code", code, "--baud", "0"});
        ASSERT_FALSE(sim.serialPath().empty()) << sim.output();
        const std::string out = file("never.chg");
        const RunResult up = cli({"upload", "--port", sim.serialPath(), "-o", out});
        EXPECT_EQ(up.exitCode, 1) << code;
        EXPECT_NE(up.err.find(format(Str::UlNoSerialType, {code})), std::string::npos) << up.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// What is wrong with the command line, the file or the port is told before the line is used.
TEST_F(CliSerial, RefusalsBeforeTheLineNameTheirCause) {
    const std::string state = file("gateway.txt");
    SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--device-code", "1", "--baud", "0", "--state", state});
    ASSERT_FALSE(sim.serialPath().empty()) << sim.output();
    const std::string empty = file("empty.chg");
    { std::ofstream(empty, std::ios::binary); }
    const RunResult noProject = cli({"download", empty, "--port", sim.serialPath()});
    EXPECT_EQ(noProject.exitCode, 1);
    EXPECT_NE(noProject.err.find(empty + " holds no project; nothing was sent."), std::string::npos) << noProject.err;
    EXPECT_FALSE(std::filesystem::exists(state)) << "the gateway was written";

    // An upload whose output could never be saved does not read the gateway first.
    const std::string project = writeProject("in.chg", 1);
    ASSERT_EQ(::mkfifo(file("pipe.chg").c_str(), 0600), 0);
    const RunResult toFifo = cli({"upload", "--port", sim.serialPath(), "--into", project, "-o", file("pipe.chg")});
    EXPECT_EQ(toFifo.exitCode, 1);
    EXPECT_NE(toFifo.err.find(file("pipe.chg") + " is not a regular file"), std::string::npos) << toFifo.err;
    EXPECT_EQ(toFifo.out.find(tr(Str::SerialUploadingTitle)), std::string::npos) << toFifo.out;
    EXPECT_TRUE(std::filesystem::is_fifo(file("pipe.chg")));

    // An empty address is not the serial form.
    const RunResult noAddress = cli({"download", project, "--to", ""});
    EXPECT_EQ(noAddress.exitCode, 2) << noAddress.err;
    EXPECT_NE(noAddress.err.find("--to needs the gateway's address"), std::string::npos) << noAddress.err;

    // A path the system cannot take gets the system's reason, not the advice for a denied device.
    const std::string longPath = "/tmp/" + std::string(5000, 'p');
    const RunResult longPort = cli({"download", project, "--port", longPath});
    EXPECT_EQ(longPort.exitCode, 1);
    EXPECT_NE(longPort.err.find(std::strerror(ENAMETOOLONG)), std::string::npos) << longPort.err.substr(0, 200);
    EXPECT_EQ(longPort.err.find("dialout"), std::string::npos);
}

}  // namespace
}  // namespace veltrane::testing
