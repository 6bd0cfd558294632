#include "core/link/ethernet/scan_session.h"

#include "core/strings/strings.h"

#include <algorithm>
#include <cstdio>

namespace veltrane::ethernet {

namespace {

Bytes requestBytes() {
    const auto request = DiscoveryRequest{}.encode();
    return Bytes(request.begin(), request.end());
}

bool startsWithDiscoveryCode(const Bytes& data) {
    const auto code = commandCodeOf(data);
    return code && *code == command::Discovery;
}

void accept(ScanResult& result, const DiscoveryReply& reply, bool direct, const std::string& number) {
    result.rows.push_back(rowFromReply(reply, direct, number));
    result.remoteConfigAllowed = reply.remoteConfigAllowed();
    if (!direct)
        result.modelCode = reply.modelCode;
}

void complete(TransferProgress& progress) {
    progress.setProgress(100, 100);
    progress.setText(tr(Str::EthScanningComplete));
}

bool fromAddress(const Datagram& datagram, const std::string& address) {
    const auto sender = parseIpv4(datagram.senderAddress);
    return sender && sender == parseIpv4(address);
}

void notePortProblem(ScanResult& result, const Status& opened) {
    if (!opened && result.portProblem.empty())
        result.portProblem = opened.message();
}

// Receives until untilMs; every datagram goes to take, which returns false to stop listening.
// Silence for one receive time-out, a receive error or a cancel also stop it.
template <class Take>
void listen(DatagramSocket& socket, int receiveTimeoutMs, std::int64_t untilMs, Clock& clock,
            const TransferProgress& progress, Take take) {
    while (!progress.isCancelled()) {
        const std::int64_t left = untilMs - clock.nowMs();
        if (left <= 0)
            return;
        auto received = socket.receive(kDiscoveryReplySize, static_cast<int>(std::min<std::int64_t>(receiveTimeoutMs, left)));
        if (!received || !take(*received))
            return;
    }
}

ScanResult runDirect(const ScanRequest& request, const DatagramSocketFactory& makeSocket, Clock& clock,
                     TransferProgress& progress) {
    ScanResult result;
    result.started = true;
    progress.setProgress(20, 100);
    std::unique_ptr<DatagramSocket> socket = makeSocket();
    Status opened = socket ? socket->bind("0.0.0.0", request.endpoints.localUdpPort) : Status{};
    notePortProblem(result, opened);
    if (socket && opened && socket->sendTo(requestBytes(), request.gatewayAddress, request.endpoints.gatewayUdpPort)) {
        // Only the queried gateway answers for itself: a datagram from anyone else, or one that is no
        // reply, is passed over and the wait goes on.
        listen(*socket, kDirectReceiveTimeoutMs, clock.nowMs() + kDirectReceiveTimeoutMs, clock, progress,
               [&](const Datagram& received) {
                   // The direct query reads into a zeroed 68-byte buffer and looks only at the code.
                   if (!fromAddress(received, request.gatewayAddress) || !startsWithDiscoveryCode(received.data))
                       return true;
                   Bytes padded = received.data;
                   padded.resize(kDiscoveryReplySize, 0);
                   auto reply = DiscoveryReply::decode(padded);
                   if (!reply)
                       return true;
                   accept(result, *reply, true, "1");
                   return false;
               });
        progress.setProgress(40, 100);
    }
    if (socket)
        socket->close();
    complete(progress);
    return result;
}

}  // namespace

void ScanResult::applyTo(GatewaySelection& selection) const {
    if (remoteConfigAllowed)
        selection.RemoteConfigAllowed = *remoteConfigAllowed;
    if (modelCode)
        selection.GatewayModelCode = *modelCode;
}

void selectRow(GatewaySelection& selection, const GatewayRow& row) {
    selection.GatewayAddress = row.ipAddress;
    selection.RemoteConfigAllowed = row.remoteConfigAllowed;
    if (row.modelCodeKnown)
        selection.GatewayModelCode = row.modelCode;
}

std::string emptyScanText(const ScanResult& result) {
    return result.portProblem.empty() ? tr(Str::EthNoGatewayAnswered) : result.portProblem;
}

GatewayRow rowFromReply(const DiscoveryReply& reply, bool direct, const std::string& number) {
    GatewayRow row;
    row.number = number;
    row.firmware = reply.firmwareText();
    row.model = !direct && reply.modelCode != model::SingleSubnet ? tr(Str::EthModelTwoSubnets)
                                                                   : tr(Str::EthModelSingleSubnet);
    row.macAddress = reply.macText();
    row.ipAddress = reply.ipText();
    row.remoteConfigAllowed = reply.remoteConfigAllowed();
    row.remoteStatus = tr(row.remoteConfigAllowed ? Str::EthRemoteAllowed : Str::EthRemoteProhibited);
    row.modelCode = reply.modelCode;
    row.modelCodeKnown = !direct;
    return row;
}

ScanResult runScan(const ScanRequest& request, const DatagramSocketFactory& makeSocket, Clock& clock,
                   TransferProgress& progress) {
    if (request.direct)
        return runDirect(request, makeSocket, clock, progress);

    ScanResult result;
    const std::size_t count = std::min(request.localAddresses.size(), kMaxLocalAddresses);
    if (count == 0)
        return result;  // nothing to send from: no timer starts
    result.started = true;

    // One socket per local address; a slot whose setup failed stays empty and its ticks only move
    // the progress bar.
    std::vector<std::unique_ptr<DatagramSocket>> slots(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::unique_ptr<DatagramSocket> socket = makeSocket();
        if (!socket)
            continue;
        Status opened = socket->setBroadcast(true);
        if (opened)
            opened = socket->bind(request.localAddresses[i], request.endpoints.localUdpPort);
        notePortProblem(result, opened);
        if (opened)
            slots[i] = std::move(socket);
        else
            socket->close();
    }

    const int step = 20 / static_cast<int>(count);
    const int tickLimit = kTicksPerAddress * static_cast<int>(count);
    int position = 0;
    int ticks = 0;
    progress.setProgress(0, 100);
    std::vector<std::int64_t> due(count, clock.nowMs() + kScanTickMs);
    std::vector<bool> running(count, true);
    const Bytes request8 = requestBytes();

    // The timers share one tick counter; a tick blocks longer than the period, so the next due timer
    // fires as soon as the previous tick ends, one tick at a time.
    while (std::find(running.begin(), running.end(), true) != running.end()) {
        std::size_t i = count;
        for (std::size_t k = 0; k < count; ++k)
            if (running[k] && (i == count || due[k] < due[i]))
                i = k;
        const std::int64_t wait = due[i] - clock.nowMs();
        if (wait > 0)
            clock.sleepMs(wait);
        due[i] = clock.nowMs() + kScanTickMs;

        if (progress.isCancelled()) {
            std::fill(running.begin(), running.end(), false);
            break;
        }
        if (++ticks > tickLimit) {
            running[i] = false;
            complete(progress);
            continue;
        }
        position += step;
        progress.setProgress(position, 100);
        DatagramSocket* socket = slots[i].get();
        if (!socket || !socket->sendTo(request8, request.endpoints.broadcastAddress, request.endpoints.gatewayUdpPort))
            continue;
        // Empty and malformed datagrams are passed over; they neither end the tick nor count.
        int numberInTick = 0;
        listen(*socket, kBroadcastReceiveTimeoutMs, clock.nowMs() + kTickListenLimitMs, clock, progress,
               [&](const Datagram& received) {
                   if (received.data.size() < kDiscoveryReplyMinimum || !startsWithDiscoveryCode(received.data))
                       return true;
                   auto reply = DiscoveryReply::decode(received.data);
                   if (!reply)
                       return true;
                   char number[16];
                   std::snprintf(number, sizeof number, "%2d", ++numberInTick);
                   accept(result, *reply, false, number);
                   return result.rows.size() < kMaxGatewayRows;
               });
        if (result.rows.empty())
            continue;
        // Answers arrived: this timer stops now and every other one at its next tick.
        running[i] = false;
        ticks = tickLimit;
        complete(progress);
    }
    for (auto& socket : slots)
        if (socket)
            socket->close();
    return result;
}

}  // namespace veltrane::ethernet
