#pragma once
// A hostile program of the test's own on the tool's UDP port: it sends one datagram over and over
// from a loopback address of its choice. Use it only inside a private network namespace.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "core/common/bytes.h"

namespace veltrane::testing {

// A program of our own on the tool's scan port: sends `datagram` from `from` to 127.0.0.1:`port`
// every `everyMs` until it goes, for at most 30 s.
class UdpBabbler {
public:
    UdpBabbler(const char* from, Bytes datagram, int everyMs, std::uint16_t port = 10002) {
        m_fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        (void)bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local);
        m_thread = std::thread([this, datagram = std::move(datagram), everyMs, port] {
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(port);
            inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (!m_stop && std::chrono::steady_clock::now() < end) {
                (void)sendto(m_fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
                std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
            }
        });
    }
    ~UdpBabbler() {
        m_stop = true;
        m_thread.join();
        close(m_fd);
    }

private:
    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace veltrane::testing
