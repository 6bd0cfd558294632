#include "cli/ethernet/gateway_login.h"
#include "cli/qt_application.h"

#include "core/strings/strings.h"
#include "link/ethernet/ethernet_environment.h"
#include "link/ethernet/local_addresses.h"
#include "link/steady_clock.h"
#include "link/udp_datagram_socket.h"

#include <QCoreApplication>

#include <memory>

namespace veltrane::cli {

ethernet::ScanResult scanGateways(const std::optional<std::string>& direct, const std::vector<std::string>& locals) {
    ensureQtCore();
    ethernet::ScanRequest request;
    request.endpoints = endpointsFromEnvironment();
    request.direct = direct.has_value();
    if (direct)
        request.gatewayAddress = *direct;
    else
        request.localAddresses = locals.empty() ? localIpv4Addresses() : locals;
    SteadyClock clock;
    NullTransferProgress progress;
    return ethernet::runScan(request, [] { return std::make_unique<UdpDatagramSocket>(); }, clock, progress);
}

bool logIn(const std::string& address, bool broadcast, const std::vector<std::string>& locals,
           ethernet::GatewaySelection& selection, std::ostream& out) {
    selection.DirectAddressMode = !broadcast;
    selection.GatewayAddress = address;
    const ethernet::ScanResult result = scanGateways(broadcast ? std::nullopt : std::optional(address), locals);
    result.applyTo(selection);
    for (const ethernet::GatewayRow& row : result.rows) {
        if (row.ipAddress == address || !broadcast) {
            ethernet::selectRow(selection, row);
            // The direct query lists the address inside the reply; the connection goes where asked.
            selection.GatewayAddress = address;
            return true;
        }
    }
    out << (result.rows.empty() ? ethernet::emptyScanText(result) : format(Str::EthNotInScan, {address})) << '\n';
    return false;
}

}  // namespace veltrane::cli
