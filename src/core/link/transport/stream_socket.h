#pragma once
// A TCP connection in blocking style, every wait bounded by the caller.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/result.h"
#include "core/common/bytes.h"

namespace veltrane {

class StreamSocket {
public:
    virtual ~StreamSocket() = default;

    // Connects to an IPv4 address; a Timeout error when the connection is not up within timeoutMs.
    virtual Status connectTo(const std::string& address, std::uint16_t port, int timeoutMs) = 0;
    virtual bool isConnected() const = 0;
    // Sends with the system's do-not-route flag: the peer must be on a directly attached network.
    virtual Status setDoNotRoute(bool on) = 0;

    // Sends every byte within timeoutMs, or fails.
    virtual Status write(const Bytes& bytes, int timeoutMs) = 0;
    virtual Result<std::size_t> bytesWaiting() = 0;
    // Whatever has arrived, up to maxBytes, waiting up to timeoutMs for the first byte: a Timeout
    // error on silence, and an empty result when the peer closed the connection.
    virtual Result<Bytes> receive(std::size_t maxBytes, int timeoutMs) = 0;

    virtual void close() = 0;
};

}  // namespace veltrane
