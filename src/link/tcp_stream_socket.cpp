#include "link/tcp_stream_socket.h"

#include <sys/socket.h>

#include <QDeadlineTimer>
#include <QHostAddress>

#include "core/strings/strings.h"

namespace veltrane {

namespace {

Error receiveError(const QTcpSocket& socket) {
    return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {socket.errorString().toStdString()}));
}

}  // namespace

Status TcpStreamSocket::connectTo(const std::string& address, std::uint16_t port, int timeoutMs) {
    close();
    QHostAddress to;
    if (!to.setAddress(QString::fromStdString(address)) || to.protocol() != QAbstractSocket::IPv4Protocol)
        return makeError(ErrorKind::Format, format(Str::SocketBadAddress, {address}));
    m_socket.connectToHost(to, port);
    if (!m_socket.waitForConnected(timeoutMs)) {
        const bool timedOut = m_socket.error() == QAbstractSocket::SocketTimeoutError;
        const std::string reason = m_socket.errorString().toStdString();
        m_socket.abort();
        if (timedOut)
            return makeError(ErrorKind::Timeout, format(Str::ConnectTimeout, {address, std::to_string(port)}));
        return makeError(ErrorKind::Io, format(Str::ConnectFailed, {address, std::to_string(port), reason}));
    }
    return applyDoNotRoute();
}

Status TcpStreamSocket::setDoNotRoute(bool on) {
    m_doNotRoute = on;
    return applyDoNotRoute();
}

Status TcpStreamSocket::applyDoNotRoute() {
    if (!isConnected())
        return {};
    // The socket-level option has the effect of the per-send flag on every send.
    const int value = m_doNotRoute ? 1 : 0;
    if (::setsockopt(static_cast<int>(m_socket.socketDescriptor()), SOL_SOCKET, SO_DONTROUTE, &value, sizeof value) != 0)
        return makeError(ErrorKind::Io, format(Str::SocketOptionFailed, {"SO_DONTROUTE"}));
    return {};
}

Status TcpStreamSocket::write(const Bytes& bytes, int timeoutMs) {
    if (!isConnected())
        return makeError(ErrorKind::Io, tr(Str::SocketNotConnected));
    const qint64 queued = m_socket.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (queued != static_cast<qint64>(bytes.size()))
        return makeError(ErrorKind::Io, format(Str::SocketSendFailed, {m_socket.peerAddress().toString().toStdString(),
                                                                        std::to_string(m_socket.peerPort()),
                                                                        m_socket.errorString().toStdString()}));
    QDeadlineTimer deadline(timeoutMs);
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)))) {
            const bool timedOut = m_socket.error() == QAbstractSocket::SocketTimeoutError;
            return makeError(timedOut ? ErrorKind::Timeout : ErrorKind::Io,
                             format(Str::SocketSendFailed, {m_socket.peerAddress().toString().toStdString(),
                                                            std::to_string(m_socket.peerPort()),
                                                            m_socket.errorString().toStdString()}));
        }
    }
    return {};
}

Result<std::size_t> TcpStreamSocket::bytesWaiting() {
    // Without an event loop Qt fetches received bytes only while it waits; 0 ms does not block.
    if (isConnected() && m_socket.bytesAvailable() == 0)
        m_socket.waitForReadyRead(0);
    return static_cast<std::size_t>(m_socket.bytesAvailable());
}

Result<Bytes> TcpStreamSocket::receive(std::size_t maxBytes, int timeoutMs) {
    if (m_socket.bytesAvailable() == 0) {
        if (!isConnected())
            return Bytes{};  // closed by the peer earlier: nothing more will come
        if (!m_socket.waitForReadyRead(timeoutMs)) {
            switch (m_socket.error()) {
            case QAbstractSocket::SocketTimeoutError:
                return makeError(ErrorKind::Timeout, tr(Str::SocketNoData));
            case QAbstractSocket::RemoteHostClosedError:
                if (m_socket.bytesAvailable() == 0)
                    return Bytes{};
                break;
            default:
                return receiveError(m_socket);
            }
        }
    }
    const QByteArray data = m_socket.read(static_cast<qint64>(maxBytes));
    return Bytes(data.begin(), data.end());
}

void TcpStreamSocket::close() {
    // Writes have already been waited for, so nothing queued is lost by closing at once.
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
}

}  // namespace veltrane
