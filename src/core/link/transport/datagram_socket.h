#pragma once
// A UDP socket in blocking style: bind, send to an address, receive with a time-out.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/common/result.h"
#include "core/common/bytes.h"

namespace veltrane {

struct Datagram {
    Bytes data;
    std::string senderAddress;  // dotted IPv4
    std::uint16_t senderPort = 0;
};

class DatagramSocket {
public:
    virtual ~DatagramSocket() = default;

    // Binds to a local IPv4 address ("0.0.0.0" for any) and port (0 for any free port). The port
    // is shared with other sockets that also ask for sharing, so several listeners can wait on
    // one broadcast port.
    virtual Status bind(const std::string& localAddress, std::uint16_t port) = 0;
    virtual std::uint16_t localPort() const = 0;
    // Permission to send to a broadcast address. Off unless asked for.
    virtual Status setBroadcast(bool allowed) = 0;
    // Asks the system for a receive buffer of at least this size, for peers that send in bursts.
    virtual Status setReceiveBufferSize(int bytes) = 0;

    // Sends one datagram; a partial send is an Io error.
    virtual Status sendTo(const Bytes& data, const std::string& address, std::uint16_t port) = 0;
    // True when a datagram can be received without waiting.
    virtual bool hasPendingDatagram() = 0;
    // The next datagram, cut to maxBytes; a Timeout error when none arrives within timeoutMs.
    virtual Result<Datagram> receive(std::size_t maxBytes, int timeoutMs) = 0;

    virtual void close() = 0;
};

}  // namespace veltrane
