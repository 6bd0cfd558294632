#pragma once
// A serial transfer as data: an ordered list of steps, each a request, how long its reply may take
// and how the reply is judged. The steps after the device information depend on what the gateway
// reported, so the list grows as replies arrive. No I/O here: a runner writes current()->request,
// waits at most current()->timeout for a complete reply frame, and reports what it got.

#include "core/common/result.h"
#include "core/link/serial/serial_frame.h"
#include "core/model/device_profile.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veltrane::serial {

// How the reply is waited for on a real line: A device information, B most requests,
// C option byte (tested by its first bytes), D configuration data (no reply is judged as content).
enum class SettleRule { A, B, C, D };

struct SerialStep {
    Bytes request;
    SettleRule rule = SettleRule::B;
    std::chrono::milliseconds timeout{300};
    std::size_t replyCapacity = 26; // bytes of the receive buffer; a longer reply is cut here
};

// Progress lines a transfer shows: the three step lines, then the four subnet lines.
inline constexpr int kStepLines = 3;
inline constexpr int kSubnetLines = 4;

struct StepOutcome {
    enum class Kind {
        Continue, // go on with current()
        Stopped,  // show `error->message`; the transfer is over
        Finished, // every step succeeded
    };
    Kind kind = Kind::Continue;
    std::optional<Error> error;
    std::optional<Error> notice; // to show before going on; the transfer continues
    std::vector<int> linesDone;  // lines whose icon is set now: 0..2 steps, 3..6 subnets
    bool closePort = false;      // the gateway is of another type
};

struct StepCaptions {
    std::array<std::string, kStepLines> steps;
    std::array<std::string, kSubnetLines> subnets;
    bool fourSubnets = false;
};

class SerialSequence {
public:
    SerialSequence() = default;
    // The steps' checks refer to the sequence they belong to.
    SerialSequence(const SerialSequence&) = delete;
    SerialSequence& operator=(const SerialSequence&) = delete;
    virtual ~SerialSequence() = default;

    // The step to run next; null when the sequence has finished or stopped.
    const SerialStep* current() const;
    StepOutcome onReply(ByteView reply);
    StepOutcome onTimeout();

    bool stopped() const { return m_stopped; }
    bool finished() const { return !m_stopped && m_next >= m_plan.size(); }
    // 10 x data byte 1 + data byte 2 of the device information reply; 0 before it.
    int firmwareVersion() const { return m_firmwareVersion; }
    // The device code the gateway reported; 0 before it.
    int deviceCode() const { return m_deviceCode; }

protected:
    struct Planned {
        SerialStep step;
        std::function<StepOutcome(ByteView)> check;
        Error timeout; // what a missing reply means
        std::vector<int> linesDone;
    };
    void add(Planned planned) { m_plan.push_back(std::move(planned)); }
    // Inserts right after the step being judged, keeping the order of the insertions.
    void addNext(Planned planned);

    int m_firmwareVersion = 0;
    int m_deviceCode = 0;

private:
    StepOutcome finish(StepOutcome outcome);

    std::vector<Planned> m_plan;
    std::size_t m_next = 0;
    std::size_t m_insertAt = 0;
    bool m_stopped = false;
};

// The captions of a transfer's lines: the three steps of a single-subnet transfer, or the subnet
// lines (subnetCaption numbered 1 to 4) of a four-subnet one; empty when there are no steps.
StepCaptions stepCaptions(SubnetProcedure subnets, const std::optional<StepCaptionIds>& steps,
                          Str subnetCaption);

// A stop with a message.
StepOutcome stopWith(ErrorKind kind, std::string message);
// The gateway reported another device type: the transfer stops and the port is closed.
StepOutcome deviceMismatch();
// The kind of a reply that was not the one wanted: negative when a negative code was accepted.
ErrorKind kindOfRefusal(std::uint8_t acceptedCode);
// 10 x byte 3 + byte 4 of a device information reply, as received (0 when it is too short).
int firmwareVersionOf(ByteView reply);

} // namespace veltrane::serial
