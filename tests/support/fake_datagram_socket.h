#pragma once
// Datagram sockets joined by an in-memory network on a fake clock: what one sends to an address
// and port, the socket bound there receives; a receive with nothing queued waits out its time-out
// on the fake clock. No broadcast: a datagram to an address nobody bound is lost, as on a wire.

#include <deque>
#include <map>
#include <string>
#include <utility>

#include "core/link/transport/datagram_socket.h"
#include "support/fake_clock.h"

namespace veltrane::testing {

class FakeDatagramNetwork {
public:
    explicit FakeDatagramNetwork(FakeClock& clock) : m_clock(clock) {}
    FakeClock& clock() { return m_clock; }

    using Endpoint = std::pair<std::string, std::uint16_t>;
    std::map<Endpoint, std::deque<Datagram>> queues;
    std::uint16_t nextPort = 40000;
    std::vector<std::pair<Endpoint, Bytes>> sent;  // everything that was sent, for assertions

private:
    FakeClock& m_clock;
};

class FakeDatagramSocket : public DatagramSocket {
public:
    explicit FakeDatagramSocket(FakeDatagramNetwork& network) : m_network(network) {}
    ~FakeDatagramSocket() override { close(); }

    Status bind(const std::string& localAddress, std::uint16_t port) override {
        m_local = {localAddress, port == 0 ? m_network.nextPort++ : port};
        m_network.queues[m_local];
        m_bound = true;
        return {};
    }
    std::uint16_t localPort() const override { return m_local.second; }
    Status setBroadcast(bool allowed) override {
        broadcast = allowed;
        return {};
    }
    Status setReceiveBufferSize(int bytes) override {
        receiveBufferSize = bytes;
        return {};
    }
    Status sendTo(const Bytes& data, const std::string& address, std::uint16_t port) override {
        if (!m_bound)
            (void)bind("127.0.0.1", 0);
        m_network.sent.push_back({{address, port}, data});
        auto it = m_network.queues.find({address, port});
        if (it != m_network.queues.end())
            it->second.push_back(Datagram{data, m_local.first, m_local.second});
        return {};
    }
    bool hasPendingDatagram() override { return m_bound && !m_network.queues[m_local].empty(); }
    Result<Datagram> receive(std::size_t maxBytes, int timeoutMs) override {
        if (!hasPendingDatagram()) {
            m_network.clock().advance(timeoutMs);
            return makeError(ErrorKind::Timeout, "nothing received");
        }
        Datagram d = m_network.queues[m_local].front();
        m_network.queues[m_local].pop_front();
        if (d.data.size() > maxBytes)
            d.data.resize(maxBytes);
        return d;
    }
    void close() override {
        if (m_bound)
            m_network.queues.erase(m_local);
        m_bound = false;
    }

    bool broadcast = false;
    int receiveBufferSize = 0;

private:
    FakeDatagramNetwork& m_network;
    std::pair<std::string, std::uint16_t> m_local;
    bool m_bound = false;
};

}  // namespace veltrane::testing
