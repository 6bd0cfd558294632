#include "app/debug/debug_connection_choice.h"

#include "app/common/qt_text.h"

#include <QInputDialog>

namespace veltrane {

std::optional<DebugConnection> askDebugConnection(const ProjectState& state, QWidget* parent, QString& lastAddress,
                                                  QString& lastDevice) {
    DebugConnection connection;
    connection.transport = debugTransportFor(state);
    bool ok = true;
    if (connection.transport == DebugTransport::Ethernet) {
        for (;;) {
            const QString text = QInputDialog::getText(parent, qtr(Str::DebugDialogTitle), qtr(Str::DebugAskGatewayAddress),
                                                       QLineEdit::Normal, lastAddress, &ok);
            if (!ok)
                return std::nullopt;
            const QHostAddress address(text.trimmed());
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                lastAddress = text.trimmed();
                connection.gateway = address;
                break;
            }
        }
    } else if (connection.transport == DebugTransport::Serial) {
        const QString device = QInputDialog::getText(parent, qtr(Str::DebugDialogTitle), qtr(Str::DebugAskSerialDevice),
                                                     QLineEdit::Normal, lastDevice, &ok);
        if (!ok || device.trimmed().isEmpty())
            return std::nullopt;
        lastDevice = device.trimmed();
        connection.device = lastDevice;
    }
    return connection;
}

}  // namespace veltrane
