#pragma once
// One simulated Ethernet gateway: its identity, the configuration image it keeps, and how it
// answers discovery datagrams and TCP requests.

#include "core/link/ethernet/configuration_image.h"
#include "core/link/ethernet/discovery_messages.h"
#include "core/link/ethernet/message_header.h"
#include "sim/engine/fault_plan.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrane::sim {

struct GatewayIdentity {
    std::string ipAddress = "127.0.0.2";
    std::uint32_t modelCode = ethernet::model::TwoSubnets;
    std::array<std::uint8_t, 6> mac{0x02, 0x00, 0x7f, 0x00, 0x00, 0x02};
    std::uint16_t firmwareMajor = 1;
    std::uint16_t firmwareMinor = 0;
    bool remoteConfig = true;  // the DIP switch that allows configuration over the network
};

// What the host does after a request: send the parts in order, each after its delay counted from
// the previous one, then close the connection when asked.
struct ReplyPart {
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

struct TcpResponse {
    std::vector<ReplyPart> parts;
    bool close = false;
    bool stored = false;     // a new image was written; the host saves its state
    bool restarted = false;  // a restart request with the right key arrived
    std::uint32_t request = 0;  // the command code of the request answered
};

class Gateway {
public:
    explicit Gateway(GatewayIdentity identity, FaultPlan faults = {});

    const GatewayIdentity& identity() const { return m_identity; }
    const FaultPlan& faults() const { return m_faults; }
    void setFaults(const FaultPlan& faults) { m_faults = faults; }

    // The image as last written (code 6), or the defaults of a new project for this model.
    const ethernet::ConfigurationImage& image() const { return m_image; }
    void setImage(const ethernet::ConfigurationImage& image) { m_image = image; }
    int restarts() const { return m_restarts; }

    // The reply to one datagram; nothing for datagrams a gateway ignores or when silenced.
    std::optional<std::vector<std::uint8_t>> handleDiscovery(std::span<const std::uint8_t> datagram) const;

    // One complete request: its header and exactly header.length body bytes. Framing is the
    // session's job (tcp_session.h).
    TcpResponse handleRequest(const ethernet::MessageHeader& header, std::span<const std::uint8_t> body);

private:
    TcpResponse withFaults(FaultScope exchange, std::vector<std::uint8_t> reply) const;

    GatewayIdentity m_identity;
    FaultPlan m_faults;
    ethernet::ConfigurationImage m_image;
    int m_restarts = 0;
};

// The image a gateway of this identity holds before anything is written to it.
ethernet::ConfigurationImage factoryImage(const GatewayIdentity& identity);

}  // namespace veltrane::sim
