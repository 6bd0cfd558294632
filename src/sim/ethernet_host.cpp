#include "sim/ethernet_host.h"

#include "sim/debug_host.h"
#include "sim/engine/tcp_session.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include <cstdio>
#include <deque>
#include <span>

namespace veltrane::sim {

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// One TCP connection: its session and the reply parts still waiting for their delay.
struct Connection {
    Connection(QTcpSocket* s, Gateway& gateway) : socket(s), session(gateway) {}

    QTcpSocket* socket;
    TcpSession session;
    std::deque<ReplyPart> queue;
    bool closeWhenSent = false;
    bool waiting = false;
};

void pump(const std::shared_ptr<Connection>& connection) {
    while (!connection->queue.empty() && !connection->waiting) {
        ReplyPart& part = connection->queue.front();
        if (part.delay.count() > 0) {
            connection->waiting = true;
            QTimer::singleShot(part.delay, connection->socket, [connection] {
                connection->waiting = false;
                connection->queue.front().delay = {};
                pump(connection);
            });
            return;
        }
        connection->socket->write(toByteArray(part.bytes));
        connection->queue.pop_front();
    }
    if (connection->queue.empty() && connection->closeWhenSent)
        connection->socket->disconnectFromHost();
}

}  // namespace

struct EthernetHost::Endpoint {
    explicit Endpoint(GatewayIdentity identity, FaultPlan faults) : gateway(std::move(identity), faults) {}

    Gateway gateway;
    QUdpSocket unicast;
    QUdpSocket broadcast;
    QTcpServer server;
    std::unique_ptr<DebugHost> debug;
};

EthernetHost::EthernetHost(const SimOptions& options) : m_options(options) {}

EthernetHost::~EthernetHost() = default;

void EthernetHost::saveImage(const Gateway& gateway) {
    if (m_options.statePath.empty())
        return;
    m_images[gateway.identity().ipAddress] = gateway.image();
    if (Status saved = saveGatewayImages(m_options.statePath, m_images); !saved)
        std::fprintf(stderr, "veltrane-gwsim: %s\n", saved.message().c_str());
}

Status EthernetHost::start() {
    if (!m_options.statePath.empty()) {
        auto loaded = loadGatewayImages(m_options.statePath);
        if (!loaded)
            return loaded.error();
        m_images = std::move(*loaded);
    }

    for (const GatewaySetup& setup : m_options.gateways) {
        auto endpoint = std::make_unique<Endpoint>(setup.identity, setup.faults.value_or(m_options.faults));
        Endpoint* e = endpoint.get();
        if (const auto stored = m_images.find(setup.identity.ipAddress); stored != m_images.end())
            e->gateway.setImage(stored->second);

        const QHostAddress address(QString::fromStdString(setup.identity.ipAddress));
        const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
        if (!e->unicast.bind(address, m_options.udpPort, mode))
            return makeError(ErrorKind::Io, "udp " + setup.identity.ipAddress + ": " + e->unicast.errorString().toStdString());
        if (!m_options.broadcastAddress.empty() &&
            !e->broadcast.bind(QHostAddress(QString::fromStdString(m_options.broadcastAddress)), m_options.udpPort, mode))
            return makeError(ErrorKind::Io, "udp " + m_options.broadcastAddress + ": " + e->broadcast.errorString().toStdString());
        if (!e->server.listen(address, m_options.tcpPort))
            return makeError(ErrorKind::Io, "tcp " + setup.identity.ipAddress + ": " + e->server.errorString().toStdString());
        e->debug = std::make_unique<DebugHost>(e->gateway, m_options.debug, static_cast<std::uint32_t>(m_endpoints.size() + 1));
        if (Status debug = e->debug->start(address); !debug)
            return debug;

        // Replies always leave from the gateway's own address, also to a broadcast request.
        auto answer = [e](QUdpSocket& from) {
            while (from.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = from.receiveDatagram();
                if (const auto reply = e->gateway.handleDiscovery(bytesOf(datagram.data())))
                    e->unicast.writeDatagram(toByteArray(*reply), datagram.senderAddress(),
                                             static_cast<quint16>(datagram.senderPort()));
            }
        };
        QObject::connect(&e->unicast, &QUdpSocket::readyRead, &e->unicast, [e, answer] { answer(e->unicast); });
        QObject::connect(&e->broadcast, &QUdpSocket::readyRead, &e->broadcast, [e, answer] { answer(e->broadcast); });

        QObject::connect(&e->server, &QTcpServer::newConnection, &e->server, [this, e] {
            while (QTcpSocket* socket = e->server.nextPendingConnection()) {
                auto connection = std::make_shared<Connection>(socket, e->gateway);
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, e, connection] {
                    const QByteArray data = connection->socket->readAll();
                    for (TcpResponse& response : connection->session.feed(bytesOf(data))) {
                        if (m_options.logRequests) {
                            std::printf("request %s %u\n", e->gateway.identity().ipAddress.c_str(),
                                        static_cast<unsigned>(response.request));
                            std::fflush(stdout);
                        }
                        if (response.stored)
                            saveImage(e->gateway);
                        if (response.restarted) {
                            std::printf("restart %s\n", e->gateway.identity().ipAddress.c_str());
                            std::fflush(stdout);
                        }
                        for (ReplyPart& part : response.parts)
                            connection->queue.push_back(std::move(part));
                        connection->closeWhenSent = connection->closeWhenSent || response.close;
                    }
                    pump(connection);
                });
            }
        });
        m_endpoints.push_back(std::move(endpoint));
    }

    for (const auto& e : m_endpoints) {
        std::printf("listening %s udp %u tcp %u\n", e->gateway.identity().ipAddress.c_str(),
                    unsigned{m_options.udpPort}, unsigned{m_options.tcpPort});
    }
    std::fflush(stdout);
    return {};
}

}  // namespace veltrane::sim
