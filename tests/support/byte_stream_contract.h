#pragma once
// What every ByteStream must do, written once and run against each implementation. A harness
// type provides the stream under test, its clock and the far end of the line:
//
//   struct Harness {
//       std::string setUp();                                // empty, or why the line is not there
//       ByteStream& stream();
//       Clock& clock();
//       void peerSendAfter(std::int64_t delayMs, const Bytes& bytes);  // the far end writes later
//       Bytes peerReceive(std::size_t count);               // what the far end got, bounded wait
//   };
//
// Instantiate with INSTANTIATE_TYPED_TEST_SUITE_P(Name, ByteStreamContract, Types<Harness>).

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/link/frame_exchange.h"

namespace veltrane::testing {

template <class Harness>
class ByteStreamContract : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string problem = m_harness.setUp();
        ASSERT_TRUE(problem.empty()) << problem;
    }

    // Waits on the stream's own clock until count bytes are waiting, or 2 s have passed.
    std::size_t waitForBytes(std::size_t count) {
        const std::int64_t start = clock().nowMs();
        for (;;) {
            auto waiting = stream().bytesWaiting();
            if (!waiting)
                return 0;
            if (*waiting >= count || clock().nowMs() - start > 2000)
                return *waiting;
            clock().sleepMs(5);
        }
    }

    ByteStream& stream() { return m_harness.stream(); }
    Clock& clock() { return m_harness.clock(); }
    Harness m_harness;
};

TYPED_TEST_SUITE_P(ByteStreamContract);

TYPED_TEST_P(ByteStreamContract, WrittenBytesReachThePeerAndReceivedBytesWaitUntilRead) {
    const Bytes out{0x01, 0x00, 0x01, 0xFF, 0x00, 0x7E};
    ASSERT_TRUE(this->stream().write(out));
    EXPECT_EQ(this->m_harness.peerReceive(out.size()), out);

    EXPECT_EQ(*this->stream().bytesWaiting(), 0u);
    EXPECT_TRUE(this->stream().read(16)->empty());

    const Bytes in{0x10, 0x00, 0x10, 0x00, 0xAA};
    this->m_harness.peerSendAfter(0, in);
    ASSERT_EQ(this->waitForBytes(in.size()), in.size());
    EXPECT_EQ(*this->stream().read(2), (Bytes{0x10, 0x00}));
    EXPECT_EQ(*this->stream().bytesWaiting(), 3u);
    EXPECT_EQ(*this->stream().read(64), (Bytes{0x10, 0x00, 0xAA}));
    EXPECT_EQ(*this->stream().bytesWaiting(), 0u);
}

TYPED_TEST_P(ByteStreamContract, DiscardDropsWaitingInput) {
    this->m_harness.peerSendAfter(0, Bytes{1, 2, 3, 4});
    ASSERT_EQ(this->waitForBytes(4), 4u);
    ASSERT_TRUE(this->stream().discardInput());
    EXPECT_EQ(*this->stream().bytesWaiting(), 0u);
    EXPECT_TRUE(this->stream().read(16)->empty());
}

TYPED_TEST_P(ByteStreamContract, ExchangeTimesOutOnSilenceNoEarlierThanTheBound) {
    FrameExchange exchange(this->stream(), this->clock());
    const std::int64_t start = this->clock().nowMs();
    auto reply = exchange.exchange(Bytes{0x01, 0x00, 0x01});
    ASSERT_FALSE(reply);
    EXPECT_EQ(reply.kind(), ErrorKind::Timeout);
    EXPECT_GE(this->clock().nowMs() - start, 300);
    EXPECT_EQ(this->m_harness.peerReceive(3), (Bytes{0x01, 0x00, 0x01}));
}

TYPED_TEST_P(ByteStreamContract, ExchangeReadsAReplySplitAcrossPausesWhole) {
    // A device-information reply: code 01, eight data bytes, checksum.
    const Bytes head{0x01, 0x08, 0x03, 0x01};
    const Bytes middle{0x05, 0x00, 0x00};
    const Bytes tail{0x00, 0x00, 0x00, 0x12};
    this->m_harness.peerSendAfter(30, head);
    this->m_harness.peerSendAfter(120, middle);
    this->m_harness.peerSendAfter(220, tail);
    FrameExchange exchange(this->stream(), this->clock());
    auto reply = exchange.exchange(Bytes{0x01, 0x00, 0x01});
    ASSERT_TRUE(reply) << reply.message();
    Bytes whole = head;
    whole.insert(whole.end(), middle.begin(), middle.end());
    whole.insert(whole.end(), tail.begin(), tail.end());
    EXPECT_EQ(*reply, whole);
    EXPECT_EQ(this->m_harness.peerReceive(3), (Bytes{0x01, 0x00, 0x01}));
}

REGISTER_TYPED_TEST_SUITE_P(ByteStreamContract, WrittenBytesReachThePeerAndReceivedBytesWaitUntilRead,
                            DiscardDropsWaitingInput, ExchangeTimesOutOnSilenceNoEarlierThanTheBound,
                            ExchangeReadsAReplySplitAcrossPausesWhole);

}  // namespace veltrane::testing
