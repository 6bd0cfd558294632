#pragma once
// A simulated gateway behind the serial configuration protocol: it answers each request frame,
// keeps what a download writes and answers uploads from it. Faults are data, so a test or the
// simulator program can make request k go unanswered, arrive late, split or damaged.

#include "core/link/serial/reply_checks.h"
#include "core/link/serial/serial_frame.h"
#include "core/link/serial/serial_requests.h"
#include "core/model/device_profile.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrane::sim {

struct SerialFault {
    enum class Kind {
        Silence,       // no reply at all
        BadChecksum,   // the reply's last byte is off by one
        NegativeReply, // code + 0x80 with the error bytes; the request is not carried out
        SplitReply,    // the first half now, the rest after `delay`
        LateReply,     // the whole reply after `delay`
    };
    std::size_t request = 0; // 0-based count of requests since the engine was made or setFaults
    Kind kind = Kind::Silence;
    std::array<std::uint8_t, 2> errorBytes{0x01, 0x00};
    std::chrono::milliseconds delay{100};
};

struct SerialGatewayConfig {
    int deviceCode = 1;          // the t a device information reply reports: DeviceType + 1
    int firmwareVersion = 40;    // reported as 10 x byte 1 + byte 2
    bool extendedFrames = false; // long subnet and PROFIBUS replies whatever the device code
    bool alterStored = false;    // subnet 1's first command is kept with its starting address one higher
    std::vector<SerialFault> faults{};
};

// What the gateway holds, in wire form.
struct SerialGatewayMemory {
    std::array<std::uint8_t, 4> deviceNet{};
    std::array<std::uint8_t, 3> profibus{};
    std::array<serial::SubnetBlock, serial::kWireSubnets> blocks{};
    std::array<int, serial::kWireSubnets> commandCounts{};
    std::array<std::array<CommandRecord, kMaxCommands>, serial::kWireSubnets> commands{};
    std::uint8_t option = 0;
    std::vector<std::uint8_t> configData; // 0..8 bytes

    bool operator==(const SerialGatewayMemory&) const = default;
};

struct ReplyChunk {
    std::chrono::milliseconds delay{0}; // pause before these bytes, after the previous chunk
    Bytes bytes;
};

struct SerialReply {
    std::vector<ReplyChunk> chunks; // none: the gateway stays silent

    bool silent() const { return chunks.empty(); }
    Bytes bytes() const; // all chunks in order
};

class SerialGatewayEngine {
public:
    explicit SerialGatewayEngine(SerialGatewayConfig config = {});

    // The answer to one request frame. A frame whose checksum does not match is not answered,
    // as a gateway drops garbled input; it still counts as a request for the faults.
    SerialReply handle(ByteView request);

    // Replaces the faults; their request numbers count from here on.
    void setFaults(std::vector<SerialFault> faults);

    const SerialGatewayMemory& memory() const { return m_memory; }
    // What a gateway held before (the simulator's state file).
    void restore(SerialGatewayMemory memory) { m_memory = std::move(memory); }
    const SerialGatewayConfig& config() const { return m_config; }
    std::size_t requestCount() const { return m_requests; }
    // The code of the last request frame handled; 0 before any or when it was garbled.
    std::uint8_t lastRequestCode() const { return m_lastCode; }

    int subnetCount() const;
    int recordsPerPackage() const;
    bool longSubnetReplies() const;
    bool longProfibusReplies() const;

private:
    // The row of the device code reported.
    const DeviceProfile& profile() const;
    Bytes answer(const serial::Frame& request);

    SerialGatewayConfig m_config;
    SerialGatewayMemory m_memory;
    std::size_t m_requests = 0;
    std::uint8_t m_lastCode = 0;
};

} // namespace veltrane::sim
