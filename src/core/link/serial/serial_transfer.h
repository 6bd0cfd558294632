#pragma once
// Drives a download or upload sequence over a serial line: writes each step's request, waits for
// its reply frame within the step's bound and feeds the outcome back, until the sequence finishes
// or stops. Blocking; runs on a worker thread or in the CLI.

#include "core/common/result.h"
#include "core/link/frame_exchange.h"
#include "core/link/serial/serial_sequence.h"
#include "core/link/transport/byte_stream.h"
#include "core/link/transport/clock.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace veltrane::serial {

// What a running transfer reports; every call comes from the thread running it.
class SerialTransferObserver {
public:
    virtual ~SerialTransferObserver() = default;
    // The gateway's device code is known: the step captions can be shown.
    virtual void deviceReported(int /*deviceCode*/) {}
    // Lines whose icon is set now: 0..2 steps, 3..6 subnets.
    virtual void linesDone(const std::vector<int>& /*lines*/) {}
    // A message to show; the transfer goes on.
    virtual void notice(const Error& /*message*/) {}
};

struct SerialTransferResult {
    Status status;              // the first stop, a port failure or the cancellation
    bool closePort = false;     // the gateway is of another type: the port is to be closed
    int exchanges = 0;
    std::size_t bytesOut = 0;   // requests written
    std::size_t bytesIn = 0;    // reply bytes taken
};

// How a step waits on a real line.
ExchangeRule exchangeRuleFor(const SerialStep& step);

// What a refused reply was, for the line below the step's message: the negative reply's code and
// error bytes, or the bytes of a reply whose checksum does not match or that is not the one
// expected. Empty for other kinds and for no reply.
std::string refusedReplyDetail(ErrorKind kind, ByteView reply);

// Runs the sequence to its end. `cancelled` is asked between exchanges; a cancelled transfer ends
// with a Refused status.
SerialTransferResult runSerialTransfer(SerialSequence& sequence, ByteStream& port, Clock& clock,
                                       SerialTransferObserver& observer,
                                       const std::function<bool()>& cancelled = {});

} // namespace veltrane::serial
