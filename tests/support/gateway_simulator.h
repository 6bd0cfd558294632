#pragma once
// veltrane-gwsim as a child process for tests that run in their own network namespace, and the
// macro that re-runs the current test inside a fresh one (unshare -n, loopback up). Nothing such a
// test sends can leave the namespace.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace veltrane::testing {

enum class Rerun { Passed, Failed, Unavailable };

inline bool inTestNamespace() { return std::getenv("VELTRANE_TEST_NETNS") != nullptr; }

inline Rerun rerunInTestNamespace() {
    if (std::system("unshare -n true >/dev/null 2>&1") != 0)
        return Rerun::Unavailable;
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return Rerun::Unavailable;
    self[length] = '\0';
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = std::string("env -u VELTRANE_BROADCAST_ADDRESS VELTRANE_TEST_NETNS=1 timeout 100 unshare -n '") + self +
                                "' --gtest_filter=" + info->test_suite_name() + "." + info->name();
    return std::system(command.c_str()) == 0 ? Rerun::Passed : Rerun::Failed;
}

#define VELTRANE_RUN_IN_OWN_NETWORK_NAMESPACE()                                                           \
    if (!::veltrane::testing::inTestNamespace()) {                                                        \
        const auto rerun = ::veltrane::testing::rerunInTestNamespace();                                   \
        if (rerun == ::veltrane::testing::Rerun::Unavailable)                                             \
            GTEST_SKIP() << "cannot make a network namespace here (unshare -n needs root)";               \
        EXPECT_EQ(rerun, ::veltrane::testing::Rerun::Passed) << "the test failed inside its namespace";   \
        return;                                                                                           \
    }                                                                                                     \
    ASSERT_EQ(std::system("ip link set lo up"), 0)

class GatewaySimulator {
public:
    GatewaySimulator(const std::string& program, std::vector<std::string> args) {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(out[1]);
        m_out = out[0];
    }
    ~GatewaySimulator() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            close(m_out);
    }
    GatewaySimulator(const GatewaySimulator&) = delete;
    GatewaySimulator& operator=(const GatewaySimulator&) = delete;

    // True once `gateways` "listening" lines were printed, within ten seconds.
    bool waitUntilListening(int gateways) {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(10);
        std::string text;
        for (;;) {
            const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
            if (left <= 0)
                break;
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0)
                break;
            char buffer[4096];
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

}  // namespace veltrane::testing
