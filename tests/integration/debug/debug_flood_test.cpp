// A gateway that reports as fast as loopback carries them, unacknowledged: veltrane-cli's monitor and
// write keep their time limits, counts and Ctrl+C, and memory stays bounded. The receiver's queue
// drops, and counts, what its reader does not take.

#include "core/link/ethernet/configuration_image.h"
#include "link/debug_receiver.h"
#include "sim/engine/gateway_state_file.h"
#include "support/cli_runner.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

using namespace veltrane;
using namespace veltrane::testing;
using std::chrono::milliseconds;

namespace {

std::size_t lineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

// The most a monitor may grow to under a flood; it grew to gigabytes when every pending datagram was
// stored before any limit was looked at.
constexpr long kPeakLimitKilobytes = 256 * 1024;

class DebugFloodTest : public ::testing::Test {
protected:
    void SetUp() override {
        VELTRANE_REQUIRE_PRIVATE_NETWORK();
        ProjectBuilder b;
        b.node(1, "1");
        b.command(1, 1, {"3", "4", "0", "", "No Swap", "100"});
        b.command(1, 1, {"3", "8", "10", "", "No Swap", "200"});
        m_state = std::filesystem::temp_directory_path() / ("veltrane-flood-" + std::to_string(::getpid()) + ".txt");
        sim::GatewayImages images;
        images["127.0.0.2"] = ethernet::buildConfigurationImage(b.project, b.state);
        ASSERT_TRUE(sim::saveGatewayImages(m_state.string(), images));
        // No rate and no waiting for answers: reports as fast as the simulator can send them.
        m_sim = std::make_unique<SimulatorProcess>(
            VELTRANE_GWSIM, std::vector<std::string>{"--gateway", "ip=127.0.0.2", "--no-broadcast", "--state",
                                                     m_state.string(), "--debug-rate", "0", "--debug-no-ack"});
        ASSERT_TRUE(m_sim->waitFor("listening")) << m_sim->output();
    }
    void TearDown() override {
        m_sim.reset();
        std::filesystem::remove(m_state);
    }

    std::filesystem::path m_state;
    std::unique_ptr<SimulatorProcess> m_sim;
};

TEST_F(DebugFloodTest, TheMonitorKeepsItsLimitsAndItsMemory) {
    const struct {
        const char* what;
        std::vector<std::string> args;
        milliseconds interruptAfter;
        milliseconds longest;
    } cases[] = {
        {"--seconds", {"monitor", "--to", "127.0.0.2", "--seconds", "1"}, milliseconds(0), milliseconds(4000)},
        {"--count", {"monitor", "--to", "127.0.0.2", "--count", "5"}, milliseconds(0), milliseconds(3000)},
        {"Ctrl+C", {"monitor", "--to", "127.0.0.2", "--json"}, milliseconds(700), milliseconds(3700)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto stops = m_sim->count("debug stop");
        const RunResult run = runProgram(VELTRANE_CLI, c.args, milliseconds(20000), c.interruptAfter);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_LT(run.elapsed, c.longest);
        EXPECT_LT(run.peakKilobytes, kPeakLimitKilobytes);
        EXPECT_GT(lineCount(run.out), 0u);
        if (std::string(c.what) == "--count") {
            EXPECT_EQ(lineCount(run.out), 5u) << run.out.substr(0, 400);
        }
        // The gateway is told to stop in every case.
        EXPECT_TRUE(m_sim->waitFor("debug stop", stops + 1)) << m_sim->output();
    }
}

TEST_F(DebugFloodTest, AWriteGoesOutInPlaceOfOneOfTheFloodsAcknowledgements) {
    const RunResult run = runProgram(VELTRANE_CLI, {"write", "--to", "127.0.0.2", "4000", "12 34"}, milliseconds(20000));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_LT(run.elapsed, milliseconds(4000));
    EXPECT_LT(run.peakKilobytes, kPeakLimitKilobytes);
    EXPECT_TRUE(m_sim->waitFor("debug write 127.0.0.2 4000 1234")) << m_sim->output();
}

}  // namespace

// The receiver's queue: a reader that does not keep up loses the surplus, counted, never memory.
TEST(DebugReceiverQueue, StepsBeyondTheQueueAreDroppedAndCounted) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    const int gateway = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kDebugGatewayPort);
    ::inet_pton(AF_INET, "127.0.0.2", &address.sin_addr);
    ASSERT_EQ(::bind(gateway, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    DebugEndpoint endpoint;
    endpoint.transport = DebugTransport::Ethernet;
    endpoint.gatewayAddress = "127.0.0.2";
    endpoint.queueLimit = 10;
    auto receiver = DebugReceiver::open(endpoint);
    ASSERT_TRUE(receiver) << receiver.message();

    sockaddr_in tool{};
    tool.sin_family = AF_INET;
    tool.sin_port = htons(kDebugLocalPort);
    ::inet_pton(AF_INET, "127.0.0.1", &tool.sin_addr);
    DebugReport report;
    report.status = report_status::Correct;
    report.subnet = 1;
    report.slave = 3;
    report.data = {1, 2};
    const Bytes bytes = report.encodeEthernet();
    for (int i = 0; i < 100; ++i)
        ::sendto(gateway, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&tool), sizeof tool);

    // Every report is answered whether or not it is kept for the reader.
    for (int i = 0; i < 500 && (*receiver)->counts().acknowledged < 100; ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ((*receiver)->counts().acknowledged, 100u);
    EXPECT_EQ((*receiver)->take(1000, milliseconds(0)).size(), 10u);
    EXPECT_EQ((*receiver)->dropped(), 90u);
    (*receiver)->stop();
    ::close(gateway);
}
