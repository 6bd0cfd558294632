#pragma once
// A UDP socket behind DatagramSocket, for the device scan and the debug monitor.
//
// Threading: create, use and destroy it on one thread, the transfer's worker thread; it works in
// Qt's blocking style (waitForReadyRead) without an event loop. Never use it on the UI thread.

#include <QUdpSocket>

#include "core/link/transport/datagram_socket.h"

#include <vector>

namespace veltrane {

class UdpDatagramSocket : public DatagramSocket {
public:
    UdpDatagramSocket() = default;
    ~UdpDatagramSocket() override { close(); }

    Status bind(const std::string& localAddress, std::uint16_t port) override;
    std::uint16_t localPort() const override { return m_socket.localPort(); }
    Status setBroadcast(bool allowed) override;
    Status setReceiveBufferSize(int bytes) override;
    Status sendTo(const Bytes& data, const std::string& address, std::uint16_t port) override;
    bool hasPendingDatagram() override { return m_socket.hasPendingDatagrams(); }
    Result<Datagram> receive(std::size_t maxBytes, int timeoutMs) override;
    void close() override;

    // Datagrams already waiting, up to `max` of them, each cut to maxBytes, read with one system
    // call instead of two per datagram; none when nothing waits. For a peer that sends thousands a
    // second, so the reading keeps up on a busy machine.
    Result<std::vector<Datagram>> receiveWaiting(std::size_t max, std::size_t maxBytes);
    // Sends each message in order, with one system call.
    Status sendAllTo(const std::vector<Bytes>& messages, const std::string& address, std::uint16_t port);

private:
    Status applyOptions();

    QUdpSocket m_socket;
    bool m_broadcast = false;
    int m_receiveBufferSize = 0;
};

}  // namespace veltrane
