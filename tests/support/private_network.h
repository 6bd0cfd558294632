#pragma once
// A program that includes this header runs in a network namespace of its own whose only interface
// is loopback, so nothing it sends (broadcasts included) can leave the machine. A test that opens a
// socket, or starts a program that does, begins with VELTRANE_REQUIRE_PRIVATE_NETWORK(), which
// skips it with the reason when the namespace could not be made (unshare needs root).
//
// Why at start-up: unshare(CLONE_NEWNET) moves only the calling thread; a thread that already runs
// stays outside. The namespace is therefore entered while the program is still single-threaded,
// before main; every thread started afterwards (Qt's, a transfer's worker) and every child (the
// simulator, the CLI) inherits it. That holds for the window tests too, with no need to run the
// test binary again under `unshare -n`. ctest runs each test as a process of its own, so each gets
// a fresh namespace; one run of a whole test binary shares one.

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>

namespace veltrane::testing {

// Empty once the program is in its namespace, else why it is not. Made on the first call.
inline const std::string& enterPrivateNetwork() {
    static const std::string problem = []() -> std::string {
        std::error_code error;
        const auto threads = std::distance(std::filesystem::directory_iterator("/proc/self/task", error),
                                           std::filesystem::directory_iterator());
        if (error || threads != 1)
            return "the program already runs threads, which would stay outside a network namespace";
        if (::unshare(CLONE_NEWNET) != 0)
            return std::string("no private network namespace (unshare -n): ") + std::strerror(errno);
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        if (fd < 0)
            return std::string("no socket: ") + std::strerror(errno);
        ifreq request{};
        std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
        bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        const int upError = errno;
        ::close(fd);
        if (!up)
            return std::string("loopback could not be brought up: ") + std::strerror(upError);
        // Outside, every test broadcasts to 127.0.0.1 only; in here a real broadcast stays on lo.
        ::unsetenv("VELTRANE_BROADCAST_ADDRESS");
        return {};
    }();
    return problem;
}

// Made during static initialization, before main can start a thread.
inline const std::string& kPrivateNetworkAtStart = enterPrivateNetwork();

} // namespace veltrane::testing

#define VELTRANE_REQUIRE_PRIVATE_NETWORK()                                                                   \
    if (const std::string& veltraneNetworkProblem = ::veltrane::testing::enterPrivateNetwork();              \
        !veltraneNetworkProblem.empty())                                                                     \
    GTEST_SKIP() << veltraneNetworkProblem
