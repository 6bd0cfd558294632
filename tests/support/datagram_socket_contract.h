#pragma once
// What every DatagramSocket must do, written once and run against each implementation. A harness
// type provides two sockets that can reach each other on 127.0.0.1 and the clock they wait on:
//
//   struct Harness {
//       std::string setUp();   // empty, or a reason to skip (no private network)
//       DatagramSocket& a(); DatagramSocket& b(); Clock& clock();
//   };

#include <gtest/gtest.h>

#include <string>

#include "core/link/transport/clock.h"
#include "core/link/transport/datagram_socket.h"

namespace veltrane::testing {

template <class Harness>
class DatagramSocketContract : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string problem = m_harness.setUp();
        if (!problem.empty())
            GTEST_SKIP() << problem;
        ASSERT_TRUE(m_harness.a().bind("127.0.0.1", 0));
        ASSERT_TRUE(m_harness.b().bind("127.0.0.1", 0));
    }
    Harness m_harness;
};

TYPED_TEST_SUITE_P(DatagramSocketContract);

TYPED_TEST_P(DatagramSocketContract, DatagramsArriveWholeWithTheirSenderAndAreCutToTheBuffer) {
    auto& a = this->m_harness.a();
    auto& b = this->m_harness.b();
    ASSERT_TRUE(a.sendTo(Bytes{0, 0, 0, 3, 0xAB}, "127.0.0.1", b.localPort()));
    ASSERT_TRUE(a.sendTo(Bytes(100, 0x5A), "127.0.0.1", b.localPort()));

    auto first = b.receive(68, 1000);
    ASSERT_TRUE(first) << first.message();
    EXPECT_EQ(first->data, (Bytes{0, 0, 0, 3, 0xAB}));
    EXPECT_EQ(first->senderAddress, "127.0.0.1");
    EXPECT_EQ(first->senderPort, a.localPort());

    auto second = b.receive(68, 1000);
    ASSERT_TRUE(second) << second.message();
    EXPECT_EQ(second->data, Bytes(68, 0x5A));
    EXPECT_FALSE(b.hasPendingDatagram());  // the cut-off rest is not a datagram of its own

    ASSERT_TRUE(b.sendTo(Bytes{1, 2}, "127.0.0.1", a.localPort()));
    auto back = a.receive(68, 1000);
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(back->data, (Bytes{1, 2}));
}

TYPED_TEST_P(DatagramSocketContract, ReceiveTimesOutOnSilenceAfterItsTimeOut) {
    auto& clock = this->m_harness.clock();
    const std::int64_t start = clock.nowMs();
    auto nothing = this->m_harness.b().receive(68, 350);
    ASSERT_FALSE(nothing);
    EXPECT_EQ(nothing.kind(), ErrorKind::Timeout);
    EXPECT_GE(clock.nowMs() - start, 349);  // a real clock may round the wait down by a tick
}

TYPED_TEST_P(DatagramSocketContract, OptionsForBroadcastAndBurstsCanBeSet) {
    EXPECT_TRUE(this->m_harness.a().setBroadcast(true));
    EXPECT_TRUE(this->m_harness.a().setBroadcast(false));
    EXPECT_TRUE(this->m_harness.b().setReceiveBufferSize(256 * 1024));
}

REGISTER_TYPED_TEST_SUITE_P(DatagramSocketContract, DatagramsArriveWholeWithTheirSenderAndAreCutToTheBuffer,
                            ReceiveTimesOutOnSilenceAfterItsTimeOut, OptionsForBroadcastAndBurstsCanBeSet);

}  // namespace veltrane::testing
