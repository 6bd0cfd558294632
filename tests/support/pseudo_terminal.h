#pragma once
// A pseudo-terminal pair for serial tests: the code under test opens slavePath() like any serial
// device, the test plays the gateway on the raw master end.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "core/common/bytes.h"

namespace veltrane::testing {

class PseudoTerminal {
public:
    PseudoTerminal() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            m_problem = std::string("no pseudo-terminal: ") + std::strerror(errno);
            return;
        }
        termios raw{};
        ::tcgetattr(m_master, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_master, TCSANOW, &raw);
        const char* name = ::ptsname(m_master);
        if (name == nullptr) {
            m_problem = "ptsname failed";
            return;
        }
        m_slavePath = name;
    }
    ~PseudoTerminal() {
        if (m_master >= 0)
            ::close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Empty when the pair is usable.
    const std::string& problem() const { return m_problem; }
    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    bool send(const Bytes& bytes) {
        return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Up to count bytes from the slave's side, waiting at most timeoutMs in all.
    Bytes receive(std::size_t count, int timeoutMs) {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0 || !(p.revents & POLLIN))
                break;
            std::uint8_t buffer[512];
            const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - out.size()));
            if (n <= 0)
                break;
            out.insert(out.end(), buffer, buffer + n);
        }
        return out;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
    std::string m_problem;
};

}  // namespace veltrane::testing
