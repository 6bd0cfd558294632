#pragma once
// The device scan: a broadcast from every local address, paced by one 300 ms timer per address,
// or a direct query of one gateway. It runs to its end in one call (a worker thread's), so the
// window stays responsive; the results go back to the caller, who alone changes the selection.
//
// Anyone on the network can send to the scan's port, so nothing a peer sends decides how long the
// scan runs: a tick listens at most kTickListenLimitMs however many datagrams keep coming, the
// number of ticks is fixed by the number of local addresses, and the list stops growing at
// kMaxGatewayRows. A broadcast scan thus ends within 6 ticks per address of at most
// kScanTickMs + kTickListenLimitMs each; a cancelled scan ends within one receive time-out.

#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/ethernet_endpoints.h"
#include "core/link/ethernet/gateway_selection.h"
#include "core/link/transport/clock.h"
#include "core/link/transport/datagram_socket.h"
#include "core/link/transport/transfer_progress.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrane::ethernet {

inline constexpr std::size_t kMaxLocalAddresses = 10;
inline constexpr int kScanTickMs = 300;
inline constexpr int kBroadcastReceiveTimeoutMs = 350;
inline constexpr int kDirectReceiveTimeoutMs = 1000;
inline constexpr int kTicksPerAddress = 5;
// The longest a tick listens after its request, even while datagrams keep arriving.
inline constexpr int kTickListenLimitMs = 1000;
// Far more gateways than one plant network segment holds; replies beyond it are not listed.
inline constexpr std::size_t kMaxGatewayRows = 256;

// One found gateway: the six texts of its list row, and what its reply said.
struct GatewayRow {
    std::string number;
    std::string model;
    std::string ipAddress;
    std::string macAddress;
    std::string firmware;
    std::string remoteStatus;
    bool remoteConfigAllowed = false;
    std::uint32_t modelCode = 0;
    bool modelCodeKnown = false;  // the direct query does not learn the model
};

struct ScanResult {
    std::vector<GatewayRow> rows;  // in arrival order; a gateway that answers twice is listed twice
    // What the last accepted reply said; unset when no reply was accepted.
    std::optional<bool> remoteConfigAllowed;
    std::optional<std::uint32_t> modelCode;  // broadcast replies only
    bool started = false;  // false when there was no local address to send from
    // Why a socket could not be opened on the scan's port (another program may hold it); empty
    // when every socket opened.
    std::string portProblem;

    // Writes what the scan learned into the selection (on the thread that owns it).
    void applyTo(GatewaySelection& selection) const;
};

// The row the user picked becomes the selected gateway: its address, and its own remote
// configuration flag and model code, so that the checks that follow judge that gateway.
void selectRow(GatewaySelection& selection, const GatewayRow& row);

using DatagramSocketFactory = std::function<std::unique_ptr<DatagramSocket>()>;

struct ScanRequest {
    bool direct = false;
    std::string gatewayAddress;               // direct mode
    std::vector<std::string> localAddresses;  // broadcast mode; at most ten are used
    EthernetEndpoints endpoints;
};

// Runs one scan. Progress goes to progress (0..100, the text "Scanning complete" at the end); a
// cancelled scan ends within one receive time-out with what it has. Only well-formed replies
// count; the direct query takes them only from the queried address.
ScanResult runScan(const ScanRequest& request, const DatagramSocketFactory& makeSocket, Clock& clock,
                   TransferProgress& progress);

// What to tell the user when the scan listed nobody: that the port could not be opened, or that
// no gateway answered.
std::string emptyScanText(const ScanResult& result);

// A list row from an accepted reply. number: the row number text.
GatewayRow rowFromReply(const DiscoveryReply& reply, bool direct, const std::string& number);

}  // namespace veltrane::ethernet
