#include "core/link/frame_exchange.h"

#include <algorithm>

#include "core/strings/strings.h"

namespace veltrane {

std::size_t FrameExchange::frameLength(const Bytes& prefix) {
    if (prefix.size() < 2)
        return 0;
    return serial::frameSize(prefix[1]);
}

std::int64_t FrameExchange::frameDeadlineMs(std::size_t frameBytes) const {
    constexpr std::int64_t kBitsPerByte = 12;
    const auto bits = static_cast<std::int64_t>(frameBytes) * kBitsPerByte * 1000;
    return (bits + m_baudRate - 1) / m_baudRate + kFrameMarginMs;
}

Result<std::size_t> FrameExchange::discardWaiting() {
    auto waiting = m_port.bytesWaiting();
    if (!waiting)
        return waiting.error();
    if (*waiting == 0)
        return std::size_t{0};
    auto dropped = m_port.read(*waiting);
    if (!dropped)
        return dropped.error();
    return dropped->size();
}

Result<Bytes> FrameExchange::exchange(const Bytes& request, const ExchangeRule& rule) {
    m_discarded = 0;
    m_port.clearError();
    // Stale input goes before the request does, whatever the rule: once the request is out, a quick
    // gateway (or the simulator on a pseudo-terminal) may already have answered, and that answer
    // must not be lost.
    auto stale = discardWaiting();
    if (!stale)
        return stale.error();
    m_discarded += *stale;
    if (auto written = m_port.write(request); !written)
        return written.error();

    // Wait for the first byte. The last look at the port happens exactly at the bound, so a reply
    // that starts at the bound is still taken.
    const std::int64_t start = m_clock.nowMs();
    for (;;) {
        auto waiting = m_port.bytesWaiting();
        if (!waiting)
            return waiting.error();
        if (*waiting > 0)
            break;
        const std::int64_t elapsed = m_clock.nowMs() - start;
        if (elapsed >= rule.firstByteTimeoutMs) {
            if (!rule.silenceIsTimeout)
                return Bytes{};
            return makeError(ErrorKind::Timeout, tr(Str::LinkNoReply));
        }
        m_clock.sleepMs(std::min(kPollIntervalMs, rule.firstByteTimeoutMs - elapsed));
    }

    Bytes reply;
    const std::int64_t firstByteAt = m_clock.nowMs();
    std::int64_t lastByteAt = firstByteAt;
    for (;;) {
        const std::size_t expected = frameLength(reply);
        const std::int64_t deadline = firstByteAt + frameDeadlineMs(expected == 0 ? kMaxFrameSize : expected);
        const std::size_t wanted = expected == 0 ? 2 - reply.size() : expected - reply.size();
        auto waiting = m_port.bytesWaiting();
        if (!waiting)
            return waiting.error();
        if (*waiting > 0) {
            auto chunk = m_port.read(std::min(*waiting, wanted));
            if (!chunk)
                return chunk.error();
            if (!chunk->empty()) {
                reply.insert(reply.end(), chunk->begin(), chunk->end());
                lastByteAt = m_clock.nowMs();
                if (frameLength(reply) != 0 && reply.size() >= frameLength(reply))
                    break;
                continue;
            }
        }
        const std::int64_t now = m_clock.nowMs();
        const std::int64_t silent = now - lastByteAt;
        if (silent >= kInterByteGapMs || now >= deadline)
            return reply;  // the frame never completed; the caller's check rejects it
        m_clock.sleepMs(std::min({kPollIntervalMs, kInterByteGapMs - silent, deadline - now}));
    }

    auto dropped = discardWaiting();
    if (!dropped)
        return dropped.error();
    m_discarded += *dropped;
    return reply;
}

}  // namespace veltrane
