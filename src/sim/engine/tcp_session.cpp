#include "sim/engine/tcp_session.h"

#include "core/link/ethernet/configuration_image.h"

namespace veltrane::sim {

using namespace veltrane::ethernet;

std::vector<TcpResponse> TcpSession::feed(std::span<const std::uint8_t> bytes) {
    std::vector<TcpResponse> responses;
    if (m_closed)
        return responses;
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    std::size_t used = 0;
    while (const auto header = MessageHeader::decode(std::span(m_pending).subspan(used))) {
        // The largest request is a write; a longer length is garbage, not a reason to buffer more.
        if (header->length > kImageBodySize) {
            responses.push_back(TcpResponse{{}, true, false, false});
            break;
        }
        const std::size_t total = kHeaderSize + header->length;
        if (m_pending.size() - used < total)
            break;
        responses.push_back(m_gateway.handleRequest(*header, std::span(m_pending).subspan(used + kHeaderSize, header->length)));
        responses.back().request = header->command;
        used += total;
        if (responses.back().close)
            break;
    }
    if (!responses.empty() && responses.back().close) {
        m_closed = true;
        m_pending.clear();
    } else {
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
    return responses;
}

}  // namespace veltrane::sim
