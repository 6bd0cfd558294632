#include "core/link/ethernet/ethernet_transfer.h"

#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/strings/strings.h"

namespace veltrane::ethernet {

namespace {

Error fail(Str message) { return makeError(ErrorKind::Io, tr(message)); }
Error silent(ErrorKind kind) { return makeError(kind, std::string()); }

Status connect(StreamSocket& socket, const GatewayEndpoint& gateway) {
    if (!socket.connectTo(gateway.address, gateway.port, kConnectWaitMs)) {
        socket.close();
        return fail(Str::EthConnectFailed);
    }
    if (!socket.setDoNotRoute(true)) {
        socket.close();
        return silent(ErrorKind::Io);
    }
    return {};
}

}  // namespace

Status downloadImage(StreamSocket& socket, const GatewayEndpoint& gateway, const ConfigurationImage& image) {
    if (auto connected = connect(socket, gateway); !connected)
        return connected;
    const auto bytes = image.bytes();
    if (!socket.write(Bytes(bytes.begin(), bytes.end()), kSocketTimeoutMs)) {
        socket.close();
        return fail(Str::EthWriteConfigFailed);
    }
    auto reply = socket.receive(kWriteReplyBuffer, kSocketTimeoutMs);
    if (!reply) {
        socket.close();
        return fail(Str::EthWriteConfigFailed);
    }
    if (!checkWriteReply(*reply)) {
        socket.close();
        return makeError(ErrorKind::NegativeReply, tr(Str::EthWriteFailed));
    }
    return {};
}

Status sendRestart(StreamSocket& socket) {
    const auto request = RestartRequest{}.encode();
    Status sent = socket.write(Bytes(request.begin(), request.end()), kSocketTimeoutMs);
    socket.close();
    if (!sent)
        return silent(ErrorKind::Io);
    return {};
}

Result<ConfigurationImage> uploadImage(StreamSocket& socket, const GatewayEndpoint& gateway, Clock& clock) {
    if (auto connected = connect(socket, gateway); !connected)
        return connected.error();
    const auto request = ReadRequest{}.encode();
    if (!socket.write(Bytes(request.begin(), request.end()), kSocketTimeoutMs)) {
        socket.close();
        return silent(ErrorKind::Io);
    }
    auto first = socket.receive(kReadReplyBuffer, kSocketTimeoutMs);
    if (!first) {
        socket.close();
        return makeError(first.kind(), tr(Str::EthReadConfigFailed));
    }
    Bytes reply = std::move(*first);
    if (reply.size() < kImageSize) {
        // The rest of a reply cut in two.
        clock.sleepMs(kSecondPartWaitMs);
        if (auto rest = socket.receive(kReadReplyBuffer - reply.size(), kSocketTimeoutMs))
            reply.insert(reply.end(), rest->begin(), rest->end());
    }
    socket.close();
    // A reply still short of a whole image (the gateway closed or stalled mid-reply) would read as
    // a configuration with zeros in place of what never came.
    if (reply.size() < kImageSize)
        return makeError(ErrorKind::MalformedReply, tr(Str::EthReadFailed));
    auto image = decodeReadReply(reply);
    if (!image)
        return makeError(image.kind(), tr(Str::EthReadFailed));
    return image;
}

}  // namespace veltrane::ethernet
