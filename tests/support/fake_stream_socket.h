#pragma once
// A scripted TCP connection: the test says whether connecting and writing work and what each
// receive returns; everything written is kept. A receive with nothing scripted times out.

#include <deque>
#include <vector>

#include "core/link/transport/stream_socket.h"

namespace veltrane::testing {

class FakeStreamSocket : public StreamSocket {
public:
    Status connectTo(const std::string& address, std::uint16_t port, int timeoutMs) override {
        connectedTo = address;
        connectedPort = port;
        connectTimeoutMs = timeoutMs;
        if (!connectWorks)
            return makeError(ErrorKind::Timeout, "not connected");
        m_connected = true;
        return {};
    }
    bool isConnected() const override { return m_connected; }
    Status setDoNotRoute(bool on) override {
        doNotRoute = on;
        return {};
    }
    Status write(const Bytes& bytes, int) override {
        if (!m_connected || !writeWorks)
            return makeError(ErrorKind::Io, "write failed");
        written.push_back(bytes);
        return {};
    }
    Result<std::size_t> bytesWaiting() override { return replies.empty() || !replies.front() ? 0 : replies.front()->size(); }
    Result<Bytes> receive(std::size_t maxBytes, int) override {
        ++receives;
        if (!m_connected || replies.empty())
            return makeError(ErrorKind::Timeout, "nothing received");
        Result<Bytes> next = replies.front();
        replies.pop_front();
        if (next && next->size() > maxBytes)
            next->resize(maxBytes);
        return next;
    }
    void close() override {
        if (m_connected)
            ++closes;
        m_connected = false;
    }

    bool connectWorks = true;
    bool writeWorks = true;
    std::deque<Result<Bytes>> replies;
    std::vector<Bytes> written;
    std::string connectedTo;
    std::uint16_t connectedPort = 0;
    int connectTimeoutMs = 0;
    bool doNotRoute = false;
    int receives = 0;
    int closes = 0;

private:
    bool m_connected = false;
};

}  // namespace veltrane::testing
