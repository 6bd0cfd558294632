#include "core/link/frame_exchange.h"

#include <gtest/gtest.h>

#include "support/fake_byte_stream.h"
#include "support/fake_clock.h"

namespace veltrane {
namespace {

using testing::FakeByteStream;
using testing::FakeClock;

const Bytes kRequest{0x10, 0x00, 0x10};
const Bytes kReply{0x10, 0x00, 0x10};

class FrameExchangeTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeByteStream port{clock};
    FrameExchange exchange{port, clock};
};

struct BoundCase {
    const char* name;
    ExchangeRule rule;
    std::int64_t replyAtMs;  // -1: silence
    bool expectReply;
    std::int64_t expectClockAtEnd;  // when the exchange gave up (for silence)
};

void PrintTo(const BoundCase& c, std::ostream* os) { *os << c.name; }

class FirstByteBound : public FrameExchangeTest, public ::testing::WithParamInterface<BoundCase> {};

TEST_P(FirstByteBound, ReplyStartingAtTheBoundCountsAndOneMillisecondLaterDoesNot) {
    const BoundCase& c = GetParam();
    if (c.replyAtMs >= 0)
        port.replyToNextWrite({{c.replyAtMs, kReply}});
    auto reply = exchange.exchange(kRequest, c.rule);
    if (c.expectReply) {
        ASSERT_TRUE(reply) << reply.message();
        EXPECT_EQ(*reply, kReply);
        // Taken within one poll of its arrival.
        EXPECT_LE(clock.nowMs(), c.replyAtMs + FrameExchange::kPollIntervalMs);
    } else if (c.rule.silenceIsTimeout) {
        ASSERT_FALSE(reply);
        EXPECT_EQ(reply.kind(), ErrorKind::Timeout);
        EXPECT_EQ(clock.nowMs(), c.expectClockAtEnd);
    } else {
        ASSERT_TRUE(reply);
        EXPECT_TRUE(reply->empty());
        EXPECT_EQ(clock.nowMs(), c.expectClockAtEnd);
    }
    EXPECT_EQ(port.writes(), std::vector<Bytes>{kRequest});
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FirstByteBound,
    ::testing::Values(BoundCase{"Instant", ExchangeRule::standard(), 0, true, 0},
                      BoundCase{"AtBound", ExchangeRule::standard(), 300, true, 300},
                      BoundCase{"PastBound", ExchangeRule::standard(), 301, false, 300},
                      BoundCase{"Silence", ExchangeRule::standard(), -1, false, 300},
                      BoundCase{"PackageAtBound", ExchangeRule::commandPackage(), 1000, true, 1000},
                      BoundCase{"PackagePastBound", ExchangeRule::commandPackage(), 1001, false, 1000},
                      BoundCase{"ContentDecidesSilence", ExchangeRule::contentDecides(), -1, false, 300},
                      BoundCase{"ContentDecidesAtBound", ExchangeRule::contentDecides(), 300, true, 300}),
    [](const auto& param) { return std::string(param.param.name); });

struct SplitCase {
    const char* name;
    std::vector<std::pair<std::int64_t, Bytes>> pieces;
    Bytes expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitReply : public FrameExchangeTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitReply, IsReadUntilItsFrameIsCompleteOrTheLineFallsSilent) {
    port.replyToNextWrite(GetParam().pieces);
    auto reply = exchange.exchange(kRequest);
    ASSERT_TRUE(reply) << reply.message();
    EXPECT_EQ(*reply, GetParam().expected);
}

Bytes longFrame() {
    Bytes frame{0x16, 0xFF};
    for (int i = 0; i < 255; ++i)
        frame.push_back(static_cast<std::uint8_t>(i));
    frame.push_back(0x42);
    return frame;
}

std::vector<std::pair<std::int64_t, Bytes>> inPieces(const Bytes& frame, std::size_t piece, std::int64_t every) {
    std::vector<std::pair<std::int64_t, Bytes>> pieces;
    for (std::size_t i = 0; i < frame.size(); i += piece)
        pieces.push_back({1 + static_cast<std::int64_t>(i / piece) * every,
                          Bytes(frame.begin() + static_cast<std::ptrdiff_t>(i),
                                frame.begin() + static_cast<std::ptrdiff_t>(std::min(frame.size(), i + piece)))});
    return pieces;
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, SplitReply,
    ::testing::Values(
        // The length byte itself arrives late: the frame size is unknown until then.
        SplitCase{"LengthLate", {{10, {0x90}}, {250, {0x02, 0x03, 0x00, 0x95}}}, {0x90, 0x02, 0x03, 0x00, 0x95}},
        // A pause just short of the gap, twice: still one reply.
        SplitCase{"TwoLongPauses", {{1, {0x90, 0x02}}, {300, {0x03}}, {599, {0x00, 0x95}}}, {0x90, 0x02, 0x03, 0x00, 0x95}},
        // Longer than any fixed buffer the gateway's replies fit in, trickling in at 300 baud.
        SplitCase{"LongestFrameSlowly", inPieces(longFrame(), 1, 33), longFrame()},
        // The line falls silent mid-frame: what did arrive comes back, for the caller to reject.
        SplitCase{"NeverCompletes", {{1, {0x90, 0x02, 0x03}}, {320, {0x00, 0x95}}}, {0x90, 0x02, 0x03}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(FrameExchangeTest, IncompleteReplyGivesUpOneGapAfterItsLastByte) {
    port.replyToNextWrite({{40, {0x10}}});
    auto reply = exchange.exchange(kRequest);
    ASSERT_TRUE(reply);
    EXPECT_EQ(*reply, Bytes{0x10});
    EXPECT_EQ(clock.nowMs(), 40 + FrameExchange::kInterByteGapMs);
}

TEST_F(FrameExchangeTest, ALateDuplicateIsDroppedByEveryRuleAndAnInstantReplyIsKept) {
    const Bytes stale{0x81, 0x02, 0x01, 0x00, 0x84};
    for (const ExchangeRule& rule :
         {ExchangeRule::standard(), ExchangeRule::commandPackage(), ExchangeRule::contentDecides()}) {
        FakeClock c;
        FakeByteStream p{c};
        FrameExchange e{p, c};
        // The first request's reply, and its duplicate after that exchange had ended.
        p.replyToNextWrite({{5, stale}, {400, stale}});
        ASSERT_TRUE(e.exchange(kRequest, rule));
        c.advance(500);
        // The reply is there the moment the request has gone out, as from a pseudo-terminal.
        p.replyToNextWrite({{0, kReply}});
        auto reply = e.exchange(kRequest, rule);
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply, kReply);
        EXPECT_EQ(e.discardedBytes(), stale.size());
    }
}

TEST_F(FrameExchangeTest, ATricklingReplyEndsAtItsFramesDeadline) {
    // 258 bytes, one every 299 ms: never silent for a whole gap.
    for (int baud : {19200, 0}) {
        FakeClock c;
        FakeByteStream p{c};
        FrameExchange e{p, c, baud};
        p.replyToNextWrite(inPieces(longFrame(), 1, 299));
        auto reply = e.exchange(kRequest);
        ASSERT_TRUE(reply);
        EXPECT_LT(reply->size(), longFrame().size()) << baud;
        // The first byte came at 1 ms; the slowest line (300 baud) needs 40 ms a byte.
        const std::int64_t bound = baud == 0 ? 258 * 40 : (258 * 12 * 1000 + baud - 1) / baud;
        EXPECT_EQ(e.frameDeadlineMs(258), bound + FrameExchange::kFrameMarginMs) << baud;
        // The first byte is noticed within one poll.
        EXPECT_LE(c.nowMs(), 1 + FrameExchange::kPollIntervalMs + bound + FrameExchange::kFrameMarginMs) << baud;
    }
}

TEST_F(FrameExchangeTest, BytesBeyondTheFrameAreNotTakenForTheNextReply) {
    port.replyToNextWrite({{5, {0x10, 0x00, 0x10, 0x55, 0x66}}});
    auto first = exchange.exchange(kRequest);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, kReply);
    EXPECT_EQ(exchange.discardedBytes(), 2u);

    port.replyToNextWrite({{5, {0x32, 0x00, 0x32}}});
    auto second = exchange.exchange({0x32, 0x00, 0x32}, ExchangeRule::contentDecides());
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, (Bytes{0x32, 0x00, 0x32}));
}

TEST_F(FrameExchangeTest, PortFailuresComeBackAsIoWithoutWaiting) {
    port.failWrites(makeError(ErrorKind::Io, "write failed"));
    auto written = exchange.exchange(kRequest);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error(), makeError(ErrorKind::Io, "write failed"));
    EXPECT_EQ(clock.nowMs(), 0);

    port.failWrites(std::nullopt);
    port.failReads(makeError(ErrorKind::Io, "read failed"));
    auto read = exchange.exchange(kRequest);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.kind(), ErrorKind::Io);
    EXPECT_EQ(clock.nowMs(), 0);
}

TEST_F(FrameExchangeTest, BoundStartsAfterASlowWriteAndEveryExchangeClearsTheLineError) {
    port.stallWrites(200);
    port.replyToNextWrite({{250, kReply}});
    auto reply = exchange.exchange(kRequest);
    ASSERT_TRUE(reply) << reply.message();
    EXPECT_EQ(clock.nowMs(), 450);
    EXPECT_EQ(port.clearErrorCalls(), 1);
}

}  // namespace
}  // namespace veltrane
