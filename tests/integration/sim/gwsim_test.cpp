// veltrane-gwsim behind real sockets, in the test program's private network namespace, so nothing
// here can reach a real network, broadcasts included.

#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/model/project_defaults.h"
#include "support/private_network.h"
#include "support/simulator_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace veltrane;
using namespace veltrane::ethernet;
using veltrane::testing::SimulatorProcess;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr std::uint16_t kUdpPort = 28801;
constexpr std::uint16_t kTcpPort = 28802;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

sockaddr_in socketAddress(const char* ip, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, ip, &address.sin_addr);
    return address;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            close(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Everything that arrives until `want` bytes are there, the peer closes or the time is up; each
// receive's size is kept so that tests can see how a reply was cut.
struct Received {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> chunks;
};

Received receive(int fd, std::size_t want, int timeoutMs) {
    Received received;
    const auto deadline = Clock::now() + milliseconds(timeoutMs);
    while (received.bytes.size() < want && remainingMs(deadline) > 0) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, remainingMs(deadline)) <= 0)
            break;
        std::uint8_t buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.bytes.insert(received.bytes.end(), buffer, buffer + n);
        received.chunks.push_back(static_cast<std::size_t>(n));
    }
    return received;
}

// A TCP exchange with one gateway: send the request, gather the reply.
Received exchange(const char* ip, std::span<const std::uint8_t> request, std::size_t want, int timeoutMs = 2000) {
    Fd fd(socket(AF_INET, SOCK_STREAM, 0));
    const sockaddr_in address = socketAddress(ip, kTcpPort);
    if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "cannot connect to " << ip;
        return {};
    }
    EXPECT_EQ(send(fd.get(), request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    return receive(fd.get(), want, timeoutMs);
}

// Broadcasts one discovery request from 127.0.0.1 and gathers the replies for a second.
std::vector<DiscoveryReply> scan() {
    Fd fd(socket(AF_INET, SOCK_DGRAM, 0));
    const int on = 1;
    setsockopt(fd.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    const sockaddr_in local = socketAddress("127.0.0.1", kScanLocalPort);
    EXPECT_EQ(bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
    const sockaddr_in broadcast = socketAddress("255.255.255.255", kUdpPort);
    const auto request = DiscoveryRequest{}.encode();
    EXPECT_EQ(sendto(fd.get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&broadcast),
                     sizeof broadcast),
              static_cast<ssize_t>(request.size()));
    std::vector<DiscoveryReply> replies;
    const auto deadline = Clock::now() + milliseconds(1000);
    while (remainingMs(deadline) > 0) {
        pollfd p{fd.get(), POLLIN, 0};
        if (poll(&p, 1, remainingMs(deadline)) <= 0)
            break;
        std::uint8_t buffer[256];
        const ssize_t n = recv(fd.get(), buffer, sizeof buffer, 0);
        if (n < 0)
            break;
        auto reply = DiscoveryReply::decode(std::span(buffer, static_cast<std::size_t>(n)));
        EXPECT_TRUE(reply) << "undecodable reply of " << n << " bytes";
        if (reply)
            replies.push_back(*reply);
    }
    return replies;
}

ConfigurationImage projectImage() {
    Project project;
    ProjectState state;
    initializeNewProject(project, state);
    project.fieldbus.ipAddress = "10.20.30.40";
    CONFIG& subnet = project.subnets[1];
    subnet.nodeCount = 1;
    subnet.nodes[0] = {"17", "Node-17"};
    subnet.commandCount = 1;
    subnet.commands[0] = INSTRUCTION{"17", "3", "100", "4", "4000", "0", "8", "No Swap", "CRC", "Fast Scan", 1};
    return buildConfigurationImage(project, state);
}

std::vector<std::string> commonArgs() {
    return {"--udp-port", std::to_string(kUdpPort), "--tcp-port", std::to_string(kTcpPort)};
}

}  // namespace

TEST(Gwsim, BroadcastFindsEveryGatewayAndWrittenImagesSurviveARestart) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    const std::string state = ::testing::TempDir() + "gwsim_integration_state.txt";
    std::remove(state.c_str());
    std::vector<std::string> args = commonArgs();
    for (const char* arg : {"--gateway", "ip=127.0.0.2,model=30202,mac=00-1a-2b-3c-4d-5e,fw=2.10",
                            "--gateway", "ip=127.0.0.3,model=30102,remote=off", "--state"})
        args.emplace_back(arg);
    args.push_back(state);
    const ConfigurationImage image = projectImage();
    {
        SimulatorProcess sim(VELTRANE_GWSIM, args);
        ASSERT_TRUE(sim.waitFor("listening ", 2)) << sim.output();

        auto replies = scan();
        ASSERT_EQ(replies.size(), 2u);
        std::sort(replies.begin(), replies.end(), [](auto& a, auto& b) { return a.ipText() < b.ipText(); });
        EXPECT_EQ(replies[0].ipText(), "127.0.0.2");
        EXPECT_EQ(replies[0].modelCode, 30202u);
        EXPECT_EQ(replies[0].macText(), "00-1a-2b-3c-4d-5e");
        EXPECT_EQ(replies[0].firmwareText(), "2.10");
        EXPECT_TRUE(replies[0].remoteConfigAllowed());
        EXPECT_EQ(replies[1].ipText(), "127.0.0.3");
        EXPECT_EQ(replies[1].modelCode, 30102u);
        EXPECT_FALSE(replies[1].remoteConfigAllowed());

        const Received ack = exchange("127.0.0.2", image.bytes(), 8);
        EXPECT_TRUE(checkWriteReply(ack.bytes));
        // The gateway whose switch forbids it refuses the same write.
        EXPECT_EQ(checkWriteReply(exchange("127.0.0.3", image.bytes(), 8).bytes).kind(), ErrorKind::NegativeReply);
    }
    // A new run reads the state file: the upload returns what was downloaded.
    SimulatorProcess sim(VELTRANE_GWSIM, args);
    ASSERT_TRUE(sim.waitFor("listening ", 2)) << sim.output();
    const Received reply = exchange("127.0.0.2", ReadRequest{}.encode(), kImageSize);
    const auto uploaded = decodeReadReply(reply.bytes);
    ASSERT_TRUE(uploaded) << reply.bytes.size() << " bytes";
    ASSERT_EQ(reply.bytes.size(), kImageSize);
    EXPECT_TRUE(std::equal(uploaded->bytes().begin() + 8, uploaded->bytes().end(), image.bytes().begin() + 8));

    Project project;
    ProjectState projectState;
    initializeNewProject(project, projectState);
    decodeConfigurationImage(*uploaded, project, projectState);
    EXPECT_EQ(project.fieldbus.ipAddress, "10.20.30.40");
    EXPECT_EQ(project.subnets[1].commands[0].slaveAddress, "17");
    EXPECT_EQ(project.subnets[1].nodes[0].name, "Node-17");
    std::remove(state.c_str());
}

TEST(Gwsim, SplitReplyArrivesInTwoPartsAndRestartClosesTheConnection) {
    VELTRANE_REQUIRE_PRIVATE_NETWORK();
    std::vector<std::string> args = commonArgs();
    for (const char* arg : {"--count", "1", "--fault", "split@read", "--split-at", "600", "--split-delay", "300"})
        args.emplace_back(arg);
    SimulatorProcess sim(VELTRANE_GWSIM, args);
    ASSERT_TRUE(sim.waitFor("listening ", 1)) << sim.output();

    const auto started = Clock::now();
    const Received reply = exchange("127.0.0.2", ReadRequest{}.encode(), kImageSize);
    const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - started).count();
    ASSERT_EQ(reply.bytes.size(), kImageSize);
    ASSERT_GE(reply.chunks.size(), 2u);
    EXPECT_EQ(reply.chunks[0], 600u);
    EXPECT_GE(elapsed, 250);
    EXPECT_TRUE(decodeReadReply(reply.bytes));

    // Writes are not split; after a restart the gateway closes the connection without a reply.
    EXPECT_TRUE(checkWriteReply(exchange("127.0.0.2", projectImage().bytes(), 8).bytes));
    const Received restart = exchange("127.0.0.2", RestartRequest{}.encode(), 1, 1000);
    EXPECT_TRUE(restart.bytes.empty());
}
