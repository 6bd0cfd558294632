#include "link/tcp_stream_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <algorithm>

#include <QDeadlineTimer>
#include <QHostAddress>

#include "core/strings/strings.h"

namespace veltrane {

namespace {

constexpr int kCancelSliceMs = 50;

Error receiveError(const QTcpSocket& socket) {
    return makeError(ErrorKind::Io, format(Str::SocketReceiveFailed, {socket.errorString().toStdString()}));
}

}  // namespace

bool TcpStreamSocket::waitInSlices(const std::function<bool(int)>& wait, int timeoutMs, bool& cancelledNow) {
    cancelledNow = false;
    if (!m_cancelled)
        return wait(timeoutMs);
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (m_cancelled()) {
            cancelledNow = true;
            return false;
        }
        const int slice = static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, kCancelSliceMs));
        if (wait(slice))
            return true;
        // A slice that ran out is no failure of its own; anything else is.
        if (m_socket.error() != QAbstractSocket::SocketTimeoutError || deadline.hasExpired())
            return false;
    }
}

Error TcpStreamSocket::cancelledError() const { return makeError(ErrorKind::Cancelled, tr(Str::TransferCancelled)); }

Status TcpStreamSocket::connectTo(const std::string& address, std::uint16_t port, int timeoutMs) {
    close();
    QHostAddress to;
    if (!to.setAddress(QString::fromStdString(address)) || to.protocol() != QAbstractSocket::IPv4Protocol)
        return makeError(ErrorKind::Format, format(Str::SocketBadAddress, {address}));
    if (m_cancelled)
        return connectCancellable(to.toIPv4Address(), address, port, timeoutMs);
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

// Qt's wait for a connection gives up the attempt when it times out, so it cannot be waited for in
// slices: the connection is made here and handed to Qt once it is up.
Status TcpStreamSocket::connectCancellable(std::uint32_t ipv4, const std::string& address, std::uint16_t port,
                                           int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return makeError(ErrorKind::Io, format(Str::ConnectFailed, {address, std::to_string(port), std::strerror(errno)}));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(ipv4);
    int error = ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 ? 0 : errno;
    QDeadlineTimer deadline(timeoutMs);
    while (error == EINPROGRESS || error == EINTR) {
        if (m_cancelled()) {
            ::close(fd);
            return cancelledError();
        }
        if (deadline.hasExpired()) {
            ::close(fd);
            return makeError(ErrorKind::Timeout, format(Str::ConnectTimeout, {address, std::to_string(port)}));
        }
        pollfd writable{fd, POLLOUT, 0};
        const int ready = ::poll(&writable, 1, static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, kCancelSliceMs)));
        if (ready < 0 && errno != EINTR) {
            error = errno;
        } else if (ready > 0) {
            socklen_t length = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    if (error != 0 || !m_socket.setSocketDescriptor(fd, QAbstractSocket::ConnectedState)) {
        const std::string reason = error != 0 ? std::strerror(error) : m_socket.errorString().toStdString();
        ::close(fd);
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
        bool cancelledNow = false;
        if (!waitInSlices([this](int ms) { return m_socket.waitForBytesWritten(ms); },
                          static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)), cancelledNow)) {
            if (cancelledNow)
                return cancelledError();
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
        bool cancelledNow = false;
        if (!waitInSlices([this](int ms) { return m_socket.waitForReadyRead(ms); }, timeoutMs, cancelledNow)) {
            if (cancelledNow)
                return cancelledError();
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
