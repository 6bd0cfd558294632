#pragma once
// A serial port a test drives: bytes arrive when the fake clock reaches their time, everything
// written is captured, and writes or reads can be made to fail or to stall.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "core/link/transport/byte_stream.h"
#include "support/fake_clock.h"

namespace veltrane::testing {

class FakeByteStream : public ByteStream {
public:
    explicit FakeByteStream(FakeClock& clock) : m_clock(clock) {}

    // Bytes that arrive now.
    void feed(const Bytes& bytes) { feedAt(m_clock.nowMs(), bytes); }
    // Bytes that arrive when the clock reaches atMs.
    void feedAt(std::int64_t atMs, const Bytes& bytes) {
        auto pos = std::upper_bound(m_incoming.begin(), m_incoming.end(), atMs,
                                    [](std::int64_t t, const Chunk& c) { return t < c.atMs; });
        m_incoming.insert(pos, Chunk{atMs, bytes});
    }
    // Pieces of the reply to the next write, each delayMs after that write returned.
    void replyToNextWrite(std::vector<std::pair<std::int64_t, Bytes>> pieces) { m_nextReply = std::move(pieces); }

    // Every write in order.
    const std::vector<Bytes>& writes() const { return m_writes; }
    Bytes written() const {
        Bytes all;
        for (const auto& w : m_writes)
            all.insert(all.end(), w.begin(), w.end());
        return all;
    }

    void failWrites(std::optional<Error> error) { m_writeError = std::move(error); }
    void failReads(std::optional<Error> error) { m_readError = std::move(error); }
    // Each write takes this long on the fake clock, like a port whose output queue is full.
    void stallWrites(std::int64_t ms) { m_writeStallMs = ms; }

    int clearErrorCalls() const { return m_clearErrorCalls; }

    Result<std::size_t> bytesWaiting() override {
        if (m_readError)
            return *m_readError;
        std::size_t n = 0;
        for (const auto& c : m_incoming)
            if (c.atMs <= m_clock.nowMs())
                n += c.bytes.size();
        return n;
    }

    Result<Bytes> read(std::size_t maxBytes) override {
        if (m_readError)
            return *m_readError;
        Bytes out;
        while (out.size() < maxBytes && !m_incoming.empty() && m_incoming.front().atMs <= m_clock.nowMs()) {
            Bytes& front = m_incoming.front().bytes;
            const std::size_t take = std::min(maxBytes - out.size(), front.size());
            out.insert(out.end(), front.begin(), front.begin() + static_cast<std::ptrdiff_t>(take));
            front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(take));
            if (front.empty())
                m_incoming.pop_front();
        }
        return out;
    }

    Status write(const Bytes& bytes) override {
        if (m_writeError)
            return *m_writeError;
        m_clock.advance(m_writeStallMs);
        m_writes.push_back(bytes);
        for (auto& [delay, piece] : m_nextReply)
            feedAt(m_clock.nowMs() + delay, piece);
        m_nextReply.clear();
        return {};
    }

    Status discardInput() override {
        while (!m_incoming.empty() && m_incoming.front().atMs <= m_clock.nowMs())
            m_incoming.pop_front();
        return {};
    }

    void clearError() override { ++m_clearErrorCalls; }

private:
    struct Chunk {
        std::int64_t atMs;
        Bytes bytes;
    };

    FakeClock& m_clock;
    std::deque<Chunk> m_incoming;
    std::vector<std::pair<std::int64_t, Bytes>> m_nextReply;
    std::vector<Bytes> m_writes;
    std::optional<Error> m_writeError;
    std::optional<Error> m_readError;
    std::int64_t m_writeStallMs = 0;
    int m_clearErrorCalls = 0;
};

}  // namespace veltrane::testing
