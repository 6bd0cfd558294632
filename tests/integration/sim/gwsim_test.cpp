// veltrane-gwsim behind real sockets. Every test runs again inside a fresh network namespace
// (unshare -n, loopback up), so nothing here can reach a real network, broadcasts included.

#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/model/project_defaults.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace veltrane;
using namespace veltrane::ethernet;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

constexpr std::uint16_t kUdpPort = 28801;
constexpr std::uint16_t kTcpPort = 28802;

enum class Rerun { Passed, Failed, Unavailable };

bool inNamespace() { return std::getenv("VELTRANE_TEST_NETNS") != nullptr; }

// Runs the current test again in a new network namespace and reports how it ended.
Rerun rerunInNamespace() {
    if (std::system("unshare -n true >/dev/null 2>&1") != 0)
        return Rerun::Unavailable;
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return Rerun::Unavailable;
    self[length] = '\0';
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = std::string("VELTRANE_TEST_NETNS=1 timeout 90 unshare -n '") + self +
                                "' --gtest_filter=" + info->test_suite_name() + "." + info->name();
    return std::system(command.c_str()) == 0 ? Rerun::Passed : Rerun::Failed;
}

#define RUN_IN_OWN_NETWORK_NAMESPACE()                                                        \
    if (!inNamespace()) {                                                                     \
        const Rerun rerun = rerunInNamespace();                                               \
        if (rerun == Rerun::Unavailable)                                                      \
            GTEST_SKIP() << "cannot make a network namespace here (unshare -n needs root)";   \
        EXPECT_EQ(rerun, Rerun::Passed) << "the test failed inside its network namespace";    \
        return;                                                                               \
    }                                                                                         \
    ASSERT_EQ(std::system("ip link set lo up"), 0)

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// The simulator as a child process, stopped by its pid when the test ends.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(VELTRANE_GWSIM)};
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(VELTRANE_GWSIM, argv.data());
            _exit(127);
        }
        close(out[1]);
        m_out = out[0];
    }
    ~Simulator() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            close(m_out);
    }

    // True once the simulator has printed `gateways` "listening" lines, within five seconds.
    bool waitUntilListening(int gateways) {
        const auto deadline = Clock::now() + milliseconds(5000);
        std::string text;
        while (remainingMs(deadline) > 0) {
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, remainingMs(deadline)) <= 0)
                break;
            char buffer[512];
            const ssize_t n = read(m_out, buffer, sizeof buffer);
            if (n <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(n));
            int lines = 0;
            for (std::size_t at = 0; (at = text.find("listening ", at)) != std::string::npos; ++at)
                ++lines;
            if (lines >= gateways)
                return true;
        }
        ADD_FAILURE() << "simulator not ready; it printed: " << text;
        return false;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

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
    RUN_IN_OWN_NETWORK_NAMESPACE();
    const std::string state = ::testing::TempDir() + "gwsim_integration_state.txt";
    std::remove(state.c_str());
    std::vector<std::string> args = commonArgs();
    for (const char* arg : {"--gateway", "ip=127.0.0.2,model=30202,mac=00-1a-2b-3c-4d-5e,fw=2.10",
                            "--gateway", "ip=127.0.0.3,model=30102,remote=off", "--state"})
        args.emplace_back(arg);
    args.push_back(state);
    const ConfigurationImage image = projectImage();
    {
        Simulator sim(args);
        ASSERT_TRUE(sim.waitUntilListening(2));

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
    Simulator sim(args);
    ASSERT_TRUE(sim.waitUntilListening(2));
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
    RUN_IN_OWN_NETWORK_NAMESPACE();
    std::vector<std::string> args = commonArgs();
    for (const char* arg : {"--count", "1", "--fault", "split@read", "--split-at", "600", "--split-delay", "300"})
        args.emplace_back(arg);
    Simulator sim(args);
    ASSERT_TRUE(sim.waitUntilListening(1));

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
