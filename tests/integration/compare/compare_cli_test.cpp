// veltrane-cli compare and download --verify against the simulator over both links: what they
// report, and that a comparison sends nothing but reads.

#include "core/model/project_defaults.h"
#include "core/model/project_file.h"
#include "support/cli_test_fixture.h"
#include "support/private_network.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace veltrane::testing {
namespace {

constexpr std::uint16_t kUdpPort = 28831;
constexpr std::uint16_t kTcpPort = 28832;

// The lines the simulator printed since `seen` lines, read until it has been quiet for a while.
std::string linesSince(SimulatorProcess& sim, std::size_t& seen) {
    sim.waitFor("no such line", 1, std::chrono::milliseconds(300));
    const std::string all = sim.output();
    const std::string added = all.substr(std::min(seen, all.size()));
    seen = all.size();
    return added;
}

class CompareCli : public CliTestFixture {
protected:
    // One node with two read commands, starting at `first` and 200.
    std::string project(const std::string& name, std::int32_t deviceType, const std::string& first) {
        ProjectBuilder b;
        b.state.DeviceType = deviceType;
        applyProjectDefaults(b.project, b.state);
        const int node = b.node(1, "9");
        b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "0", .mappingBit = "0",
                            .startAddress = first});
        b.command(1, node, {.functionCode = "3", .dataCount = "1", .mappingAddress = "2", .mappingBit = "0",
                            .startAddress = "200"});
        const std::string path = file(name);
        EXPECT_TRUE(writeProjectFile(path, b.project, b.state).ok());
        return path;
    }

    // Equal, then one changed starting address, and no write or restart request meanwhile.
    void compareAfterDownload(SimulatorProcess& sim, const std::vector<std::string>& link, std::int32_t deviceType,
                              const std::vector<std::string>& writeLines) {
        const std::string written = project("written.chg", deviceType, "100");
        std::vector<std::string> download{"download", written};
        download.insert(download.end(), link.begin(), link.end());
        const RunResult down = cli(download);
        ASSERT_EQ(down.exitCode, 0) << down.out << down.err;
        std::size_t seen = 0;
        linesSince(sim, seen);

        std::vector<std::string> same{"compare", written, "--json"};
        same.insert(same.end(), link.begin(), link.end());
        const RunResult equal = cli(same);
        EXPECT_EQ(equal.exitCode, 0) << equal.out << equal.err;
        EXPECT_EQ(equal.out, "{\n  \"equal\": true,\n  \"differences\": []\n}\n");

        std::vector<std::string> changed{"compare", project("changed.chg", deviceType, "150")};
        changed.insert(changed.end(), link.begin(), link.end());
        const RunResult different = cli(changed);
        EXPECT_EQ(different.exitCode, 1) << different.err;
        EXPECT_EQ(different.out, m_subnetItem + "/Node-9/03 Read Holding Register#1: Starting Address: \"150\" -> \"100\"\n");

        const std::string requests = linesSince(sim, seen);
        EXPECT_NE(requests.find("request "), std::string::npos) << "the gateway was read";
        for (const std::string& write : writeLines)
            EXPECT_EQ(requests.find(write), std::string::npos) << requests;
    }

    // A gateway that keeps another starting address than it was sent: named, exit 3.
    void verifyFindsTheAlteredValue(const std::vector<std::string>& link, std::int32_t deviceType) {
        std::vector<std::string> download{"download", project("verified.chg", deviceType, "100"), "--verify"};
        download.insert(download.end(), link.begin(), link.end());
        const RunResult run = cli(download);
        EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
        EXPECT_NE(run.out.find(m_subnetItem + "/Node-9/03 Read Holding Register#1: Starting Address: \"100\" -> \"101\"\n"),
                  std::string::npos)
            << run.out;
    }

    std::string m_subnetItem = "Subnet 1";  // a single-subnet gateway's item is "Subnet"
};

const std::vector<std::string> kSerialWrites{"request 03", "request 10", "request 14", "request 21",
                                             "request 30", "request 32", "request 34"};

TEST_F(CompareCli, SerialGateway) {
    m_subnetItem = "Subnet";
    {
        SimulatorProcess sim(VELTRANE_GWSIM, {"--serial", "--device-code", "1", "--baud", "0", "--log-requests"});
        ASSERT_FALSE(sim.serialPath().empty()) << sim.output();
        compareAfterDownload(sim, {"--port", sim.serialPath()}, device::DeviceNet, kSerialWrites);
        const RunResult verified =
            cli({"download", project("verified.chg", device::DeviceNet, "100"), "--port", sim.serialPath(), "--verify"});
        EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
    }
    SimulatorProcess altering(VELTRANE_GWSIM, {"--serial", "--device-code", "1", "--baud", "0", "--alter-stored"});
    ASSERT_FALSE(altering.serialPath().empty()) << altering.output();
    verifyFindsTheAlteredValue({"--port", altering.serialPath()}, device::DeviceNet);
}

std::vector<std::string> ethernetSim(std::vector<std::string> extra) {
    std::vector<std::string> args{"--udp-port", std::to_string(kUdpPort), "--tcp-port", std::to_string(kTcpPort),
                                  "--gateway", "ip=127.0.0.2,model=30202"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST_F(CompareCli, EthernetGateway) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    setenv("VELTRANE_GATEWAY_UDP_PORT", std::to_string(kUdpPort).c_str(), 1);
    setenv("VELTRANE_GATEWAY_TCP_PORT", std::to_string(kTcpPort).c_str(), 1);
    const std::vector<std::string> link{"--to", "127.0.0.2"};
    {
        SimulatorProcess sim(VELTRANE_GWSIM, ethernetSim({"--log-requests"}));
        ASSERT_TRUE(sim.waitFor("listening ")) << sim.output();
        compareAfterDownload(sim, link, device::EtherNetIP, {"request 127.0.0.2 6", "request 127.0.0.2 10", "restart"});
        const RunResult verified =
            cli({"download", project("verified.chg", device::EtherNetIP, "100"), "--to", "127.0.0.2", "--verify"});
        EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
    }
    SimulatorProcess altering(VELTRANE_GWSIM, ethernetSim({"--alter-stored"}));
    ASSERT_TRUE(altering.waitFor("listening ")) << altering.output();
    verifyFindsTheAlteredValue(link, device::EtherNetIP);
}

}  // namespace
}  // namespace veltrane::testing
