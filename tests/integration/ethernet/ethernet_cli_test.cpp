// veltrane-cli scan, download and upload against veltrane-gwsim over loopback, inside a private
// network namespace.

#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/ethernet_transfer.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/model/file_io.h"
#include "core/model/project_file.h"
#include "core/interaction/prompter.h"
#include "core/transfer/download_checks.h"
#include "support/cli_runner.h"
#include "support/private_network.h"
#include "support/udp_babbler.h"
#include "support/project_builder.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::SimulatorProcess;
using veltrane::testing::ProjectBuilder;
using veltrane::testing::runCli;
using veltrane::testing::UdpBabbler;

namespace {

constexpr std::uint16_t kUdpPort = 28811;
constexpr std::uint16_t kTcpPort = 28812;

void useSimulatorPorts(std::uint16_t tcpPort = kTcpPort) {
    setenv("VELTRANE_GATEWAY_UDP_PORT", std::to_string(kUdpPort).c_str(), 1);
    setenv("VELTRANE_GATEWAY_TCP_PORT", std::to_string(tcpPort).c_str(), 1);
}

std::vector<std::string> simArgs(std::vector<std::string> gateways) {
    std::vector<std::string> args{"--udp-port", std::to_string(kUdpPort), "--tcp-port", std::to_string(kTcpPort)};
    for (std::string& gateway : gateways) {
        args.push_back("--gateway");
        args.push_back(std::move(gateway));
    }
    return args;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string save(const ProjectBuilder& b, const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(writeProjectFile(path, b.project, b.state).ok());
    return path;
}

// A two-subnet project with one read command on each of subnets 1 and 2.
ProjectBuilder sampleProject() {
    ProjectBuilder b;
    b.project.fieldbus.ipAddress = "10.20.30.40";
    b.node(1, "5");
    b.command(1, 1, {"3", "4", "0"});
    b.node(2, "17");
    b.command(2, 1, {"1", "16", "10"});
    return b;
}

// What the gateway stores, read the way the tool reads it.
Bytes storedImage(const char* ip) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kTcpPort);
    inet_pton(AF_INET, ip, &address.sin_addr);
    Bytes reply;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const auto request = ReadRequest{}.encode();
        (void)send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        timeval timeout{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::uint8_t buffer[4096];
        ssize_t n;
        while (reply.size() < kImageSize && (n = recv(fd, buffer, sizeof buffer, 0)) > 0)
            reply.insert(reply.end(), buffer, buffer + n);
    }
    close(fd);
    return reply;
}

}  // namespace

TEST(EthernetCli, BroadcastScanListsBothGatewaysAndSilenceExitsWithOne) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    useSimulatorPorts();
    {
        SimulatorProcess sim(VELTRANE_GWSIM, simArgs({"ip=127.0.0.2,model=30202,mac=00-1a-2b-3c-4d-5e,fw=2.10",
                                                      "ip=127.0.0.3,model=30102,remote=off"}));
        ASSERT_TRUE(sim.waitFor("listening ", 2)) << sim.output();
        const auto json = runCli({"scan", "--local", "127.0.0.1", "--json"});
        EXPECT_EQ(json.exitCode, 0) << json.err;
        EXPECT_NE(json.out.find("\"ip\": \"127.0.0.2\""), std::string::npos) << json.out;
        EXPECT_NE(json.out.find("\"ip\": \"127.0.0.3\""), std::string::npos) << json.out;
        EXPECT_NE(json.out.find("\"mac\": \"00-1a-2b-3c-4d-5e\""), std::string::npos);
        EXPECT_NE(json.out.find("\"model\": \"PLD-772XQ\""), std::string::npos);
        EXPECT_NE(json.out.find("Prohibit remote configuration"), std::string::npos);

        const auto direct = runCli({"scan", "--direct", "127.0.0.2"});
        EXPECT_EQ(direct.exitCode, 0);
        EXPECT_EQ(direct.out, "1\tPLD-772XQ\t127.0.0.2\t00-1a-2b-3c-4d-5e\t2.10\tAllows remote configuration\n");
    }
    const auto none = runCli({"scan", "--local", "127.0.0.1"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
}

TEST(EthernetCli, DownloadWritesTheImageAndUploadReadsItBack) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    useSimulatorPorts();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs({"ip=127.0.0.2,model=30202", "ip=127.0.0.3,model=30202"}));
    ASSERT_TRUE(sim.waitFor("listening ", 2)) << sim.output();
    ProjectBuilder project = sampleProject();
    const std::string file = save(project, "eth_download.chg");
    const std::string before = fileBytes(file);

    const auto download = runCli({"download", file, "--to", "127.0.0.3", "--broadcast", "--local", "127.0.0.1", "--restart"});
    EXPECT_EQ(download.exitCode, 0) << download.out << download.err;
    EXPECT_NE(download.out.find("Downloading the configuration is successful."), std::string::npos);
    EXPECT_NE(download.out.find("Do you want to restart the gateway remotely?"), std::string::npos);
    EXPECT_EQ(fileBytes(file), before) << "the recomputed byte counts stay in memory";

    // The gateway holds exactly the image of the project with its byte counts recomputed.
    ScriptedPrompter prompter;
    ASSERT_TRUE(prepareEthernetDownload(project.project, prompter));
    ConfigurationImage expected = buildConfigurationImage(project.project, project.state);
    expected.setCommandCode(command::ReadConfiguration);
    const Bytes stored = storedImage("127.0.0.3");
    ASSERT_EQ(stored.size(), kImageSize);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), expected.bytes().begin()));
    EXPECT_NE(storedImage("127.0.0.2"), stored) << "only the chosen gateway was written";

    const std::string out = ::testing::TempDir() + "eth_uploaded.chg";
    std::remove(out.c_str());
    const auto upload = runCli({"upload", "--to", "127.0.0.3", "-o", out});
    EXPECT_EQ(upload.exitCode, 0) << upload.out << upload.err;
    const Result<LoadedProject> read = readProjectFile(out, ProjectState{});
    ASSERT_TRUE(read.ok()) << upload.out;
    EXPECT_EQ(read->project.fieldbus.ipAddress, "10.20.30.40");
    EXPECT_EQ(read->project.subnets[1].commands[0].slaveAddress, "17");
    EXPECT_EQ(read->project.subnets[1].commands[0].dataCount, "16");
    EXPECT_NE(upload.out.find("Not carried over Ethernet: node names"), std::string::npos) << upload.out;

    // No slot keeps the byte count of the base project's command: 16 coils take 16 / 8 + 1 bytes,
    // as the download counts them.
    ProjectBuilder base;
    base.node(2, "3");
    base.command(2, 1, {"3", "10", "0"});
    base.project.subnets[1].commands[0].byteCount = "20";
    const auto into = runCli({"upload", "--to", "127.0.0.3", "--into", save(base, "eth_base.chg"), "-o", out});
    EXPECT_EQ(into.exitCode, 0) << into.out << into.err;
    const Result<LoadedProject> reread = readProjectFile(out, ProjectState{});
    ASSERT_TRUE(reread.ok()) << into.out;
    EXPECT_EQ(reread->project.subnets[1].commands[0].byteCount, "3");
    EXPECT_EQ(reread->project.subnets[0].commands[0].byteCount, "8");
}

TEST(EthernetCli, EveryFailureShowsItsMessageAndChangesNothing) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    ProjectBuilder good = sampleProject();
    ProjectBuilder noAddress = sampleProject();
    noAddress.node(2, "-1");
    ProjectBuilder outOfRange = sampleProject();
    outOfRange.at(1, 1).mappingAddress = "1EA";
    ProjectBuilder conflict = sampleProject();
    conflict.at(2, 1).mappingAddress = "0";
    ProjectBuilder single = sampleProject();
    single.state.flags.singleSubnetModel = true;

    struct Case {
        const char* name;
        std::string gateway;
        ProjectBuilder* project;
        bool upload;
        const char* message;
        std::uint16_t tcpPort = kTcpPort;
    };
    const std::vector<Case> cases = {
        {"remote off", "ip=127.0.0.2,model=30202,remote=off", &good, false,
         "Remote configuration is disabled, please check the local DIP switch status!"},
        {"model", "ip=127.0.0.2,model=30102", &good, false, "Equipment Type do not match!"},
        {"model on upload", "ip=127.0.0.2,model=30202", &single, true, "Equipment Type do not match!"},
        {"conflict", "ip=127.0.0.2,model=30202", &conflict, false, "Command conflict, can not download!"},
        {"node", "ip=127.0.0.2,model=30202", &noAddress, false, "Node address can not be empty!"},
        {"range", "ip=127.0.0.2,model=30202", &outOfRange, false, "Data mapping address exceeds the maximum RMS!"},
        {"no connection", "ip=127.0.0.2,model=30202", &good, false,
         "Connection fails, make sure the IP address and port number is correct!", kTcpPort + 1},
        {"write unanswered", "ip=127.0.0.2,model=30202,fault=silent@write", &good, false,
         "Write configuration fails, make sure that the IP address and port number is correct!"},
        {"write refused", "ip=127.0.0.2,model=30202,fault=wrong-code@write", &good, false, "Write Failed!"},
        {"upload unanswered", "ip=127.0.0.2,model=30202,fault=silent@read", &good, true,
         "Reads the configuration fails, make sure that the IP address and port number is correct!"},
        {"upload refused", "ip=127.0.0.2,model=30202,fault=wrong-code@read", &good, true, "Read configuration failed!"},
        {"upload connection", "ip=127.0.0.2,model=30202", &good, true,
         "Connection fails, make sure the IP address and port number is correct!", kTcpPort + 1},
    };
    for (const Case& c : cases) {
        useSimulatorPorts(c.tcpPort);
        SimulatorProcess sim(VELTRANE_GWSIM, simArgs({c.gateway}));
        ASSERT_TRUE(sim.waitFor("listening ", 1)) << c.name << ": " << sim.output();
        const std::string file = save(*c.project, "eth_failure.chg");
        const std::string before = fileBytes(file);
        const std::string out = ::testing::TempDir() + "eth_failure_out.chg";
        std::remove(out.c_str());
        const auto run = c.upload ? runCli({"upload", "--to", "127.0.0.2", "--broadcast", "--local", "127.0.0.1",
                                            "--into", file, "-o", out})
                                  : runCli({"download", file, "--to", "127.0.0.2", "--broadcast", "--local", "127.0.0.1"});
        EXPECT_EQ(run.exitCode, 1) << c.name << ": " << run.out << run.err;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.name << ": " << run.out << run.err;
        EXPECT_EQ(fileBytes(file), before) << c.name;
        EXPECT_TRUE(fileBytes(out).empty()) << c.name << ": nothing is written on failure";
    }
}

// A zero-length file opens as "keep the current records", which in a fresh CLI are the defaults:
// sending it would overwrite and restart the gateway with a configuration nobody made.
TEST(EthernetCli, AFileThatHoldsNoProjectIsNeverSent) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    useSimulatorPorts();
    SimulatorProcess sim(VELTRANE_GWSIM, simArgs({"ip=127.0.0.2,model=30202"}));
    ASSERT_TRUE(sim.waitFor("listening ", 1)) << sim.output();
    const std::string empty = ::testing::TempDir() + "eth_empty.chg";
    { std::ofstream(empty, std::ios::binary | std::ios::trunc); }
    const Bytes before = storedImage("127.0.0.2");

    const auto run = runCli({"download", empty, "--to", "127.0.0.2", "--restart"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(run.out, empty + " holds no project; nothing was sent.\n") << run.err;
    EXPECT_EQ(storedImage("127.0.0.2"), before);
    EXPECT_EQ(sim.count("restart"), 0);
}

namespace {

Bytes allowingReply(const char* ip) {
    DiscoveryReply reply;
    reply.ipAddress = *parseIpv4(ip);
    reply.remoteConfigFlag = 1;
    const auto bytes = reply.encode();
    return Bytes(bytes.begin(), bytes.end());
}

double secondsOf(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(EthernetCli, HostilePeersOnTheScanPortNeitherHoldTheScanNorSpeakForTheGateway) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    useSimulatorPorts();
    {
        // Junk and empty datagrams keep coming while a gateway answers.
        SimulatorProcess sim(VELTRANE_GWSIM, simArgs({"ip=127.0.0.2"}));
        ASSERT_TRUE(sim.waitFor("listening ")) << sim.output();
        UdpBabbler junk("127.0.0.9", Bytes(40, 0xEE), 100);
        UdpBabbler empty("127.0.0.8", Bytes{}, 100);
        veltrane::testing::RunResult scan;
        const double seconds = secondsOf([&] { scan = runCli({"scan", "--local", "127.0.0.1"}); });
        EXPECT_EQ(scan.exitCode, 0) << scan.err;
        EXPECT_NE(scan.out.find("127.0.0.2"), std::string::npos) << scan.out;
        EXPECT_LT(seconds, 10.0);
    }
    {
        // Nobody at 127.0.0.2; another address claims to be a gateway that allows remote configuration.
        UdpBabbler spoof("127.0.0.9", allowingReply("127.0.0.2"), 20);
        const auto direct = runCli({"scan", "--direct", "127.0.0.2"});
        EXPECT_EQ(direct.exitCode, 1);
        EXPECT_EQ(direct.out, "");
        EXPECT_EQ(direct.err, "No gateway answered.\n");
    }
    {
        // Another program holds the scan's port without sharing it.
        const int holder = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(10002);
        ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"scan", "--local", "127.0.0.1"}, std::vector<std::string>{"scan", "--direct", "127.0.0.2"}}) {
            const auto run = runCli(args);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_NE(run.err.find("could not be bound to"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("port 10002"), std::string::npos) << run.err;
        }
        close(holder);
    }
}
