#include "app/shell/network_check.h"

#include <QTcpSocket>
#include <QTimer>

namespace veltrane {

NetworkCheck::NetworkCheck(NetworkCheckTarget target, QObject* parent)
    : QObject(parent), m_target(std::move(target)), m_interval(new QTimer(this)),
      m_timeout(new QTimer(this)) {
    m_interval->setInterval(m_target.intervalMs);
    connect(m_interval, &QTimer::timeout, this, &NetworkCheck::checkNow);
    m_timeout->setSingleShot(true);
    m_timeout->setInterval(m_target.timeoutMs);
    connect(m_timeout, &QTimer::timeout, this, [this] { finish(false); });
}

NetworkCheck::~NetworkCheck() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void NetworkCheck::start() {
    if (!enabled())
        return;
    m_interval->start();
    checkNow();
}

void NetworkCheck::checkNow() {
    if (!enabled() || m_socket)
        return;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, [this] { finish(true); });
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { finish(false); });
    m_timeout->start();
    m_socket->connectToHost(m_target.host, m_target.port);
}

void NetworkCheck::finish(bool reachable) {
    if (!m_socket)
        return;
    m_timeout->stop();
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_lastResult = reachable;
    m_lastChecked = QDateTime::currentDateTime();
    emit checked(reachable);
}

} // namespace veltrane
