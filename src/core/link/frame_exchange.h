#pragma once
// One request/reply exchange of the serial configuration protocol: write a frame, then take the
// gateway's reply frame (code, n, n data bytes, checksum) as soon as it is complete.
//
// The bound applies to the first byte of the reply. Once a reply has started, it is read until
// its frame is complete or the line has been silent for kInterByteGapMs, so a reply that arrives
// in pieces is still read whole at any baud rate; and at the latest until the frame has had the
// time its length needs at the line speed plus kFrameMarginMs, so a peer that trickles bytes
// cannot hold an exchange open. Input waiting before a request goes out, and bytes that follow a
// complete frame, cannot belong to anything the gateway is being asked (a late duplicate of an
// earlier reply, say), so they are read and dropped rather than being taken for the reply. The
// reply's content (codes, checksum) is the caller's to judge; an incomplete frame comes back as
// the bytes that did arrive.

#include <cstddef>
#include <cstdint>

#include "core/common/result.h"
#include "core/common/bytes.h"
#include "core/link/serial/serial_frame.h"
#include "core/link/transport/byte_stream.h"
#include "core/link/transport/clock.h"

namespace veltrane {

// How one request waits for its reply.
struct ExchangeRule {
    // The reply must begin within this time after the request was written.
    std::int64_t firstByteTimeoutMs = 300;
    // False: silence is not an error but an empty reply, for requests whose caller checks the
    // content anyway.
    bool silenceIsTimeout = true;

    // Device information, and most configuration requests.
    static ExchangeRule standard() { return {}; }
    // Reading a command package, which the gateway takes longer to assemble.
    static ExchangeRule commandPackage() { return {1000, true}; }
    // Configuration-data requests: whatever arrived decides, nothing arriving included.
    static ExchangeRule contentDecides() { return {300, false}; }
};

class FrameExchange {
public:
    static constexpr std::int64_t kPollIntervalMs = 5;
    static constexpr std::int64_t kInterByteGapMs = 300;
    // What a reply may take beyond its bytes' time on the line: the gateway's pauses and the
    // latency of USB adapters and drivers.
    static constexpr std::int64_t kFrameMarginMs = 1000;
    // The slowest line the tool offers, assumed when the speed is not known.
    static constexpr int kSlowestBaudRate = 300;
    // Code, n, up to 255 data bytes, checksum.
    static constexpr std::size_t kMaxFrameSize = serial::frameSize(255);

    FrameExchange(ByteStream& port, Clock& clock, int baudRate = kSlowestBaudRate)
        : m_port(port), m_clock(clock), m_baudRate(baudRate > 0 ? baudRate : kSlowestBaudRate) {}

    // Writes the request and returns the reply bytes; a Timeout error when no reply began within
    // the rule's bound, an Io error when the port failed.
    Result<Bytes> exchange(const Bytes& request, const ExchangeRule& rule = ExchangeRule::standard());

    // Bytes thrown away in the last exchange (stale input and bytes beyond the reply), for logs.
    std::size_t discardedBytes() const { return m_discarded; }

    // The length of the frame that begins with these bytes; 0 while fewer than two are known.
    static std::size_t frameLength(const Bytes& prefix);
    // The longest a frame of this many bytes may take from its first byte on: twelve bits a byte
    // (start, eight data, parity, two stop bits) at the line speed, plus kFrameMarginMs.
    std::int64_t frameDeadlineMs(std::size_t frameBytes) const;

private:
    Result<std::size_t> discardWaiting();

    ByteStream& m_port;
    Clock& m_clock;
    int m_baudRate;
    std::size_t m_discarded = 0;
};

}  // namespace veltrane
