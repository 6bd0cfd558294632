#pragma once
// A TCP connection behind StreamSocket, for the configuration download and upload.
//
// Threading: create, use and destroy it on one thread, the transfer's worker thread; it works in
// Qt's blocking style (waitForConnected, waitForReadyRead) without an event loop. Never use it on
// the UI thread.

#include <QTcpSocket>

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

private:
    Status applyDoNotRoute();

    QTcpSocket m_socket;
    bool m_doNotRoute = false;
};

}  // namespace veltrane
