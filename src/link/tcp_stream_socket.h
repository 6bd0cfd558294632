#pragma once
// A TCP connection behind StreamSocket, for the configuration download and upload.
//
// Threading: create, use and destroy it on one thread, the transfer's worker thread; it works in
// Qt's blocking style (waitForConnected, waitForReadyRead) without an event loop. Never use it on
// the UI thread.

#include <QTcpSocket>

#include <functional>

#include "core/link/transport/stream_socket.h"

namespace veltrane {

class TcpStreamSocket : public StreamSocket {
public:
    TcpStreamSocket() = default;
    ~TcpStreamSocket() override { close(); }

    Status connectTo(const std::string& address, std::uint16_t port, int timeoutMs) override;
    bool isConnected() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    Status setDoNotRoute(bool on) override;
    Status write(const Bytes& bytes, int timeoutMs) override;
    Result<std::size_t> bytesWaiting() override;
    Result<Bytes> receive(std::size_t maxBytes, int timeoutMs) override;
    void close() override;

    // Asked every few milliseconds while a call waits; when it says yes the call ends with a
    // Cancelled error, so a user's Cancel does not wait out the time-outs.
    void setCancelCheck(std::function<bool()> cancelled) { m_cancelled = std::move(cancelled); }

private:
    Status applyDoNotRoute();
    Status connectCancellable(std::uint32_t ipv4, const std::string& address, std::uint16_t port, int timeoutMs);
    // Runs `wait` (a Qt blocking wait taking milliseconds) in slices until it succeeds, the
    // deadline passes or the user cancels; false with the socket's error or `cancelledNow` set.
    bool waitInSlices(const std::function<bool(int)>& wait, int timeoutMs, bool& cancelledNow);
    Error cancelledError() const;

    QTcpSocket m_socket;
    bool m_doNotRoute = false;
    std::function<bool()> m_cancelled;
};

}  // namespace veltrane
