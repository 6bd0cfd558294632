#include "core/link/ethernet/ethernet_transfer.h"

#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/strings/strings.h"

namespace veltrane::ethernet {

namespace {

Error fail(Str message) { return makeError(ErrorKind::Io, tr(message)); }
Error silent(ErrorKind kind) { return makeError(kind, std::string()); }

// A wait the user cancelled ends the exchange without a message.
bool cancelled(const Status& status) { return !status && status.kind() == ErrorKind::Cancelled; }

// What the gateway sent instead of the write's confirmation.
std::string writeRefusalDetail(const Bytes& reply) {
    if (reply.size() < 4)
        return tr(Str::EthWriteNoAnswerDetail);
    const std::uint32_t code = (std::uint32_t{reply[0]} << 24) | (std::uint32_t{reply[1]} << 16) |
                               (std::uint32_t{reply[2]} << 8) | reply[3];
    return format(Str::EthWriteRefusedDetail, {std::to_string(code)});
}

Status connect(StreamSocket& socket, const GatewayEndpoint& gateway) {
    if (Status connected = socket.connectTo(gateway.address, gateway.port, kConnectWaitMs); !connected) {
        socket.close();
        return cancelled(connected) ? connected : fail(Str::EthConnectFailed);
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
    if (Status written = socket.write(Bytes(bytes.begin(), bytes.end()), kSocketTimeoutMs); !written) {
        socket.close();
        return cancelled(written) ? written : fail(Str::EthWriteConfigFailed);
    }
    auto reply = socket.receive(kWriteReplyBuffer, kSocketTimeoutMs);
    if (!reply) {
        socket.close();
        return reply.kind() == ErrorKind::Cancelled ? reply.error() : fail(Str::EthWriteConfigFailed);
    }
    if (!checkWriteReply(*reply)) {
        socket.close();
        return makeError(ErrorKind::NegativeReply, tr(Str::EthWriteFailed), writeRefusalDetail(*reply));
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
    if (Status sent = socket.write(Bytes(request.begin(), request.end()), kSocketTimeoutMs); !sent) {
        socket.close();
        return cancelled(sent) ? sent.error() : silent(ErrorKind::Io);
    }
    auto first = socket.receive(kReadReplyBuffer, kSocketTimeoutMs);
    if (!first) {
        socket.close();
        return first.kind() == ErrorKind::Cancelled ? first.error() : makeError(first.kind(), tr(Str::EthReadConfigFailed));
    }
    Bytes reply = std::move(*first);
    if (reply.size() < kImageSize) {
        // The rest of a reply cut in two.
        clock.sleepMs(kSecondPartWaitMs);
        auto rest = socket.receive(kReadReplyBuffer - reply.size(), kSocketTimeoutMs);
        if (rest)
            reply.insert(reply.end(), rest->begin(), rest->end());
        else if (rest.kind() == ErrorKind::Cancelled) {
            socket.close();
            return rest.error();
        }
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
