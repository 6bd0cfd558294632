// veltrane-cli monitor and write over loopback UDP, inside a network namespace of the test's own.

#include "core/debug/debug_report.h"
#include "core/debug/report_row.h"
#include "core/debug/trace_csv.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/strings/strings.h"
#include "sim/engine/debug/debug_report_generator.h"
#include "sim/engine/gateway_state_file.h"
#include "support/cli_runner.h"
#include "support/hex_bytes.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

using namespace veltrane;
using namespace veltrane::testing;
using std::chrono::milliseconds;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// A gateway whose stored configuration polls two commands: 4 holding registers of slave 1 at 100 on
// subnet 1, and 10 coils of slave 7 at 20 on subnet 2.
class DebugCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELTRANE_REQUIRE_PRIVATE_NETWORK();
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {"3", "4", "0", "", "No Swap", "100"});
        b.node(2, "7");
        b.command(2, 1, {"1", "10", "20", "0", "No Swap", "20"});
        m_state = std::filesystem::temp_directory_path() / ("veltrane-debug-" + std::to_string(::getpid()) + ".txt");
        sim::GatewayImages images;
        images["127.0.0.2"] = ethernet::buildConfigurationImage(b.project, b.state);
        ASSERT_TRUE(sim::saveGatewayImages(m_state.string(), images));
    }
    void TearDown() override { std::filesystem::remove(m_state); }

    std::unique_ptr<SimulatorProcess> startSimulator(std::vector<std::string> extra) {
        std::vector<std::string> args{"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state", m_state.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<SimulatorProcess>(VELTRANE_GWSIM, args);
        EXPECT_TRUE(sim->waitFor("listening")) << sim->output();
        return sim;
    }

    std::filesystem::path m_state;
};

TEST_F(DebugCliTest, MonitorPrintsTheRowsOfTheStoredCommandsAndStopsTheGateway) {
    auto sim = startSimulator({"--debug-rate", "2000", "--debug-exceptions", "20", "--debug-timeouts", "20"});
    const RunResult run = runCli({"monitor", "--to", "127.0.0.2", "--count", "60", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows = lines(run.out);
    ASSERT_EQ(rows.size(), 60u);
    int timeouts = 0, exceptions = 0, correct = 0;
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        const bool first = row.find("\"serialIndex\":\"1\"") != std::string::npos;
        EXPECT_TRUE(first || row.find("\"serialIndex\":\"2\"") != std::string::npos);
        if (row.find(tr(Str::DebugStatusTimeout)) != std::string::npos) {
            // A time-out names only its subnet.
            EXPECT_NE(row.find("\"slave\":\"\",\"start\":\"\",\"data\":\"\""), std::string::npos);
            ++timeouts;
            continue;
        }
        EXPECT_NE(row.find(first ? "\"slave\":\"1\",\"start\":\"100\"" : "\"slave\":\"7\",\"start\":\"20\""), std::string::npos);
        if (row.find(tr(Str::DebugStatusAbnormal)) != std::string::npos) {
            ++exceptions;  // the code in decimal
            EXPECT_NE(row.find("\"data\":\""), std::string::npos);
            continue;
        }
        ++correct;
        // 4 registers are 8 bytes; 10 coils are 2 bytes; each as "xx ".
        const std::size_t at = row.find("\"data\":\"") + 8;
        const std::size_t length = row.find('"', at) - at;
        EXPECT_EQ(length, first ? 24u : 6u);
    }
    EXPECT_GT(timeouts, 0);
    EXPECT_GT(exceptions, 0);
    EXPECT_GT(correct, 0);
    EXPECT_TRUE(sim->waitFor("debug stop 127.0.0.2")) << sim->output();
}

// The simulator's reports follow from its seed: the test makes the same sequence and expects every
// field of the trace but the times, which must only be well formed and in order.
TEST_F(DebugCliTest, CsvTraceHasEveryReportInOrderWithExactValues) {
    auto sim = startSimulator({"--debug-rate", "400", "--debug-exceptions", "20", "--debug-timeouts", "20",
                               "--debug-errors", "10"});
    const RunResult run = runCli({"monitor", "--to", "127.0.0.2", "--count", "40", "--csv"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto got = lines(run.out);
    ASSERT_EQ(got.size(), 41u);
    EXPECT_EQ(got[0] + "\n", traceCsvHeader());

    const auto images = sim::loadGatewayImages(m_state.string());
    ASSERT_TRUE(images);
    Project project;
    ProjectState state;
    ethernet::decodeConfigurationImage(images->at("127.0.0.2"), project, state);
    sim::ReportGeneratorOptions options;
    options.exceptionPercent = 20;
    options.timeoutPercent = 20;
    options.errorPercent = 10;
    sim::DebugReportGenerator gateway(sim::polledCommands(project, state), options);
    gateway.receive(DebugCommand::start().encodeEthernet());

    const std::regex timed(R"((\d+),(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d),(.*))");
    long long lastMs = -1;
    std::string lastWall;
    std::set<std::uint8_t> statuses;
    for (std::size_t i = 1; i < got.size(); ++i) {
        SCOPED_TRACE(got[i]);
        const auto report = DebugReport::decodeEthernet(*gateway.nextReport());
        gateway.receive(DebugCommand::acknowledge().encodeEthernet());
        ASSERT_TRUE(report);
        statuses.insert(report->status);
        DebugRow expected = *handleReport(*report, DebugTransport::Ethernet).row;
        const std::string line = traceCsvLine(expected, 0);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(got[i], match, timed));
        EXPECT_EQ(match[3].str() + "\n", line.substr(line.find(',', line.find(',') + 1) + 1));
        EXPECT_GE(std::stoll(match[1].str()), lastMs);
        EXPECT_GE(match[2].str(), lastWall);  // one offset throughout: the text orders as the time
        lastMs = std::stoll(match[1].str());
        lastWall = match[2].str();
    }
    EXPECT_EQ(statuses.size(), 4u);  // all four outcomes are in the sequence
    // --csv and --json exclude each other, before anything is sent.
    const RunResult both = runCli({"monitor", "--to", "127.0.0.2", "--csv", "--json"});
    EXPECT_EQ(both.exitCode, 2);
    EXPECT_NE(both.err.find("--json and --csv exclude each other"), std::string::npos) << both.err;
    EXPECT_TRUE(sim->waitFor("debug stop 127.0.0.2")) << sim->output();
    EXPECT_EQ(sim->count("debug start"), 1) << sim->output();
}

TEST_F(DebugCliTest, MonitorEndsCleanlyAfterItsTimeOrOnCtrlC) {
    auto sim = startSimulator({"--debug-rate", "100"});
    RunResult run = runCli({"monitor", "--to", "127.0.0.2", "--seconds", "0.5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GT(lines(run.out).size(), 10u);
    EXPECT_NE(run.out.find("1\tResponding correctly\t1\t100\t"), std::string::npos) << run.out;
    EXPECT_TRUE(sim->waitFor("debug stop 127.0.0.2", 1));

    run = runProgram("/usr/bin/timeout", {"--preserve-status", "-s", "INT", "0.5", VELTRANE_CLI, "monitor", "--to",
                                          "127.0.0.2"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GT(lines(run.out).size(), 10u);
    EXPECT_TRUE(sim->waitFor("debug stop 127.0.0.2", 2)) << sim->output();
}

TEST_F(DebugCliTest, WriteReachesTheGatewaysOutputBuffer) {
    auto sim = startSimulator({"--debug-rate", "50"});
    RunResult run = runCli({"write", "--to", "127.0.0.2", "4000", "00 01 02 03"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(sim->waitFor("debug write 127.0.0.2 4000 00010203")) << sim->output();
    // Upper case is accepted; the last output byte is writable.
    run = runCli({"write", "--to", "127.0.0.2", "41EB", "FF"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(sim->waitFor("debug write 127.0.0.2 41eb ff")) << sim->output();
    EXPECT_TRUE(sim->waitFor("debug stop 127.0.0.2", 2));
}

TEST_F(DebugCliTest, WriteRefusesBadInputWithTheDialogsMessagesBeforeSendingAnything) {
    auto sim = startSimulator({"--debug-rate", "50"});
    const struct {
        const char* address;
        const char* data;
        Str message;
    } cases[] = {
        {"", "00", Str::DebugPleaseComplete},
        {"4000", "", Str::DebugPleaseComplete},
        {"40g0", "00", Str::DebugIllegalCharacters},
        {"4000", "0x", Str::DebugIllegalCharacters},
        {"4000", "0011", Str::DebugFormatIncorrect},
        {"400", "00", Str::DebugFormatIncorrect},
        {"3fff", "00", Str::DebugAddressOutOfRange},
        {"41eb", "ff 00", Str::DebugAddressOutOfRange},
        // The character check comes before the separator and length checks.
        {"41ec", "00 zz", Str::DebugIllegalCharacters},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " / " + c.data);
        const RunResult run = runCli({"write", "--to", "127.0.0.2", c.address, c.data});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, tr(c.message) + "\n");
    }
    EXPECT_EQ(sim->count("debug start"), 0) << sim->output();
}

// The test plays the gateway on 127.0.0.2:18802 and a stranger on 127.0.0.3:18802.
class ScriptedGateway {
public:
    explicit ScriptedGateway(const char* ip) : m_fd(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address = socketAddress(ip, kDebugGatewayPort);
        m_bound = ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~ScriptedGateway() { ::close(m_fd); }
    bool bound() const { return m_bound; }

    // The next datagram within the time-out; empty when none came. Remembers the sender.
    Bytes receive(milliseconds timeout) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0)
            return {};
        Bytes data(1500);
        socklen_t length = sizeof m_tool;
        const ssize_t n = ::recvfrom(m_fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&m_tool), &length);
        data.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return data;
    }
    void sendTo(const Bytes& bytes, const sockaddr_in& to) {
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    void reply(const Bytes& bytes) { sendTo(bytes, m_tool); }
    const sockaddr_in& tool() const { return m_tool; }

private:
    static sockaddr_in socketAddress(const char* ip, std::uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        ::inet_pton(AF_INET, ip, &address.sin_addr);
        return address;
    }

    int m_fd;
    bool m_bound = false;
    sockaddr_in m_tool{};
};

DebugReport report(std::uint8_t status, Bytes data = {}) {
    DebugReport r;
    r.status = status;
    r.subnet = 1;
    r.slave = 9;
    r.start = 0x0102;
    r.data = std::move(data);
    return r;
}

TEST(DebugCliWire, AcknowledgesOnlyTheGatewaysKnownReportsAndSendsTheWriteInPlaceOfOne) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    ScriptedGateway gateway("127.0.0.2");
    ScriptedGateway stranger("127.0.0.3");
    ASSERT_TRUE(gateway.bound() && stranger.bound());

    RunResult run;
    std::thread cli([&run] { run = runCli({"write", "--to", "127.0.0.2", "4000", "00 01 02 03"}); });
    EXPECT_EQ(gateway.receive(milliseconds(5000)), hexBytes("0000000E 00000008 EAEAEAEA 00000000"));
    EXPECT_EQ(ntohs(gateway.tool().sin_port), kDebugLocalPort);

    // A report from anyone else is dropped unanswered, and so is one with an unknown status.
    stranger.sendTo(report(report_status::Correct, {0xAA}).encodeEthernet(), gateway.tool());
    gateway.reply(report(7).encodeEthernet());
    EXPECT_TRUE(gateway.receive(milliseconds(300)).empty());
    EXPECT_TRUE(stranger.receive(milliseconds(1)).empty());

    // The next good report gets the write instead of its acknowledgement, then the tool stops.
    gateway.reply(report(report_status::Correct, {0x12, 0x34}).encodeEthernet());
    EXPECT_EQ(gateway.receive(milliseconds(2000)), hexBytes("00000010 0000000A 00000001 4000 00010203"));
    EXPECT_EQ(gateway.receive(milliseconds(2000)), hexBytes("0000000E 00000008 F0F0F0F0 00000000"));
    cli.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "2\tResponding correctly\t9\t258\t12 34 \n");
}

TEST(DebugCliWire, MonitorShowsBodyLengthDataAndTimeOutRowsAndAcknowledgesEach) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    ScriptedGateway gateway("127.0.0.2");
    ASSERT_TRUE(gateway.bound());
    RunResult run;
    std::thread cli([&run] { run = runCli({"monitor", "--to", "127.0.0.2", "--count", "3"}); });
    ASSERT_FALSE(gateway.receive(milliseconds(5000)).empty());
    const Bytes ack = hexBytes("00000010 00000004 00000000");
    // Body length 16: four data bytes. Body length 12: none. A time-out shows index and status only.
    gateway.reply(report(report_status::Correct, {0, 1, 2, 3}).encodeEthernet());
    EXPECT_EQ(gateway.receive(milliseconds(2000)), ack);
    gateway.reply(report(report_status::Error).encodeEthernet());
    EXPECT_EQ(gateway.receive(milliseconds(2000)), ack);
    gateway.reply(report(report_status::Timeout, {5, 6}).encodeEthernet());
    EXPECT_EQ(gateway.receive(milliseconds(2000)), ack);
    EXPECT_EQ(gateway.receive(milliseconds(2000)), hexBytes("0000000E 00000008 F0F0F0F0 00000000"));
    cli.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "2\tResponding correctly\t9\t258\t00 01 02 03 \n"
              "2\tResponse Error\t9\t258\t\n"
              "2\tResponse Timeout\t\t\t\n");
}

// A datagram longer than any report is refused whole, even when its length field describes a report
// of the largest size that its first 300 bytes would make.
TEST(DebugCliWire, ADatagramLongerThanAReportIsNeitherShownNorAcknowledged) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    ScriptedGateway gateway("127.0.0.2");
    ASSERT_TRUE(gateway.bound());
    RunResult run;
    std::thread cli([&run] { run = runCli({"monitor", "--to", "127.0.0.2", "--count", "1"}); });
    ASSERT_FALSE(gateway.receive(milliseconds(5000)).empty());
    Bytes longest = report(report_status::Correct, Bytes(kEthernetReportMaxSize - kEthernetReportFixedSize, 0x11)).encodeEthernet();
    ASSERT_EQ(longest.size(), kEthernetReportMaxSize);
    Bytes oversized = longest;
    oversized.resize(400, 0x22);
    gateway.reply(oversized);
    EXPECT_TRUE(gateway.receive(milliseconds(300)).empty());
    gateway.reply(report(report_status::Correct, {0x12}).encodeEthernet());
    EXPECT_EQ(gateway.receive(milliseconds(2000)), hexBytes("00000010 00000004 00000000"));
    EXPECT_EQ(gateway.receive(milliseconds(2000)), hexBytes("0000000E 00000008 F0F0F0F0 00000000"));
    cli.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "2\tResponding correctly\t9\t258\t12 \n");
}

}  // namespace
