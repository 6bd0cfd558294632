#include "link/ethernet/local_addresses.h"

#include "core/link/ethernet/scan_session.h"

#include <QNetworkInterface>

namespace veltrane {

std::vector<std::string> localIpv4Addresses() {
    std::vector<std::string> addresses;
    // Every interface that is up, loopback included: a gateway simulated on this host answers there.
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!interface.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            addresses.push_back(entry.ip().toString().toStdString());
            if (addresses.size() == ethernet::kMaxLocalAddresses)
                return addresses;
        }
    }
    return addresses;
}

}  // namespace veltrane
