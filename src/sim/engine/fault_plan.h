#pragma once
// Faults a simulated gateway injects into its replies, described as data so that tests and the
// command line choose them the same way.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace veltrane::sim {

enum class Fault {
    None,
    Silence,         // no reply at all; a TCP connection stays open
    WrongReplyCode,  // the reply's command code is replaced by wrongCode
    SplitReply,      // a TCP reply goes out in two parts, the second after splitDelay
    CloseEarly,      // the connection is closed after closeAfter bytes of the reply
};

// Which exchanges a fault touches.
enum class FaultScope { All, Discovery, Read, Write, Restart };

struct FaultPlan {
    Fault kind = Fault::None;
    FaultScope scope = FaultScope::All;
    std::size_t splitAt = 600;
    std::chrono::milliseconds splitDelay{100};
    std::size_t closeAfter = 0;
    std::uint32_t wrongCode = 0;
    // After every accepted write the first command of subnet 1 is kept with its starting address
    // one higher: a gateway that does not store what it was sent.
    bool alterStored = false;

    bool appliesTo(FaultScope exchange) const {
        return kind != Fault::None && (scope == FaultScope::All || scope == exchange);
    }
};

}  // namespace veltrane::sim
