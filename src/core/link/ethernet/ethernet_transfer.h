#pragma once
// Ethernet download, upload and restart: the TCP exchanges. They run on a worker thread and touch
// no project; the checks before them and the adoption of an upload are in core/transfer.
//
// An exchange's Error carries the message to show; an empty message means the failure is silent.

#include "core/common/result.h"
#include "core/link/ethernet/configuration_image.h"
#include "core/link/transport/clock.h"
#include "core/link/transport/stream_socket.h"

#include <cstdint>
#include <string>

namespace veltrane::ethernet {

inline constexpr int kSocketTimeoutMs = 1000;
// The bounded wait for a connection; after it an unfinished attempt counts as failed.
inline constexpr int kConnectWaitMs = 3000;
inline constexpr int kSecondPartWaitMs = 500;

struct GatewayEndpoint {
    std::string address;
    std::uint16_t port = 0;
};

// Connects, sends the image and checks the gateway's answer. On success the connection stays open
// for the restart request; on failure it is closed.
Status downloadImage(StreamSocket& socket, const GatewayEndpoint& gateway, const ConfigurationImage& image);

// The restart request on the connection a download left open; silent on failure. The connection
// is closed either way.
Status sendRestart(StreamSocket& socket);

// Connects, asks for the image and gathers the reply in one or two receives; a reply shorter than
// the image fails. Closes the connection.
Result<ConfigurationImage> uploadImage(StreamSocket& socket, const GatewayEndpoint& gateway, Clock& clock);

}  // namespace veltrane::ethernet
