#include "link/serial_port_enumeration.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <map>

namespace veltrane {

std::vector<serial::SerialPortEntry> availableSerialPorts() {
    // Device -> stable name.
    std::map<QString, QString> stable;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        stable.emplace(link.canonicalFilePath(), link.absoluteFilePath());

    std::vector<serial::SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        const auto name = stable.find(device);
        if (name != stable.end())
            ports.push_back({name->second.toStdString(), (name->second + QStringLiteral("  (") + device +
                                                          QStringLiteral(")")).toStdString()});
        else
            ports.push_back({device.toStdString(), device.toStdString()});
    }
    return ports;
}

}  // namespace veltrane
