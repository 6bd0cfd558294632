#include "link/udp_datagram_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QVariant>

#include "core/strings/strings.h"

namespace veltrane {

namespace {

bool parseIpv4(const std::string& text, QHostAddress& address) {
    return address.setAddress(QString::fromStdString(text)) && address.protocol() == QAbstractSocket::IPv4Protocol;
}

}  // namespace

Status UdpDatagramSocket::bind(const std::string& localAddress, std::uint16_t port) {
    QHostAddress address;
    if (!parseIpv4(localAddress, address))
        return makeError(ErrorKind::Format, format(Str::SocketBadAddress, {localAddress}));
    // Several listeners (simulated gateways, a second scan socket) may share one port.
    if (!m_socket.bind(address, port, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        return makeError(ErrorKind::Io, format(Str::SocketBindFailed, {localAddress, std::to_string(port),
                                                                         m_socket.errorString().toStdString()}));
    }
    return applyOptions();
}

Status UdpDatagramSocket::applyOptions() {
    if (m_socket.state() != QAbstractSocket::BoundState)
        return {};
    // Qt opens every UDP socket with broadcasting allowed; a socket that did not ask for it must
    // not be able to broadcast by mistake.
    const int broadcast = m_broadcast ? 1 : 0;
    if (::setsockopt(static_cast<int>(m_socket.socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &broadcast,
                     sizeof broadcast) != 0)
        return makeError(ErrorKind::Io, format(Str::SocketOptionFailed, {"SO_BROADCAST"}));
    if (m_receiveBufferSize > 0) {
        m_socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, m_receiveBufferSize);
        // The system caps the request at its maximum; a process allowed to (CAP_NET_ADMIN) goes
        // past the cap.
        const auto granted = [this] { return m_socket.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt(); };
        if (granted() < m_receiveBufferSize)
            (void)::setsockopt(static_cast<int>(m_socket.socketDescriptor()), SOL_SOCKET, SO_RCVBUFFORCE,
                               &m_receiveBufferSize, sizeof m_receiveBufferSize);
        // The system may grant more (Linux doubles the request) but never silently less.
        if (granted() < m_receiveBufferSize)
            return makeError(ErrorKind::Io, format(Str::SocketOptionFailed, {"SO_RCVBUF"}));
    }
    return {};
}

Status UdpDatagramSocket::setBroadcast(bool allowed) {
    m_broadcast = allowed;
    return applyOptions();
}

Status UdpDatagramSocket::setReceiveBufferSize(int bytes) {
    m_receiveBufferSize = bytes;
    return applyOptions();
}

Status UdpDatagramSocket::sendTo(const Bytes& data, const std::string& address, std::uint16_t port) {
    QHostAddress to;
    if (!parseIpv4(address, to))
        return makeError(ErrorKind::Format, format(Str::SocketBadAddress, {address}));
    // An unbound socket would be bound by Qt with its own options; bind it here so ours apply.
    if (m_socket.state() != QAbstractSocket::BoundState) {
        if (auto bound = bind("0.0.0.0", 0); !bound)
            return bound;
    }
    const qint64 sent = m_socket.writeDatagram(reinterpret_cast<const char*>(data.data()),
                                               static_cast<qint64>(data.size()), to, port);
    if (sent != static_cast<qint64>(data.size())) {
        return makeError(ErrorKind::Io, format(Str::SocketSendFailed, {address, std::to_string(port),
                                                                        m_socket.errorString().toStdString()}));
    }
    return {};
}

Result<Datagram> UdpDatagramSocket::receive(std::size_t maxBytes, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!m_socket.hasPendingDatagrams()) {
        if (m_socket.state() != QAbstractSocket::BoundState)
            return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {m_socket.errorString().toStdString()}));
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return makeError(ErrorKind::Timeout, tr(Str::SocketNoData));
        if (!m_socket.waitForReadyRead(static_cast<int>(left)) && m_socket.error() != QAbstractSocket::SocketTimeoutError)
            return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {m_socket.errorString().toStdString()}));
    }
    Datagram datagram;
    datagram.data.resize(maxBytes);
    QHostAddress sender;
    quint16 senderPort = 0;
    // A datagram longer than maxBytes is cut; the rest of it is dropped by the system.
    const qint64 got = m_socket.readDatagram(reinterpret_cast<char*>(datagram.data.data()),
                                             static_cast<qint64>(maxBytes), &sender, &senderPort);
    if (got < 0)
        return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {m_socket.errorString().toStdString()}));
    datagram.data.resize(static_cast<std::size_t>(got));
    datagram.senderAddress = QHostAddress(sender.toIPv4Address()).toString().toStdString();
    datagram.senderPort = senderPort;
    return datagram;
}

Result<std::vector<Datagram>> UdpDatagramSocket::receiveWaiting(std::size_t max, std::size_t maxBytes) {
    std::vector<Datagram> datagrams;
    if (m_socket.state() != QAbstractSocket::BoundState || max == 0)
        return datagrams;
    std::vector<Bytes> buffers(max, Bytes(maxBytes));
    std::vector<sockaddr_in> senders(max);
    std::vector<iovec> pieces(max);
    std::vector<mmsghdr> headers(max);
    for (std::size_t i = 0; i < max; ++i) {
        pieces[i] = {buffers[i].data(), maxBytes};
        headers[i] = {};
        headers[i].msg_hdr.msg_iov = &pieces[i];
        headers[i].msg_hdr.msg_iovlen = 1;
        headers[i].msg_hdr.msg_name = &senders[i];
        headers[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
    }
    const int got = ::recvmmsg(static_cast<int>(m_socket.socketDescriptor()), headers.data(),
                               static_cast<unsigned>(max), MSG_DONTWAIT, nullptr);
    if (got < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return datagrams;
        return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {std::strerror(errno)}));
    }
    datagrams.resize(static_cast<std::size_t>(got));
    for (std::size_t i = 0; i < datagrams.size(); ++i) {
        // A datagram longer than maxBytes is cut, as receive() cuts it.
        buffers[i].resize(std::min<std::size_t>(headers[i].msg_len, maxBytes));
        datagrams[i].data = std::move(buffers[i]);
        char address[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &senders[i].sin_addr, address, sizeof address);
        datagrams[i].senderAddress = address;
        datagrams[i].senderPort = ntohs(senders[i].sin_port);
    }
    return datagrams;
}

Status UdpDatagramSocket::sendAllTo(const std::vector<Bytes>& messages, const std::string& address,
                                    std::uint16_t port) {
    if (messages.empty())
        return {};
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
        return makeError(ErrorKind::Format, format(Str::SocketBadAddress, {address}));
    if (m_socket.state() != QAbstractSocket::BoundState)
        return makeError(ErrorKind::Io, format(Str::SocketSendFailed, {address, std::to_string(port), "not bound"}));
    std::vector<iovec> pieces(messages.size());
    std::vector<mmsghdr> headers(messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        pieces[i] = {const_cast<std::uint8_t*>(messages[i].data()), messages[i].size()};
        headers[i] = {};
        headers[i].msg_hdr.msg_iov = &pieces[i];
        headers[i].msg_hdr.msg_iovlen = 1;
        headers[i].msg_hdr.msg_name = &to;
        headers[i].msg_hdr.msg_namelen = sizeof to;
    }
    for (std::size_t sent = 0; sent < messages.size();) {
        const int n = ::sendmmsg(static_cast<int>(m_socket.socketDescriptor()), headers.data() + sent,
                                 static_cast<unsigned>(messages.size() - sent), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The send buffer is full for a moment: wait for room, then send the rest.
            pollfd room{static_cast<int>(m_socket.socketDescriptor()), POLLOUT, 0};
            if (::poll(&room, 1, 100) > 0)
                continue;
        }
        if (n <= 0)
            return makeError(ErrorKind::Io, format(Str::SocketSendFailed, {address, std::to_string(port),
                                                                            std::strerror(errno)}));
        sent += static_cast<std::size_t>(n);
    }
    return {};
}

void UdpDatagramSocket::close() { m_socket.close(); }

}  // namespace veltrane
