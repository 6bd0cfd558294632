#pragma once
// The periodic reachability check behind the "News" tab and the Content command: a TCP connection
// attempt to a configured host and port, made asynchronously so the window never waits on it.

#include <QDateTime>
#include <QObject>
#include <QString>

#include <optional>

class QTcpSocket;
class QTimer;

namespace veltrane {

struct NetworkCheckTarget {
    QString host; // empty: the check is off
    quint16 port = 80;
    int intervalMs = 60'000;
    int timeoutMs = 5'000;
};

class NetworkCheck : public QObject {
    Q_OBJECT
public:
    explicit NetworkCheck(NetworkCheckTarget target, QObject* parent = nullptr);
    ~NetworkCheck() override;

    const NetworkCheckTarget& target() const { return m_target; }
    bool enabled() const { return !m_target.host.isEmpty(); }
    // The result of the last finished attempt; empty before the first one.
    std::optional<bool> lastResult() const { return m_lastResult; }
    QDateTime lastChecked() const { return m_lastChecked; }

    // Checks now and then every interval; does nothing when the check is off.
    void start();
    // One attempt now (ignored while one is running).
    void checkNow();

signals:
    void checked(bool reachable);

private:
    void finish(bool reachable);

    NetworkCheckTarget m_target;
    QTimer* m_interval = nullptr;
    QTimer* m_timeout = nullptr;
    QTcpSocket* m_socket = nullptr;
    std::optional<bool> m_lastResult;
    QDateTime m_lastChecked;
};

} // namespace veltrane
