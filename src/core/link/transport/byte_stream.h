#pragma once
// A serial line seen from the PC: bytes go out, bytes wait in an input queue until read. Nothing
// here blocks for long; callers poll bytesWaiting() and pace themselves with a Clock.

#include <cstddef>

#include "core/common/result.h"
#include "core/common/bytes.h"

namespace veltrane {

class ByteStream {
public:
    virtual ~ByteStream() = default;

    // Bytes received and not yet read.
    virtual Result<std::size_t> bytesWaiting() = 0;
    // Up to maxBytes of the waiting bytes, oldest first; empty when none wait. Never waits.
    virtual Result<Bytes> read(std::size_t maxBytes) = 0;
    // Sends every byte, or fails; returns once the bytes have left the PC's queue.
    virtual Status write(const Bytes& bytes) = 0;
    // Drops everything waiting in the input queue.
    virtual Status discardInput() = 0;
    // The line speed in bits per second; 0 when the stream does not know it.
    virtual int baudRate() const { return 0; }
    // Forgets a line error (framing, parity, overrun) so that the next transfer starts clean.
    virtual void clearError() = 0;
};

}  // namespace veltrane
