#include "sim/engine/gateway.h"

#include "core/common/ipv4.h"
#include "core/link/ethernet/tcp_messages.h"
#include "core/common/wire_order.h"
#include "core/model/project_defaults.h"

#include <algorithm>

namespace veltrane::sim {

using namespace veltrane::ethernet;

ConfigurationImage factoryImage(const GatewayIdentity& identity) {
    Project project;
    ProjectState state;
    initializeNewProject(project, state);
    // A single-subnet gateway starts as a project with that switch would.
    state.flags.singleSubnetModel = identity.modelCode == model::SingleSubnet;
    applyProjectDefaults(project, state);
    project.fieldbus.ipAddress = identity.ipAddress;
    return buildConfigurationImage(project, state);
}

Gateway::Gateway(GatewayIdentity identity, FaultPlan faults)
    : m_identity(std::move(identity)), m_faults(faults), m_image(factoryImage(m_identity)) {}

std::optional<std::vector<std::uint8_t>> Gateway::handleDiscovery(std::span<const std::uint8_t> datagram) const {
    if (!DiscoveryRequest::decode(datagram))
        return std::nullopt;
    DiscoveryReply reply;
    reply.modelCode = m_identity.modelCode;
    reply.firmwareMajor = m_identity.firmwareMajor;
    reply.firmwareMinor = m_identity.firmwareMinor;
    reply.mac = m_identity.mac;
    reply.ipAddress = parseIpv4(m_identity.ipAddress).value_or(Ipv4Octets{});
    reply.remoteConfigFlag = m_identity.remoteConfig ? 1 : 0;
    const auto bytes = reply.encode();
    std::vector<std::uint8_t> out(bytes.begin(), bytes.end());
    if (m_faults.appliesTo(FaultScope::Discovery)) {
        if (m_faults.kind == Fault::Silence)
            return std::nullopt;
        if (m_faults.kind == Fault::WrongReplyCode)
            wire::put32(out, 0, m_faults.wrongCode);
    }
    return out;
}

TcpResponse Gateway::withFaults(FaultScope exchange, std::vector<std::uint8_t> reply) const {
    TcpResponse response;
    if (!m_faults.appliesTo(exchange)) {
        response.parts.push_back({{}, std::move(reply)});
        return response;
    }
    switch (m_faults.kind) {
    case Fault::None:
        response.parts.push_back({{}, std::move(reply)});
        break;
    case Fault::Silence:
        break;
    case Fault::WrongReplyCode:
        if (reply.size() >= 4)
            wire::put32(reply, 0, m_faults.wrongCode);
        response.parts.push_back({{}, std::move(reply)});
        break;
    case Fault::SplitReply: {
        const auto cut = static_cast<std::ptrdiff_t>(std::min(m_faults.splitAt, reply.size()));
        response.parts.push_back({{}, {reply.begin(), reply.begin() + cut}});
        if (cut < static_cast<std::ptrdiff_t>(reply.size()))
            response.parts.push_back({m_faults.splitDelay, {reply.begin() + cut, reply.end()}});
        break;
    }
    case Fault::CloseEarly: {
        const auto cut = static_cast<std::ptrdiff_t>(std::min(m_faults.closeAfter, reply.size()));
        if (cut > 0)
            response.parts.push_back({{}, {reply.begin(), reply.begin() + cut}});
        response.close = true;
        break;
    }
    }
    return response;
}

TcpResponse Gateway::handleRequest(const MessageHeader& header, std::span<const std::uint8_t> body) {
    switch (header.command) {
    case command::ReadConfiguration: {
        const ConfigurationImage reply = encodeReadReply(m_image);
        return withFaults(FaultScope::Read, {reply.bytes().begin(), reply.bytes().end()});
    }
    case command::WriteConfiguration: {
        if (body.size() != kImageBodySize)
            return TcpResponse{{}, true, false, false};
        if (!m_identity.remoteConfig) {
            // The switch forbids configuration over the network: a negative reply, nothing stored.
            const auto refusal = MessageHeader{0, 0}.encode();
            return withFaults(FaultScope::Write, {refusal.begin(), refusal.end()});
        }
        ConfigurationImage image;
        const auto head = header.encode();
        std::copy(head.begin(), head.end(), image.bytes().begin());
        std::copy(body.begin(), body.end(), image.bytes().begin() + kHeaderSize);
        if (m_faults.alterStored) {
            // The starting address of subnet 1's first command: image offset 0x54, bytes 2 and 3.
            constexpr std::size_t kFirstStartAddress = 0x054 + 2;
            wire::put16(image.bytes(), kFirstStartAddress, wire::get16(image.bytes(), kFirstStartAddress) + 1u);
        }
        m_image = image;
        const auto ack = encodeWriteReply();
        TcpResponse response = withFaults(FaultScope::Write, {ack.begin(), ack.end()});
        response.stored = true;
        return response;
    }
    case command::Restart: {
        const auto head = header.encode();
        std::vector<std::uint8_t> request(head.begin(), head.end());
        request.insert(request.end(), body.begin(), body.end());
        if (!RestartRequest::matches(request) || !m_identity.remoteConfig ||
            (m_faults.appliesTo(FaultScope::Restart) && m_faults.kind == Fault::Silence))
            return {};
        ++m_restarts;
        // A restarting gateway drops its connections; the tool reads no reply.
        return TcpResponse{{}, true, false, true};
    }
    default:
        return TcpResponse{{}, true, false, false};
    }
}

}  // namespace veltrane::sim
