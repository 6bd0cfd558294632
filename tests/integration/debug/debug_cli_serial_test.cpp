// veltrane-cli monitor and write over a real pseudo-terminal, the test playing the gateway on the
// master side.

#include "core/debug/debug_report.h"
#include "support/cli_runner.h"
#include "support/hex_bytes.h"
#include "support/pseudo_terminal.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <thread>

using namespace veltrane;
using namespace veltrane::testing;

namespace {

DebugReport report(std::uint8_t status, Bytes data = {}) {
    DebugReport r;
    r.status = status;
    r.slave = 9;
    r.start = 0x0102;
    r.data = std::move(data);
    return r;
}

// Sends `bytes` until the tool answers, since the tool drops whatever came before it opened the port.
Bytes sendUntilAnswered(PseudoTerminal& pty, const Bytes& bytes, std::size_t answerSize) {
    for (int attempt = 0; attempt < 40; ++attempt) {
        EXPECT_TRUE(pty.send(bytes));
        Bytes answer = pty.receive(answerSize, 250);
        if (!answer.empty())
            return answer.size() < answerSize ? Bytes{} : answer;
    }
    return {};
}

TEST(DebugCliSerial, MonitorAnswersEveryKnownReportAndShowsAllButTheIdleOnes) {
    PseudoTerminal pty;
    if (!pty.problem().empty())
        GTEST_SKIP() << pty.problem();
    RunResult run;
    std::thread cli([&] { run = runCli({"monitor", "--port", pty.slavePath(), "--count", "2"}); });

    // The idle status is acknowledged but neither shown nor counted.
    EXPECT_EQ(sendUntilAnswered(pty, report(report_status::Idle).encodeSerial(), 1), hexBytes("00"));
    // An unknown status is dropped unanswered once the line goes quiet.
    ASSERT_TRUE(pty.send(hexBytes("07 09 01 02")));
    EXPECT_TRUE(pty.receive(1, 300).empty());
    ASSERT_TRUE(pty.send(report(report_status::Correct, {0, 1, 2, 3}).encodeSerial()));
    EXPECT_EQ(pty.receive(1, 2000), hexBytes("00"));
    ASSERT_TRUE(pty.send(report(report_status::Timeout).encodeSerial()));
    EXPECT_EQ(pty.receive(1, 2000), hexBytes("00"));
    cli.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Responding correctly\t9\t258\t00 01 02 03 \n"
              "Response Timeout\t9\t258\tNo response from the node\n");
}

TEST(DebugCliSerial, WriteGoesOutInPlaceOfTheNextAcknowledgement) {
    PseudoTerminal pty;
    if (!pty.problem().empty())
        GTEST_SKIP() << pty.problem();
    RunResult run;
    std::thread cli([&] { run = runCli({"write", "--port", pty.slavePath(), "4000", "00 01 02 03"}); });
    EXPECT_EQ(sendUntilAnswered(pty, report(report_status::Exception).encodeSerial(), 8),
              hexBytes("01 40 00 04 00 01 02 03"));
    cli.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Abnormal response\t9\t258\t01 (Illegal function code)\n");
}

}  // namespace

// The simulator's own serial gateway: reports from the commands of a project, writes recorded.
TEST(DebugCliSerial, MonitorAndWriteAgainstTheSimulatedSerialGateway) {
    const std::string dir = ::testing::TempDir();
    const std::string project = dir + "debug_serial_project.chg";
    ASSERT_EQ(runCli({"edit", "new", "--select", "Subnet 1", "--add-node", "--select", "Subnet 1/Node-1",
                      "--add-command", "3", "-o", project})
                  .exitCode,
              0);
    SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--baud", "0", "--debug-project", project,
                                          "--debug-rate", "200", "--debug-exceptions", "0",
                                          "--debug-timeouts", "0"});
    const std::string port = sim.serialPath();
    ASSERT_FALSE(port.empty()) << sim.output();

    const RunResult monitor = runCli({"monitor", "--port", port, "--count", "3", "--json"});
    EXPECT_EQ(monitor.exitCode, 0) << monitor.err;
    std::size_t rows = 0;
    for (std::size_t at = monitor.out.find("\"status\":\"Responding correctly\",\"slave\":\"1\"");
         at != std::string::npos; at = monitor.out.find("\"status\":\"Responding correctly\"", at + 1))
        ++rows;
    EXPECT_EQ(rows, 3u) << monitor.out;

    const RunResult write = runCli({"write", "--port", port, "4000", "01 02"});
    EXPECT_EQ(write.exitCode, 0) << write.err;
}
