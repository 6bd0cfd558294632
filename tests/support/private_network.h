#pragma once
// Network tests run in a network namespace of their own, whose only interface is loopback: no
// datagram a test sends can leave the machine. Call enterPrivateNetwork() before any socket or
// thread exists (it moves the calling thread only); GTEST_SKIP with the reason it returns.

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace veltrane::testing {

// Empty on success, else why the namespace could not be made.
inline std::string enterPrivateNetwork() {
    static const std::string outcome = [] () -> std::string {
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
        const int error = errno;
        ::close(fd);
        if (!up)
            return std::string("loopback could not be brought up: ") + std::strerror(error);
        // Outside, every test broadcasts to 127.0.0.1 only; in here a real broadcast stays on lo.
        ::unsetenv("VELTRANE_BROADCAST_ADDRESS");
        return {};
    }();
    return outcome;
}

}  // namespace veltrane::testing
